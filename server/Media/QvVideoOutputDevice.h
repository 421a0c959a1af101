#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Media/QvMediaModuleAbi.h"

class QvPixelBuffer;

// What a video output is opened with: the process-wide output settings that hosts
// keep as a blob (QvVideoOutputGetPreferences / SetPreferences).
struct QvOutputSettings {
    std::string name;  // empty: the default output
    int width = 0;     // 0: the picture's own size
    int height = 0;

    std::vector<uint8_t> toBlob() const;
    // Raises "old preferences data is invalid" for a blob of another version or length.
    static QvOutputSettings fromBlob(const uint8_t* bytes, size_t size);

    static QvOutputSettings& processWide();
};

// A video output: an SDL window where a display exists, a V4L2 loopback device, or
// "null", which shows nothing.
class QvVideoOutputDevice {
public:
    static std::vector<std::string> names();
    // The window where there is a display, else "null".
    static std::string defaultName();

    // Raises "The specified Video Output component (name) could not be found." with the
    // available names, "Video Output component is being used by another application.",
    // or "Cannot open Video Output component.".
    QvVideoOutputDevice(const std::string& name, int width, int height);
    ~QvVideoOutputDevice();
    QvVideoOutputDevice(const QvVideoOutputDevice&) = delete;
    QvVideoOutputDevice& operator=(const QvVideoOutputDevice&) = delete;

    const std::string& name() const { return name_; }
    // Shows the picture, scaled to the output's size.
    void show(QvPixelBuffer& picture);

private:
    QvMediaOutput* output_ = nullptr;
    std::string name_;
};
