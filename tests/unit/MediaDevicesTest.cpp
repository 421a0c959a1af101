// Cameras, video outputs, the settings records hosts keep, and the media module itself.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ErrorCapture.h"
#include "Errors/QvYieldScope.h"
#include "HostServices/QvHostServices.h"
#include "Media/QvCaptureDevice.h"
#include "Media/QvMediaLayer.h"
#include "Media/QvMediaModule.h"
#include "Media/QvVideoOutputDevice.h"
#include "MovieFrames.h"

using namespace movieframes;

namespace {
// Sets QUARVEL_CAMERA for the life of the object.
// Sets an environment variable (or removes it, for null) until the end of the scope.
class EnvironmentChoice {
public:
    EnvironmentChoice(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvironmentChoice() {
        if (had_)
            setenv(name_.c_str(), old_.c_str(), 1);
        else
            unsetenv(name_.c_str());
    }

private:
    std::string name_;
    bool had_;
    std::string old_;
};

class CameraChoice : public EnvironmentChoice {
public:
    explicit CameraChoice(const char* value) : EnvironmentChoice("QUARVEL_CAMERA", value) {}
};

bool varies(QvPixelBuffer& picture) {
    picture.lock();
    uint32_t first = picture.row(0)[0];
    bool different = false;
    for (int y = 0; y < picture.height() && !different; ++y)
        for (int x = 0; x < picture.width() && !different; ++x) different = picture.row(y)[x] != first;
    picture.unlock();
    return different;
}
}  // namespace

// Without a camera device the test camera stands in, at any size, keeping its pace.
TEST(MediaDevices, TheTestCameraGrabsAndRecords) {
    CameraChoice noChoice(nullptr);
    std::vector<std::string> names = QvCaptureDevice::names();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.back(), "Test Camera");
    QvCaptureDevice camera("Test Camera", 80, 60, 60);
    std::unique_ptr<QvPixelBuffer> picture = QvNewPicture(80, 60);
    camera.grab(*picture);
    EXPECT_TRUE(varies(*picture));

    QvMediaMovie movie;
    camera.record(movie, 5, -1, 60, 48, 36, QvMovieSettings());
    EXPECT_EQ(movie.frameCount(), 5);
    EXPECT_EQ(movie.width(), 48);
    EXPECT_NEAR(movie.frameDuration(4), 500.0 / 30000, 1e-12);
    camera.record(movie, -1, 0.05, 60, 48, 36, QvMovieSettings());
    EXPECT_EQ(movie.frameCount(), 8);
    EXPECT_EQ(raisedMessage([&] { camera.record(movie, -1, -1, 60, 48, 36, QvMovieSettings()); }),
              "The record time is less than zero!");
    EXPECT_EQ(raisedMessage([&] { camera.record(movie, -1, 0.001, 60, 48, 36, QvMovieSettings()); }),
              "Movie record failed: The duration was too short.");

    camera.setSetting(QV_MEDIA_BRIGHTNESS, 0.25);
    EXPECT_EQ(camera.setting(QV_MEDIA_BRIGHTNESS), 0.25);
    EXPECT_EQ(camera.inputFormat(), 2);
    EXPECT_EQ(raisedMessage([&] { QvCaptureDevice("No Such Camera", 0, 0, 30); }),
              "Could not set VideoSource to specified name.");
}

// Recording reports its progress and stops when asked; cameras opened take the
// process-wide capture settings.
TEST(MediaDevices, RecordingIsLongWork) {
    CameraChoice noChoice(nullptr);
    QvCaptureSettings& preferred = QvCaptureSettings::processWide();
    preferred.picture[QV_MEDIA_CONTRAST] = 0.8;
    QvCaptureDevice camera("Test Camera", 32, 24, 100);
    preferred = QvCaptureSettings();
    EXPECT_EQ(camera.setting(QV_MEDIA_CONTRAST), 0.8);
    struct Recorder : QvInProcessHostServices {
        Recorder() { QvInstallHostServices(this); }
        ~Recorder() override { QvInstallHostServices(nullptr); }
        void reportProgress(const std::string& what, double fraction) override {
            if (what == "Recording movie") fractions.push_back(fraction);
        }
        std::vector<double> fractions;
    } recorder;
    QvMediaMovie movie;
    camera.record(movie, 4, -1, 100, 32, 24, QvMovieSettings());
    ASSERT_FALSE(recorder.fractions.empty());
    EXPECT_EQ(recorder.fractions.back(), 1.0);
    std::atomic<bool> stop{true};
    QvYieldScope running(stop);
    EXPECT_EQ(raisedMessage([&] { camera.record(movie, 50, -1, 100, 32, 24, QvMovieSettings()); }),
              "Execution cancelled by user.");
    EXPECT_EQ(movie.frameCount(), 4);
}

TEST(MediaDevices, CamerasCanBeHidden) {
    CameraChoice none("none");
    EXPECT_FALSE(QvCaptureDevice::available());
    EXPECT_EQ(raisedMessage([] { QvCaptureDevice("", 0, 0, 30); }), "No camera currently available.");
    CameraChoice missing("/dev/video99");
    EXPECT_FALSE(QvCaptureDevice::available());
}

TEST(MediaDevices, TheNullOutputTakesEveryPicture) {
    std::vector<std::string> names = QvVideoOutputDevice::names();
    EXPECT_NE(std::find(names.begin(), names.end(), "null"), names.end());
    {
        // Empty display variables name no display, so no window is offered.
        EnvironmentChoice display("DISPLAY", ""), wayland("WAYLAND_DISPLAY", "");
        EXPECT_EQ(QvVideoOutputDevice::defaultName(), "null");
        std::vector<std::string> offered = QvVideoOutputDevice::names();
        EXPECT_EQ(std::find(offered.begin(), offered.end(), "SDL Window"), offered.end());
    }
    QvVideoOutputDevice output("null", 32, 24);
    output.show(*numbered(1));
    output.show(*numbered(2, 17, 13));
    std::string message = raisedMessage([] { QvVideoOutputDevice("Projector", 32, 24); });
    EXPECT_EQ(message.rfind("The specified Video Output component (Projector) could not be found.\n"
                            "Available components are:",
                            0),
              0u);
    EXPECT_NE(message.find("\nnull"), std::string::npos);
}

TEST(MediaDevices, SettingsRecordsRoundTripAndRefuseOtherVersions) {
    QvMovieSettings movie;
    movie.setSpatial(0.3);
    EXPECT_EQ(movie.spatial(), 0.2998046875);
    movie.setKeyFrameInterval(12.7);
    EXPECT_EQ(movie.keyFrameInterval, 12);
    movie.setCompressor("Photo - JPEG");
    EXPECT_EQ(movie.compressorType, QvMovieSettings::fourCharacters("jpeg"));
    std::vector<uint8_t> blob = movie.toBlob();
    QvMovieSettings back = QvMovieSettings::fromBlob(blob.data(), blob.size());
    EXPECT_EQ(back.compressor, "Photo - JPEG");
    EXPECT_EQ(back.spatialQuality, movie.spatialQuality);
    EXPECT_EQ(back.keyFrameInterval, 12);
    EXPECT_EQ(back.frameRate, movie.frameRate);

    std::vector<uint8_t> otherVersion = blob;
    otherVersion[4] = 2;
    std::vector<uint8_t> longer = blob;
    longer.push_back(0);
    for (const std::vector<uint8_t>& bad : {otherVersion, longer, std::vector<uint8_t>(3, 0)})
        EXPECT_EQ(raisedMessage([&] { QvMovieSettings::fromBlob(bad.data(), bad.size()); }),
                  "old preferences data is invalid");

    QvCaptureSettings capture;
    capture.device = "Test Camera";
    capture.picture[QV_MEDIA_HUE] = 0.75;
    std::vector<uint8_t> captureBlob = capture.toBlob();
    EXPECT_EQ(QvCaptureSettings::fromBlob(captureBlob.data(), captureBlob.size()).picture[QV_MEDIA_HUE], 0.75);
    EXPECT_EQ(raisedMessage([&] { QvCaptureSettings::fromBlob(blob.data(), blob.size()); }),
              "old preferences data is invalid");
    QvOutputSettings output;
    output.name = "null";
    std::vector<uint8_t> outputBlob = output.toBlob();
    EXPECT_EQ(QvOutputSettings::fromBlob(outputBlob.data(), outputBlob.size()).name, "null");

    std::string unknown = raisedMessage([&] { movie.setCompressor("Sorenson"); });
    EXPECT_EQ(unknown.rfind("Unknown movie compressor: \"Sorenson\"\nAvailable compressors are:\n    \"Cinepak\"\n"
                            "    \"Animation\"\n    \"Photo - JPEG\"\n    \"PNG\"\n    \"TIFF\"\n    \"H.264\"\n"
                            "    \"None\"",
                            0),
              0u);
}

// Without the module, media fails with the hosts' message and the reason; files and
// offscreen pictures, which need no media libraries, go on working.
TEST(MediaDevices, AMissingModuleFailsClearly) {
    QvMediaModule::setPath("/no/such/folder/quarvel-media.so");
    QvMediaFileLocation location{};
    std::string message = raisedMessage([&] { QvTheMediaLayer().importImage(location); });
    EXPECT_EQ(message.rfind("QuickTime not available.\nThe media module /no/such/folder/quarvel-media.so could not be "
                            "loaded: ",
                            0),
              0u);
    EXPECT_EQ(raisedMessage([] { QvMediaMovie().insertPicture(0, *numbered(1), QvMovieSettings()); }), message);
    EXPECT_EQ(raisedMessage([] { QvCaptureDevice::names(); }), message);
    EXPECT_NE(QvTheMediaLayer().createOffscreen(8, 8), nullptr);
    EXPECT_EQ(QvTheMediaLayer().makeFileSpec("/", &location), 0);
    QvMediaModule::setPath("");
    EXPECT_FALSE(QvCaptureDevice::names().empty());
}
