#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "Media/QvMediaModuleAbi.h"
#include "QvExport.h"
#include "Values/QvColor.h"
#include "Values/QvValue.h"

class QvCaptureDevice;

// A camera (type "videosource"): reading `frame` grabs a picture, reading `movie`
// records a movie limited by `duration` or `length`. The camera is opened on first use
// with the process-wide capture settings; every property raises "No camera currently
// available." when there is none. Picture settings are kept as the camera keeps them,
// in 16 bits over their range.
class QV_EXPORT QvVideoSourceValue : public QvValue {
public:
    static constexpr int kDefaultWidth = 320;
    static constexpr int kDefaultHeight = 240;
    static constexpr double kDefaultRecordSeconds = 1;

    QvVideoSourceValue();
    ~QvVideoSourceValue() override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // A new frame of the configured size, grabbed now.
    QvValue* GrabFrame();
    // A new movie recorded now: `length` frames, else `duration` seconds of them.
    QvValue* Record();

    QvValue* Clone() const override;
    QvTypeEnum GetType() const override { return QV_VIDEOSOURCE; }

    QvValue* GetProperty(QvPropertyId id) override;
    QvPropertyId PropertyId(const std::string& name) const override;
    void SetProperty(QvPropertyId id, QvValue* value) override;

    std::string AsText() const override;

private:
    QvVideoSourceValue(const QvVideoSourceValue& other);
    QvCaptureDevice& camera();
    double pictureSetting(QvPropertyId id);
    void setPictureSetting(QvPropertyId id, double value);

    std::shared_ptr<QvCaptureDevice> camera_;
    std::string name_;
    int width_;
    int height_;
    double quality_ = 0.5;
    double frameRate_;
    double seconds_ = kDefaultRecordSeconds;  // -1 once a length is set
    long frames_ = -1;                         // -1: no frame limit
    uint16_t stored_[QV_MEDIA_SETTING_COUNT] = {};
    bool storedRead_ = false;
    QvColor gamma_{1, 1, 1};
};

QV_C_EXPORT QvValue* QvVideoSourceCreate(void);
QV_C_EXPORT void QvVideoSourceDelete(QvValue* source);
QV_C_EXPORT QvValue* QvVideoSourceGrabFrame(QvValue* source);
QV_C_EXPORT long QvVideoSourceGetWidth(QvValue* source);
QV_C_EXPORT long QvVideoSourceGetHeight(QvValue* source);
