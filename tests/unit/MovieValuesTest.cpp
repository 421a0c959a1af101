// The movie, video source and video output values as scripts and plug-ins see them:
// every message (a script stops at its first error, so the messages are checked here
// and the behaviour in the golden scripts of tests/golden/movies), the plug-in
// functions, and windows showing movies while a host polls them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ErrorCapture.h"
#include "Files/QvFile.h"
#include "Images/Qv2DValue.h"
#include "Media/QvMediaPreferences.h"
#include "Movie/QvMovieApi.h"
#include "Movie/QvMovieValue.h"
#include "Plugins/QvPluginRegistry.h"
#include "QvClient.h"
#include "ScriptRun.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"
#include "VideoOutput/QvVideoOutputValue.h"
#include "Windows/QvGraphics.h"

namespace fs = std::filesystem;

namespace {

// Five 16 x 12 frames, grey at levels 0, 0.1, ... 0.4, losslessly compressed.
const std::string kFiveFrames =
    "set base to frame; set size of base to {16, 12}; set m to movie; set compression of m to \"PNG\";"
    "repeat 5 times increment i append base + i / 10 to m;";

std::string errorOf(const std::string& script) {
    std::string output = runScript(kFiveFrames + script);
    size_t at = output.find("error: ");
    return at == std::string::npos ? "<no error>" : output.substr(at + 7);
}

class MovieValues : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("quarvel-movie-values-" + std::to_string(getpid()));
        fs::create_directories(folder_);
        script_ = QvFile((folder_ / "script.qv").string());
    }
    void TearDown() override { fs::remove_all(folder_); }

    // The error of a script run as a file in the scratch folder.
    std::string errorInFolder(const std::string& script) {
        std::string output = runScript(kFiveFrames + script, &script_);
        size_t at = output.find("error: ");
        return at == std::string::npos ? "<no error>" : output.substr(at + 7);
    }

    fs::path folder_;
    QvFile script_;
};

class CameraVariable {
public:
    explicit CameraVariable(const char* value) {
        const char* old = std::getenv("QUARVEL_CAMERA");
        if (old) old_ = old;
        had_ = old != nullptr;
        setenv("QUARVEL_CAMERA", value, 1);
    }
    ~CameraVariable() {
        if (had_)
            setenv("QUARVEL_CAMERA", old_.c_str(), 1);
        else
            unsetenv("QUARVEL_CAMERA");
    }

private:
    std::string old_;
    bool had_ = false;
};

}  // namespace

TEST(MovieMessages, SizesAndSettings) {
    EXPECT_EQ(errorOf("set width of m to 0;"), "Movie width must be greater than zero");
    EXPECT_EQ(errorOf("set height of m to 0.5;"), "Movie height must be greater than zero");
    EXPECT_EQ(errorOf("set size of m to {3, -1};"), "Movie height must be greater than zero");
    EXPECT_EQ(errorOf("set size of m to {1, 2, 3};"), "Expecting a two component vector {width,height}");
    EXPECT_EQ(errorOf("set width of m to 1e12;"), "The picture is too large (at most 32767 pixels a side).");
    EXPECT_EQ(errorOf("set offset of m to 4;"), "Expecting a two component vector {width,height}");
    EXPECT_EQ(errorOf("set duration of m to 0;"), "Movie duration must be greater than zero");
    EXPECT_EQ(errorOf("set length of m to 3;"), "The property \"length\" can not be written.");
    EXPECT_EQ(errorOf("set graphics_mode of m to \"blend\";"),
              "Unknown Graphics Mode: available modes are 'copy', 'dither copy', 'straight alpha', 'premul white "
              "alpha'");
    std::string unknown = errorOf("set compression of m to \"Sorenson\";");
    EXPECT_EQ(unknown.rfind("Unknown movie compressor: \"Sorenson\"\nAvailable compressors are:\n    \"Cinepak\"\n", 0),
              0u)
        << unknown;
    for (const char* named : {"Animation", "Photo - JPEG", "PNG", "TIFF", "H.264", "None"})
        EXPECT_NE(unknown.find(std::string("\n    \"") + named + "\""), std::string::npos) << named;
    EXPECT_EQ(errorOf("set overlay_compression of m to \"x\";").rfind("Unknown movie compressor: \"x\"", 0), 0u);
    // A refused setting leaves the old one.
    EXPECT_EQ(runScript(kFiveFrames + "set width of m to -3; catch print width of m;"), "16\n");
}

TEST(MovieMessages, Indexes) {
    EXPECT_EQ(errorOf("print m[25.5];"), "Movie Index \"25\" is too large (> 4).");
    EXPECT_EQ(errorOf("print m[-1];"), "Movie Index \"-1\" is too small (< 0).");
    EXPECT_EQ(errorOf("set e to movie; print e[0];"), "Movie Index \"0\" is too large (> -1).");
    EXPECT_EQ(errorOf("print m[3, 3];"), "Movie indexes can not be equal (3,3).");
    EXPECT_EQ(errorOf("print m[4, 2];"), "The first movie index (4) is greater than the second (2).");
    EXPECT_EQ(errorOf("print m[2, 5];"), "Movie Index \"5\" is too large (> 4).");
    EXPECT_EQ(errorOf("set m[5] to base;"), "Movie Index \"5\" is too large (> 4).");
    EXPECT_EQ(errorOf("set m[1] to 3;"), "Movie: Wrong type for indexing operation");
    EXPECT_EQ(errorOf("set m[1][0, 0] to {1, 0, 0};"),
              "A frame of a movie cannot be changed in place: set the whole frame instead.");
    EXPECT_EQ(errorOf("set width of m[1] to 3;"),
              "A frame of a movie cannot be changed in place: set the whole frame instead.");
    EXPECT_EQ(errorOf("insert base into m at 6;"), "Movie Index \"6\" is too large (> 4).");
    EXPECT_EQ(errorOf("append 3 to m;"), "Operator (append) used with incompatible types");
    EXPECT_EQ(runScript(kFiveFrames + "print m[2.7][0, 0];"), "0.2 0.2 0.2\n");
}

TEST(MovieMessages, Overlays) {
    EXPECT_EQ(errorOf("set e to movie; add base to e;"), "You cannot add frame to a movie which has no content.");
    EXPECT_EQ(errorOf("set e to movie; append base to e; print length of e; set e to e + base;"), "<no error>");
    EXPECT_EQ(errorOf("set big to base; set size of big to {8, 8}; append big to m; set m to m + big;"),
              "The image or frame being added to the movie must have the same dimensions as the movie.");
    QvValueRef movie = new QvMovieValue;
    QvValueRef one = new QvNumberValue(1);
    EXPECT_EQ(raisedMessage([&] { QvAsMovie(movie.get())->AddTo(one.get()); }),
              "QvMovieValue::addTo unimplemented arguments");
}

TEST_F(MovieValues, FilesAndAddresses) {
    std::ofstream(folder_ / "broken.mov") << "not a movie at all";
    EXPECT_EQ(errorInFolder("set x to file \"broken.mov\";"), "File \"broken.mov\" does not seem to be a movie file.");
    EXPECT_EQ(errorInFolder("set x to file \"missing.avi\";").rfind("Cannot open movie file \"missing.avi\"\n", 0), 0u);
    EXPECT_EQ(errorInFolder("set e to movie; set file \"e.mov\" to e;"), "Could not save movie file.");
    EXPECT_EQ(errorInFolder("set file \"m.mkv\" to m;"), "Could not save movie file.");
    EXPECT_FALSE(fs::exists(folder_ / "m.mkv"));
    EXPECT_EQ(errorInFolder("set file \"no/such/folder/m.mov\" to m;"), "Could not save movie file.");
    EXPECT_EQ(errorOf("set u to URL \"http://127.0.0.1:9/clip.txt\";"),
              "The URL \"http://127.0.0.1:9/clip.txt\" does not have a recognized ending.");
    EXPECT_EQ(errorOf("set u to URL \"http://127.0.0.1:9/clip.mov?x=1\";"), "Movie was not found at the specified URL.");
    EXPECT_EQ(errorOf("set u to URL \"concat:a.mov|b.mov\";"), "Movie was not found at the specified URL.");
    EXPECT_EQ(runScript(kFiveFrames + "set file \"Clip.MP4\" to m; print length of (file \"Clip.MP4\");", &script_),
              "5\n");
    EXPECT_EQ(runScript("print length of (URL \"file://" + (folder_ / "Clip.MP4").string() + "\");"), "5\n");
    EXPECT_EQ(errorOf("set u to URL \"file://" + (folder_ / "none.mov").string() + "\";")
                  .rfind("Cannot open movie file \"file://" + (folder_ / "none.mov").string() + "\"\n", 0),
              0u);
}

TEST(VideoSourceMessages, Camera) {
    const std::string source = "set v to videosource;";
    EXPECT_EQ(errorOf(source + "set saturation of v to 1.5;"), "Saturation must be between 0 and 1");
    EXPECT_EQ(errorOf(source + "set hue of v to -181;"), "Hue must be between -180 and 180");
    EXPECT_EQ(errorOf(source + "set white_level of v to -0.1;"), "White level must be between 0 and 1");
    EXPECT_EQ(errorOf(source + "set name of v to \"nobody\";"), "Could not set VideoSource to specified name.");
    EXPECT_EQ(errorOf(source + "set size of v to {4};"), "Expecting a two component vector {width,height}");
    EXPECT_EQ(errorOf(source + "set duration of v to -1; set r to movie of v;"), "The record time is less than zero!");
    EXPECT_EQ(errorOf(source + "set duration of v to 0; set r to movie of v;"),
              "Movie record failed: The duration was too short.");
    EXPECT_EQ(runScript(source + "set length of v to 2; set duration of v to 0.2; set frame_rate of v to 10;"
                                 "print length of (movie of v);"),
              "2\n");
}

// Frame.Grab needs the built-in functions registered.
class NoCamera : public ::testing::Test {
protected:
    static void SetUpTestSuite() { QvPluginRegistryInitInternal(); }
    static void TearDownTestSuite() { QvDeletePluginRegistry(); }
    CameraVariable none_{"none"};
};

TEST_F(NoCamera, EveryUseOfACameraSaysSo) {
    EXPECT_EQ(errorOf("set v to videosource; print width of v;"), "No camera currently available.");
    EXPECT_EQ(errorOf("set v to videosource; set size of v to {4, 4};"), "No camera currently available.");
    EXPECT_EQ(errorOf("set v to videosource; print frame of v;"), "No camera currently available.");
    EXPECT_EQ(runScript("set v to videosource; print type of v;"), "videosource\n");
    EXPECT_EQ(errorOf("set f to Frame.Grab();"), "Plugin failed with error (#-9405):\n\tSGNewChannel");
}

TEST(VideoOutputMessages, Outputs) {
    EXPECT_EQ(errorOf("set o to video_output; set name of o to 1;"), "Expecting a text value.");
    std::string unknown = errorOf("set o to video_output; set name of o to \"x\";");
    EXPECT_EQ(unknown.rfind("The specified Video Output component (x) could not be found.\nAvailable components are:\n", 0),
              0u);
    EXPECT_NE(unknown.find("\nnull"), std::string::npos);
    EXPECT_EQ(errorOf("set o to video_output; append \"words\" to o;"), "Operator (append) used with incompatible types");
    uint8_t blob[256];
    size_t size = QvVideoOutputGetPreferences(blob, sizeof blob);
    ASSERT_LE(size, sizeof blob);
    EXPECT_EQ(QvVideoOutputSetPreferences(blob, size), 1);
    EXPECT_EQ(QvVideoOutputSetPreferences(blob, size - 1), 0);
}

TEST(MovieApi, PluginFunctionsForwardToTheValue) {
    QvValueRef movie = QvMovieCreate();
    QvValue* m = movie.get();
    EXPECT_EQ(QvMovieGetFrameCount(m), 0);
    QvMovieSetKeyFrameInterval(m, 12.7);
    EXPECT_EQ(QvMovieGetKeyFrameInterval(m), 12);
    QvMovieSetSpatialQuality(m, 0.3);
    EXPECT_EQ(QvMovieGetSpatialQuality(m), 0.2998046875);
    QvMovieSetFrameRate(m, 25);
    EXPECT_EQ(QvMovieGetFrameRate(m), 25);
    QvMovieSetCompression(m, "PNG");
    QvValueRef name = QvMovieGetCompression(m);
    EXPECT_EQ(name->AsText(), "PNG");
    EXPECT_EQ(raisedMessage([&] { QvMovieSetCompression(m, "nothing"); }).rfind("Unknown movie compressor", 0), 0u);
    QvValueRef picture = QvNewPicture(QV_FRAME, 8, 6);
    m->Append(picture.get());
    m->Append(picture.get());
    QvValueRef other = QvMovieCreate();
    QvMovieAppendMovie(other.get(), m);
    QvMoviePrependMovie(other.get(), m);
    QvMovieInsertMovie(other.get(), m, 1);
    EXPECT_EQ(QvMovieGetFrameCount(other.get()), 6);
    EXPECT_EQ(QvMovieGetWidth(other.get()), 8);
    EXPECT_EQ(QvMovieGetHeight(other.get()), 6);
    EXPECT_DOUBLE_EQ(QvMovieGetIndexTime(other.get(), 3), 0.12);
    EXPECT_DOUBLE_EQ(QvMovieGetIndexDuration(other.get(), 3), 0.04);
    QvValueRef frame = QvMovieGetFrame(other.get(), 5);
    EXPECT_EQ(frame->GetType(), QV_FRAME);
    EXPECT_DOUBLE_EQ(QvAsPicture(frame.get())->duration(), 0.04);
    EXPECT_NE(QvMovieGetQTMovie(m), nullptr);
    EXPECT_EQ(raisedMessage([&] { QvMovieGetWidth(picture.get()); }), "The value is not a movie.");
    EXPECT_EQ(raisedMessage([&] { QvMovieInsertMovie(other.get(), m, 9); }), "Movie Index \"9\" is too large (> 5).");
}

// New movies, recordings among them, start from the settings the host handed over.
TEST(MovieApi, NewMoviesStartFromTheHostsSettings) {
    uint8_t original[512];
    size_t size = QvMovieGetPreferences(original, sizeof original);
    ASSERT_LE(size, sizeof original);
    QvMovieSettings preferred;
    preferred.setCompressor("PNG");
    preferred.setRate(12);
    std::vector<uint8_t> blob = preferred.toBlob();
    ASSERT_EQ(QvMovieSetPreferences(blob.data(), blob.size()), 1);
    EXPECT_EQ(runScript("set m to movie; print (compression of m)[0]; print frame_rate of m;"), "PNG\n12\n");
    EXPECT_EQ(runScript("set v to videosource; set length of v to 1; print (compression of (movie of v))[0];"), "PNG\n");
    ASSERT_EQ(QvMovieSetPreferences(original, size), 1);
    EXPECT_EQ(runScript("set m to movie; print (compression of m)[0];"), "Cinepak\n");
}

TEST(MovieWindows, AMovieShowsAsItsFirstFrameAtItsSize) {
    QvValueRef movie = new QvMovieValue;
    QvValueRef picture = QvNewPicture(QV_FRAME, 24, 10);
    movie->Append(picture.get());
    qv_auto_value<QvGraphics> graphics = new QvGraphics;
    movie->Display(graphics.get());
    short width, height;
    graphics->getSize(&width, &height);
    EXPECT_EQ(width, 24);
    EXPECT_EQ(height, 10);
    EXPECT_FALSE(graphics->fullEraseNeeded());
    ASSERT_EQ(graphics->getCommandList().size(), 1u);
    MovieRecord* record = graphics->getCommandList().front()->getMovie();
    ASSERT_NE(record, nullptr);
    // The snapshot stays as it was when shown, whatever the script does next.
    movie->Append(picture.get());
    QvAsMovie(movie.get())->SetSize(4, 4);
    qv_auto_value<QvGWorld> poster = record->poster();
    ASSERT_TRUE(poster);
    EXPECT_EQ(poster->width(), 24);
    EXPECT_EQ(poster->height(), 10);
    EXPECT_EQ(raisedMessage([&] { movie->Display(nullptr); }), "Type mismatch error, expecting (Hey, NULL graphics opject)");
}

namespace {
// Counts the pictures a host would draw while the script goes on changing the movie.
class CountingWindow : public QvClientWindow {
public:
    CountingWindow(QvWindow* window, std::atomic<int>& drawn) : QvClientWindow(window), drawn_(drawn) {}
    void redraw() override { replay(); }
    void drawImage(QvGWorld* world, int, int) override {
        QvGWorldLockScope lock(*world);
        if (world->getLine(0)) ++drawn_;
    }

private:
    std::atomic<int>& drawn_;
};

class MovieHost : public QvClient {
public:
    std::atomic<int> drawn{0};
    std::string shown;
    void writeText(const char* text, int length) override { shown.append(text, static_cast<size_t>(length)); }

protected:
    std::unique_ptr<QvClientWindow> createClientWindow(QvWindow* window) override {
        return std::make_unique<CountingWindow>(window, drawn);
    }
};
}  // namespace

// The script edits and shows a movie on a worker while this thread polls the window
// and draws each snapshot (run under ThreadSanitizer with tests/sanitizers/tsan.supp).
TEST(MovieWindows, AHostDrawsMoviesWhileTheScriptRuns) {
    MovieHost host;
    host.setSourceText(kFiveFrames +
                       "repeat 20 times increment k begin append base + k / 40 to m; set window \"movie\" to m; "
                       "set window \"cut\" to m[1, 3]; end print length of m;");
    host.run(true);
    EXPECT_GT(host.drawn.load(), 0);
    EXPECT_NE(host.shown.find("\n25\n"), std::string::npos) << host.shown;
}
