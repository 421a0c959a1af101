#pragma once
#include <string>
#include <vector>

#include "Media/QvMediaModuleAbi.h"
#include "MediaModule/QvFFmpegHandles.h"
#include "MediaModule/QvPictureConverter.h"

// A video output: a window through the libraries' SDL output where a display exists,
// a V4L2 loopback device, or "null", which takes every picture and shows none.
struct QvMediaOutput {
public:
    static constexpr const char* kNull = "null";
    static constexpr const char* kWindow = "SDL Window";

    // The window first when there is one, then "null", then the loopback devices.
    static std::vector<std::string> names();
    // Fails with QV_MEDIA_NO_DEVICE, QV_MEDIA_DEVICE_BUSY or QV_MEDIA_DEVICE_FAILED.
    QvMediaOutput(const std::string& name, int width, int height);
    ~QvMediaOutput();
    QvMediaOutput(const QvMediaOutput&) = delete;
    QvMediaOutput& operator=(const QvMediaOutput&) = delete;

    // Shows the picture, scaled to the output's size.
    void show(const QvMediaPicture& picture);

private:
    AVFormatContext* context_ = nullptr;
    bool headerWritten_ = false;
    QvFrameHandle frame_;
    QvPacketHandle packet_;
    QvPictureConverter converter_;
    int64_t shown_ = 0;
};
