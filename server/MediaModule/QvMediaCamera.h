#pragma once
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "Media/QvMediaModuleAbi.h"
#include "MediaModule/QvFFmpegHandles.h"
#include "MediaModule/QvModuleWork.h"
#include "MediaModule/QvPictureConverter.h"

// A camera: a V4L2 capture device through the libraries' device input, or the virtual
// test camera, a moving test picture that stands in on machines without a camera. The
// environment variable QUARVEL_CAMERA chooses: "none" hides every camera, a device path
// offers that device alone.
struct QvMediaCamera {
public:
    static constexpr const char* kTestCamera = "Test Camera";

    static std::vector<std::string> names();
    // `name` null or empty: the first of names(). A size of 0 leaves the camera's own.
    // Fails with QV_MEDIA_NO_DEVICE, QV_MEDIA_DEVICE_BUSY or QV_MEDIA_DEVICE_FAILED.
    QvMediaCamera(const char* name, int width, int height, double frameRate);
    ~QvMediaCamera();
    QvMediaCamera(const QvMediaCamera&) = delete;
    QvMediaCamera& operator=(const QvMediaCamera&) = delete;

    // The next picture, scaled to the target. The test camera keeps the pace of its
    // frame rate, as a camera would.
    void grab(const QvMediaPicture& target, const QvModuleWork& work);
    bool getSetting(int setting, double& value) const;
    void setSetting(int setting, double value);
    int inputFormat() const;

private:
    void openDecoder();
    void keepPace(const QvModuleWork& work);
    bool control(int setting, uint32_t& id) const;

    bool virtual_;
    std::string device_;
    double frameRate_;
    int controls_ = -1;  // a second handle on the device for its picture settings
    QvInterruptHook hook_;
    QvInputHandle input_;
    QvCodecContextHandle decoder_;
    QvPacketHandle packet_;
    QvFrameHandle frame_;
    QvPictureConverter converter_;
    double settings_[QV_MEDIA_SETTING_COUNT];
    std::chrono::steady_clock::time_point started_;
    long grabbed_ = 0;
};
