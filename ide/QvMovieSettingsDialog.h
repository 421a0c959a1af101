#pragma once
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QSlider>
#include <QSpinBox>

#include "Media/QvMovieSettings.h"

// Preferences > Movie...: how new movies compress the frames added to them: the
// compressor (from the media layer's list), colour depth, spatial and temporal
// quality, frame rate, key-frame interval, and the compressor and graphics mode of
// overlays. Starts from the settings kept in the profile; OK keeps the new ones there
// and hands them to the engine.
class QvMovieSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit QvMovieSettingsDialog(QWidget* parent = nullptr);

    // Loads the compressors and the stored settings; false when the media layer cannot
    // be reached (the user has been told why).
    bool prepare();
    QvMovieSettings settings() const;
    void setSettings(const QvMovieSettings& settings);

    QComboBox* compressorBox() const { return compressor_; }

    void accept() override;

private:
    static QSlider* qualitySlider();

    QComboBox* compressor_;
    QComboBox* depth_;
    QSlider* quality_;
    QSlider* temporalQuality_;
    QDoubleSpinBox* frameRate_;
    QSpinBox* keyFrameInterval_;
    QComboBox* overlayCompressor_;
    QComboBox* graphicsMode_;
};
