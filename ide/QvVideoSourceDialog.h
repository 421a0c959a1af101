#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSlider>
#include <QTimer>
#include <array>
#include <memory>

#include "Media/QvCaptureDevice.h"

// Preferences > Videosource...: the camera scripts open (a capture device, or the
// virtual test camera where there is none), its picture settings and the size and
// rate of its pictures, over a live 320 x 240 preview. Starts from the settings kept in
// the profile; OK keeps the new ones there and hands them to the engine.
class QvVideoSourceDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPreviewWidth = 320;
    static constexpr int kPreviewHeight = 240;
    static constexpr const char* kNoVideoSource =
        "No video source is available.\rTry closing other Quarvel windows,\ror check camera installation.";
    static constexpr const char* kCannotOpenCamera =
        "Could not initialize sequenge grabber. Check installation of QuickTime.";

    explicit QvVideoSourceDialog(QWidget* parent = nullptr);
    ~QvVideoSourceDialog() override;

    // Loads the stored settings and the cameras; false when the dialog cannot be used
    // (the user has been told why).
    bool prepare();
    QvCaptureSettings settings() const;
    void setSettings(const QvCaptureSettings& settings);

    QComboBox* cameraBox() const { return camera_; }
    // The last picture of the preview (null before the first).
    QImage previewPicture() const;

    void accept() override;

private:
    struct PictureRow {
        QCheckBox* chosen;
        QSlider* slider;
        QLabel* value;
    };

    QWidget* createPictureRows();
    QWidget* createCaptureRows();
    void openCamera();
    void applyPictureSetting(int which);
    void showNextPicture();

    QComboBox* camera_;
    QLabel* preview_;
    std::array<PictureRow, QV_MEDIA_SETTING_COUNT> picture_{};
    QComboBox* size_ = nullptr;
    QDoubleSpinBox* frameRate_ = nullptr;
    QTimer previewTimer_;
    std::unique_ptr<QvCaptureDevice> device_;
    std::unique_ptr<QvPixelBuffer> previewBuffer_;
};
