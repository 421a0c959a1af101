#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Media/QvMediaModuleAbi.h"
#include "QvExport.h"

class QvMediaMovie;
class QvPixelBuffer;
struct QvMovieSettings;

// What a camera is opened with: the process-wide capture settings that hosts keep (as
// a blob, QvVideoSourceGetPreferences / SetPreferences) and apply to every camera
// opened afterwards. Picture settings run from 0 to 1; a negative one is left as the
// camera has it.
struct QV_EXPORT QvCaptureSettings {
    std::string device;  // empty: the first camera
    int width = 0;       // 0: the camera's own size
    int height = 0;
    double frameRate = 30;
    double picture[QV_MEDIA_SETTING_COUNT] = {-1, -1, -1, -1, -1, -1, -1, -1};

    std::vector<uint8_t> toBlob() const;
    // Raises "old preferences data is invalid" for a blob of another version or length.
    static QvCaptureSettings fromBlob(const uint8_t* bytes, size_t size);

    static QvCaptureSettings& processWide();
};

// A camera: a capture device, or the virtual test camera where the machine has none
// (QUARVEL_CAMERA=none hides every camera, QUARVEL_CAMERA=/dev/videoN offers that one).
class QV_EXPORT QvCaptureDevice {
public:
    static std::vector<std::string> names();
    // Whether any camera is there; a video source raises "No camera currently
    // available." when none is.
    static bool available();

    // Opens the camera of that name (empty: the process-wide settings' device, else the
    // first), taking pictures of width x height (0: the camera's own). Raises "No
    // camera currently available.", "Could not set VideoSource to specified name." for
    // an unknown name, the camera-not-available text when another program holds it, and
    // "Cannot open a Sequence Grabber component." when it cannot be opened.
    QvCaptureDevice(const std::string& name, int width, int height, double frameRate);
    ~QvCaptureDevice();
    QvCaptureDevice(const QvCaptureDevice&) = delete;
    QvCaptureDevice& operator=(const QvCaptureDevice&) = delete;

    const std::string& name() const { return name_; }
    // The next picture, scaled to the target's size.
    void grab(QvPixelBuffer& target);
    // Records `frames` pictures of width x height when frames >= 0, else `seconds` of
    // them at the frame rate, into the movie; each lasts 1 / frameRate. Raises "The
    // record time is less than zero!" for a negative time and "Movie record failed: The
    // duration was too short." when no frame would be recorded.
    void record(QvMediaMovie& movie, long frames, double seconds, double frameRate, int width, int height,
                const QvMovieSettings& settings);

    // Picture settings, 0..1.
    double setting(QvMediaPictureSetting which);
    void setSetting(QvMediaPictureSetting which, double value);
    // 0 composite, 1 s-video, 2 RGB, other: unknown.
    int inputFormat();

private:
    QvMediaCamera* camera_ = nullptr;
    std::string name_;
    double stored_[QV_MEDIA_SETTING_COUNT];
};
