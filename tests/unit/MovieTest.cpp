#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

#include "ErrorCapture.h"
#include "Errors/QvYieldScope.h"
#include "Files/QvTempFiles.h"
#include "HostServices/QvHostServices.h"
#include "Media/QvMediaModule.h"
#include "MovieFrames.h"

using namespace movieframes;

namespace {
const char* const kNamedCompressors[] = {"Cinepak", "Animation", "Photo - JPEG", "PNG", "TIFF", "H.264", "None"};

bool lossless(const std::string& compressor) {
    return compressor == "Animation" || compressor == "PNG" || compressor == "TIFF" || compressor == "None";
}

// Every frame of the movie, in an order that jumps back and forth, shows its number.
void expectNumbered(QvMediaMovie& movie, int count, const std::string& what) {
    ASSERT_EQ(movie.frameCount(), count) << what;
    std::vector<int> order;
    for (int i = count - 1; i >= 0; i -= 3) order.push_back(i);
    for (int i = 0; i < count; ++i) order.push_back(i);
    for (int i : order) {
        std::unique_ptr<QvPixelBuffer> frame = movie.frame(i);
        EXPECT_EQ(numberOf(*frame), i) << what << " frame " << i;
    }
}

class MovieTest : public MovieFolderTest {};
}  // namespace

TEST_F(MovieTest, ANewMovieIsEmpty) {
    QvMediaMovie movie;
    EXPECT_EQ(movie.frameCount(), 0);
    EXPECT_EQ(movie.width(), 0);
    EXPECT_EQ(movie.height(), 0);
    EXPECT_EQ(movie.duration(), 0);
    EXPECT_EQ(raisedMessage([&] { movie.checkFrameIndex(0); }), "Movie Index \"0\" is too large (> -1).");
    EXPECT_EQ(raisedMessage([&] { movie.checkFrameIndex(-1); }), "Movie Index \"-1\" is too small (< 0).");
}

// Every named compressor: the count, the durations (1001 units of 1/30000 s at 29.97
// frames per second), each frame in its place, and every pixel for the lossless ones,
// before saving and after reopening the saved file.
TEST_F(MovieTest, RoundTripsThroughEveryNamedCompressor) {
    for (const char* compressor : kNamedCompressors) {
        SCOPED_TRACE(compressor);
        std::unique_ptr<QvMediaMovie> movie = numberedMovie(12, compressor);
        EXPECT_EQ(movie->width(), 64);
        EXPECT_EQ(movie->height(), 48);
        expectNumbered(*movie, 12, "in memory");
        QvMediaFileLocation saved = file(std::string("saved_") + compressor + ".mov");
        movie->flatten(saved, QvMovieSettings());
        std::unique_ptr<QvMediaMovie> reopened = QvMediaMovie::openFile(saved, "saved.mov");
        expectNumbered(*reopened, 12, "reopened");
        EXPECT_EQ(reopened->trackCompressors(), std::vector<std::string>{compressor});
        EXPECT_NEAR(reopened->frameDuration(5), 1001.0 / 30000, 1e-9);
        EXPECT_NEAR(reopened->duration(), 12 * 1001.0 / 30000, 1e-9);
        EXPECT_NEAR(reopened->frameTime(7), 7 * 1001.0 / 30000, 1e-9);
        if (lossless(compressor)) {
            for (int i = 0; i < 12; i += 5) EXPECT_TRUE(samePixels(*reopened->frame(i), *numbered(i))) << i;
        }
    }
}

// Every size works with every compressor: Cinepak works on 4 x 4 blocks, so the
// picture is grown for it with its edges repeated, and read back at its own size.
TEST_F(MovieTest, OddSizesKeepTheirSize) {
    for (const char* compressor : kNamedCompressors) {
        SCOPED_TRACE(compressor);
        std::unique_ptr<QvMediaMovie> movie = numberedMovie(3, compressor, 17, 13);
        QvMediaFileLocation saved = file(std::string("odd_") + compressor + ".mov");
        movie->flatten(saved, QvMovieSettings());
        std::unique_ptr<QvMediaMovie> reopened = QvMediaMovie::openFile(saved, "odd.mov");
        EXPECT_EQ(reopened->width(), 17);
        EXPECT_EQ(reopened->height(), 13);
        std::unique_ptr<QvPixelBuffer> frame = reopened->frame(2);
        EXPECT_EQ(frame->width(), 17);
        EXPECT_EQ(frame->height(), 13);
    }
}

// Frames are found by their own packet times in every container, also where
// compression reorders them (B-frames come with the H.264 written for overlays).
TEST_F(MovieTest, IndexingIsExactInEveryContainer) {
    struct Case {
        const char* name;
        const char* compressor;
    };
    for (Case container : {Case{"a.mov", "Photo - JPEG"}, Case{"a.mp4", "H.264"}, Case{"a.avi", "Photo - JPEG"},
                           Case{"a.mkv", "H.264"}, Case{"a.mpg", "mpeg2video"}}) {
        SCOPED_TRACE(container.name);
        std::unique_ptr<QvMediaMovie> movie = numberedMovie(40, "None");
        QvMovieSettings settings;
        settings.setCompressor(container.compressor);
        settings.keyFrameInterval = 12;
        settings.setSpatial(0.9);
        // A clear overlay leaves the pictures as they are but has every frame compressed.
        std::unique_ptr<QvPixelBuffer> clear = QvNewPicture(64, 48);
        clear->lock();
        for (int y = 0; y < 48; ++y) std::fill(clear->row(y), clear->row(y) + 64, 0u);
        clear->unlock();
        settings.setGraphicsMode("straight alpha");
        settings.setOverlayCompressor("PNG");
        movie->overlay(*clear, settings);
        std::string failure = raisedMessage([&] { movie->flatten(file(container.name), settings); });
        ASSERT_EQ(failure, "<no error>");
        std::unique_ptr<QvMediaMovie> reopened = QvMediaMovie::openFile(file(container.name), container.name);
        expectNumbered(*reopened, 40, container.name);
        EXPECT_NEAR(reopened->duration(), 40 * 1001.0 / 30000, 1e-3);
    }
}

namespace {
std::vector<int> numbersOf(QvMediaMovie& movie) {
    std::vector<int> numbers;
    for (long i = 0; i < movie.frameCount(); ++i) numbers.push_back(numberOf(*movie.frame(i)));
    return numbers;
}
}  // namespace

TEST_F(MovieTest, EditingMovesFramesWithoutRecompressing) {
    std::unique_ptr<QvMediaMovie> movie = numberedMovie(6, "Animation");
    std::unique_ptr<QvMediaMovie> other = numberedMovie(3, "PNG");
    for (int i = 0; i < 3; ++i) {
        QvMovieSettings settings;
        settings.setCompressor("PNG");
        other->replaceFrame(i, *numbered(100 + i), settings);
    }
    movie->insertMovie(2, *other);
    EXPECT_EQ(numbersOf(*movie), (std::vector<int>{0, 1, 100, 101, 102, 2, 3, 4, 5}));
    movie->deleteFrames(1, 3);
    EXPECT_EQ(numbersOf(*movie), (std::vector<int>{0, 102, 2, 3, 4, 5}));

    // Cutting includes the last index; the cut is a movie of its own.
    std::unique_ptr<QvMediaMovie> part = movie->cut(2, 5);
    EXPECT_EQ(numbersOf(*part), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(movie->cut(0, 5)->frameCount(), 6);
    EXPECT_EQ(raisedMessage([&] { movie->cut(3, 3); }), "Movie indexes can not be equal (3,3).");
    EXPECT_EQ(raisedMessage([&] { movie->cut(4, 2); }), "The first movie index (4) is greater than the second (2).");
    EXPECT_EQ(raisedMessage([&] { movie->cut(2, 6); }), "Movie Index \"6\" is too large (> 5).");

    // A movie pasted into itself doubles once.
    part->insertMovie(part->frameCount(), *part);
    EXPECT_EQ(numbersOf(*part), (std::vector<int>{2, 3, 4, 5, 2, 3, 4, 5}));

    // Inserting at the length appends; replacing there is refused.
    QvMovieSettings settings;
    settings.setCompressor("None");
    part->insertPicture(8, *numbered(9), settings);
    EXPECT_EQ(numbersOf(*part).back(), 9);
    EXPECT_EQ(raisedMessage([&] { part->replaceFrame(9, *numbered(1), settings); }),
              "Movie Index \"9\" is too large (> 8).");
    EXPECT_EQ(part->trackCompressors(), (std::vector<std::string>{"Animation", "None"}));

    // What was pasted keeps its compressed frames: saved and reopened, the pixels are
    // those the original decodes to.
    std::unique_ptr<QvMediaMovie> cinepak = numberedMovie(5, "Cinepak");
    QvMediaMovie pasted;
    pasted.insertMovie(0, *cinepak);
    pasted.flatten(file("pasted.mov"), QvMovieSettings());
    std::unique_ptr<QvMediaMovie> reopened = QvMediaMovie::openFile(file("pasted.mov"), "pasted.mov");
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(samePixels(*reopened->frame(i), *cinepak->frame(i))) << i;
}

TEST_F(MovieTest, AppendedFramesLastOneFrameAtTheRateOfTheirTime) {
    QvMediaMovie movie;
    QvMovieSettings settings;
    for (double rate : {29.97, 25.0, 10.0, 5.0}) {
        settings.setRate(rate);
        movie.insertPicture(movie.frameCount(), *numbered(1), settings);
    }
    EXPECT_NEAR(movie.frameDuration(0), 1001.0 / 30000, 1e-12);
    EXPECT_NEAR(movie.frameDuration(1), 1 / 25.0, 1e-12);
    EXPECT_NEAR(movie.frameDuration(2), 1 / 10.0, 1e-12);
    EXPECT_NEAR(movie.frameDuration(3), 1 / 5.0, 1e-12);
    EXPECT_NEAR(movie.frameTime(3), 1001.0 / 30000 + 0.04 + 0.1, 1e-12);
    movie.flatten(file("rates.mov"), settings);
    std::unique_ptr<QvMediaMovie> reopened = QvMediaMovie::openFile(file("rates.mov"), "rates.mov");
    EXPECT_EQ(reopened->frameCount(), 4);
    EXPECT_NEAR(reopened->duration(), 1001.0 / 30000 + 0.04 + 0.1 + 0.2, 1e-9);

    // Twice the duration halves the preferred rate; no duration is refused.
    double before = movie.duration();
    movie.setDuration(2 * before);
    EXPECT_NEAR(movie.preferredRate(), 0.5, 1e-12);
    EXPECT_NEAR(movie.frameDuration(3), 0.4, 1e-12);
    EXPECT_EQ(raisedMessage([&] { movie.setDuration(0); }), "Movie duration must be greater than zero");
    settings.frameRate = 0;
    EXPECT_EQ(raisedMessage([&] { movie.insertPicture(0, *numbered(1), settings); }),
              "Movie frame rate must be greater than zero");
}

TEST_F(MovieTest, OverlaysLieOverEveryFrame) {
    std::unique_ptr<QvMediaMovie> movie = numberedMovie(3, "None", 16, 12);
    std::unique_ptr<QvPixelBuffer> layer = QvNewPicture(16, 12);
    layer->lock();
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) layer->row(y)[x] = (x < 8 ? 0x80u : 0x00u) << 24 | 0x00FF0000u;
    layer->unlock();
    QvMovieSettings settings;
    settings.setGraphicsMode("straight alpha");
    movie->overlay(*layer, settings);
    EXPECT_EQ(movie->frameCount(), 3);
    EXPECT_EQ(movie->overlayCount(), 1);
    std::unique_ptr<QvPixelBuffer> frame = movie->frame(2);
    std::unique_ptr<QvPixelBuffer> below = numbered(2, 16, 12);
    frame->lock();
    below->lock();
    uint32_t mixed = frame->row(10)[2], under = below->row(10)[2];
    EXPECT_EQ(mixed >> 16 & 0xFF, ((under >> 16 & 0xFF) * 127 + 255 * 128 + 127) / 255);
    EXPECT_EQ(frame->row(10)[12], below->row(10)[12]);  // where the layer is clear
    frame->unlock();
    below->unlock();

    EXPECT_EQ(raisedMessage([&] { QvMediaMovie().overlay(*layer, settings); }),
              "You cannot add frame to a movie which has no content.");
    EXPECT_EQ(raisedMessage([&] { movie->overlay(*numbered(0, 8, 8), settings); }),
              "The image or frame being added to the movie must have the same dimensions as the movie.");
    settings.graphicsMode = "blend";
    EXPECT_EQ(raisedMessage([&] { movie->overlay(*layer, settings); }),
              "Unknown Graphics Mode: available modes are 'copy', 'dither copy', 'straight alpha', 'premul white alpha'");
}

TEST_F(MovieTest, ResizingScalesWhatIsReadAfterwards) {
    std::unique_ptr<QvMediaMovie> movie = numberedMovie(2, "None", 64, 48);
    movie->resize(32, 24);
    EXPECT_EQ(movie->width(), 32);
    EXPECT_EQ(movie->frame(1)->width(), 32);
    EXPECT_EQ(numberOf(*movie->frame(1)), 1);
    // Pictures appended later are scaled alike.
    QvMovieSettings settings;
    movie->insertPicture(2, *numbered(2, 64, 48), settings);
    EXPECT_EQ(movie->width(), 32);
    EXPECT_EQ(numberOf(*movie->frame(2)), 2);
    EXPECT_EQ(raisedMessage([&] { movie->resize(0, 10); }), "Movie width must be greater than zero");
    EXPECT_EQ(raisedMessage([&] { movie->resize(10, -1); }), "Movie height must be greater than zero");
    // An empty movie given a size shows its first pictures at it.
    QvMediaMovie empty;
    empty.resize(20, 10);
    empty.insertPicture(0, *numbered(5, 64, 48), settings);
    EXPECT_EQ(empty.width(), 20);
    EXPECT_EQ(empty.height(), 10);
}

// Frames of other sizes make the box grow; smaller ones sit at its top left on black.
TEST_F(MovieTest, MixedSizesShareOneBox) {
    QvMediaMovie movie;
    QvMovieSettings settings;
    settings.setCompressor("None");
    movie.insertPicture(0, *numbered(1, 32, 24), settings);
    movie.insertPicture(1, *numbered(2, 64, 48), settings);
    EXPECT_EQ(movie.width(), 64);
    EXPECT_EQ(movie.height(), 48);
    std::unique_ptr<QvPixelBuffer> small = movie.frame(0);
    small->lock();
    EXPECT_EQ(small->row(40)[60], 0xFF000000u);
    small->unlock();
    movie.flatten(file("mixed.mov"), settings);
    std::unique_ptr<QvMediaMovie> reopened = QvMediaMovie::openFile(file("mixed.mov"), "mixed.mov");
    EXPECT_TRUE(samePixels(*reopened->frame(0), *small));
    EXPECT_EQ(numberOf(*reopened->frame(1)), 2);
}

TEST_F(MovieTest, SavingRefusesWhatCannotBeWritten) {
    std::unique_ptr<QvMediaMovie> movie = numberedMovie(2, "Cinepak");
    QvMovieSettings settings;
    EXPECT_EQ(raisedMessage([&] { movie->flatten(file("no/such/folder/a.mov"), settings); }),
              "Could not save movie file.");
    EXPECT_EQ(raisedMessage([&] { movie->flatten(file("a.xyz"), settings); }), "Could not save movie file.");
    EXPECT_EQ(raisedMessage([&] { movie->flatten(file("a.png"), settings); }), "Could not save movie file.");
    // MPEG-4 files cannot hold Cinepak frames.
    EXPECT_EQ(raisedMessage([&] { movie->flatten(file("a.mp4"), settings); }), "Could not save movie file.");
    EXPECT_EQ(raisedMessage([&] { QvMediaMovie().flatten(file("empty.mov"), settings); }), "Could not save movie file.");
    // Nothing is left behind, and a file of that name keeps its content.
    std::ofstream(folder_ / "kept.mp4") << "before";
    EXPECT_NE(raisedMessage([&] { movie->flatten(file("kept.mp4"), settings); }), "<no error>");
    EXPECT_EQ(std::filesystem::file_size(folder_ / "kept.mp4"), 6u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), std::filesystem::directory_iterator()), 1);
    // No ending writes QuickTime.
    movie->flatten(file("plain"), settings);
    EXPECT_EQ(QvMediaMovie::openFile(file("plain"), "plain")->frameCount(), 2);
}

namespace {
// Host services that keep every progress report.
class ProgressRecorder : public QvInProcessHostServices {
public:
    ProgressRecorder() { QvInstallHostServices(this); }
    ~ProgressRecorder() override { QvInstallHostServices(nullptr); }
    void reportProgress(const std::string& what, double fraction) override {
        reports.emplace_back(what, fraction);
    }
    std::vector<std::pair<std::string, double>> reports;
};
}  // namespace

TEST_F(MovieTest, SavingReportsProgressAndStopsWhenAsked) {
    std::unique_ptr<QvMediaMovie> movie = numberedMovie(30, "None");
    QvMovieSettings settings;
    settings.setCompressor("PNG");
    movie->resize(32, 24);  // every frame is compressed again
    {
        ProgressRecorder recorder;
        movie->flatten(file("progress.mov"), settings);
        ASSERT_GE(recorder.reports.size(), 3u);
        EXPECT_EQ(recorder.reports.front().first, "Saving movie");
        EXPECT_EQ(recorder.reports.back().second, 1.0);
        for (size_t i = 1; i < recorder.reports.size(); ++i)
            EXPECT_GE(recorder.reports[i].second, recorder.reports[i - 1].second);
    }
    std::atomic<bool> stop{true};
    QvYieldScope running(stop);
    EXPECT_EQ(raisedMessage([&] { movie->flatten(file("stopped.mov"), settings); }), "Execution cancelled by user.");
    EXPECT_FALSE(std::filesystem::exists(folder_ / "stopped.mov"));
}

// Broken files: refused as no movie, or read as far as they go; never a crash or a hang.
TEST_F(MovieTest, BrokenFilesAreRefusedOrReadSafely) {
    EXPECT_EQ(raisedMessage([&] { QvMediaMovie::openFile(file("missing.mov"), "missing.mov"); }),
              "Cannot open movie file \"missing.mov\"\nFile not found.\n");
    EXPECT_EQ(raisedMessage([&] { QvMediaMovie::openFile(file(""), "here"); }),
              "Cannot open movie file \"here\"\nI/O Error\n");
    std::ofstream(folder_ / "text.mov") << "print 1;\n";
    EXPECT_EQ(raisedMessage([&] { QvMediaMovie::openFile(file("text.mov"), "text.mov"); }),
              "File \"text.mov\" does not seem to be a movie file.");
    ASSERT_EQ(::mkfifo((folder_ / "pipe.mov").c_str(), 0600), 0);
    EXPECT_EQ(raisedMessage([&] { QvMediaMovie::openFile(file("pipe.mov"), "pipe.mov"); }),
              "File \"pipe.mov\" does not seem to be a movie file.");

    for (const char* name : {"good.mov", "good.avi", "good.mkv"}) {
        numberedMovie(8, "Photo - JPEG")->flatten(file(name), QvMovieSettings());
        std::ifstream in(folder_ / name, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::mt19937 random(7);
        auto attempt = [&](const std::string& content) {
            std::ofstream(folder_ / "broken.mov", std::ios::binary) << content;
            std::string message = raisedMessage([&] {
                std::unique_ptr<QvMediaMovie> movie = QvMediaMovie::openFile(file("broken.mov"), "broken.mov");
                for (long i = 0; i < movie->frameCount(); ++i) movie->frame(i);
            });
            EXPECT_TRUE(message == "<no error>" || message == "File \"broken.mov\" does not seem to be a movie file." ||
                        message == "Invalid Media Error")
                << name << ": " << message;
        };
        for (size_t cut = 0; cut < bytes.size(); cut += 1 + bytes.size() / 25) attempt(bytes.substr(0, cut));
        for (int trial = 0; trial < 25; ++trial) {
            std::string damaged = bytes;
            for (int hit = 0; hit < 6; ++hit) damaged[random() % damaged.size()] = static_cast<char>(random());
            attempt(damaged);
        }
    }
}

// Addresses may use the network protocols only: a playlist cannot reach other files.
TEST_F(MovieTest, AddressesReachTheNetworkOnly) {
    numberedMovie(3, "Photo - JPEG")->flatten(file("clip.mov"), QvMovieSettings());
    std::ofstream(folder_ / "list.m3u8") << "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\nclip.mov\n#EXT-X-ENDLIST\n";
    EXPECT_EQ(raisedMessage([&] { QvMediaMovie::openFile(file("list.m3u8"), "list.m3u8"); }),
              "File \"list.m3u8\" does not seem to be a movie file.");
    for (const std::string& address : std::vector<std::string>{"ftp://localhost/clip.mov", "concat:" + (folder_ / "clip.mov").string(),
                                "file://" + (folder_ / "list.m3u8").string(), "http://127.0.0.1:1/clip.mov"})
        EXPECT_EQ(raisedMessage([&] { QvMediaMovie::openAddress(address); }),
                  "Movie was not found at the specified URL.")
            << address;
    EXPECT_EQ(QvMediaMovie::openAddress("file://" + (folder_ / "clip.mov").string())->frameCount(), 3);
}

// A host draws a movie (its clone) on its own thread while the script goes on
// appending to and editing the movie it came from: they share tracks, and the store.
TEST_F(MovieTest, AHostThreadDrawsAWhileTheScriptEdits) {
    std::unique_ptr<QvMediaMovie> movie = numberedMovie(4, "Animation");
    std::unique_ptr<QvMediaMovie> shown = movie->clone();
    std::atomic<bool> done{false};
    std::thread host([&] {
        std::unique_ptr<QvPixelBuffer> picture = QvNewPicture(32, 24);
        while (!done)
            for (long i = 0; i < 4; ++i) {
                shown->drawFrame(i, *picture);
                EXPECT_EQ(numberOf(*shown->frame(i)), i);
            }
    });
    QvMovieSettings settings;
    settings.setCompressor("Animation");
    for (int i = 4; i < 40; ++i) {
        movie->insertPicture(i, *numbered(i), settings);
        EXPECT_EQ(numberOf(*movie->frame(i - 2)), i - 2);
    }
    movie->deleteFrames(0, 2);
    done = true;
    host.join();
    EXPECT_EQ(movie->frameCount(), 38);
    EXPECT_EQ(shown->frameCount(), 4);
}

// Frames of a reordered stream (H.264 with B-frames) copied as they are, whole or cut
// on a key frame, and compressed again when a cut starts between key frames.
TEST_F(MovieTest, ReorderedFramesCopyAndCutExactly) {
    std::unique_ptr<QvMediaMovie> source = numberedMovie(36, "None");
    QvMovieSettings settings;
    settings.setCompressor("H.264");
    settings.keyFrameInterval = 12;
    settings.setSpatial(0.9);
    source->resize(64, 48);
    source->resize(63, 47);  // every frame is compressed when saved
    source->flatten(file("reordered.mp4"), settings);
    std::unique_ptr<QvMediaMovie> clip = QvMediaMovie::openFile(file("reordered.mp4"), "reordered.mp4");
    ASSERT_EQ(clip->frameCount(), 36);

    clip->flatten(file("copied.mov"), settings);
    std::unique_ptr<QvMediaMovie> copied = QvMediaMovie::openFile(file("copied.mov"), "copied.mov");
    expectNumbered(*copied, 36, "copied");
    for (int i : {0, 13, 35}) EXPECT_TRUE(samePixels(*copied->frame(i), *clip->frame(i))) << i;

    clip->cut(12, 23)->flatten(file("from_key.mov"), settings);
    std::unique_ptr<QvMediaMovie> fromKey = QvMediaMovie::openFile(file("from_key.mov"), "from_key.mov");
    ASSERT_EQ(fromKey->frameCount(), 12);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(numberOf(*fromKey->frame(i)), 12 + i);
    EXPECT_TRUE(samePixels(*fromKey->frame(5), *clip->frame(17)));

    clip->cut(5, 20)->flatten(file("between_keys.mov"), settings);
    std::unique_ptr<QvMediaMovie> between = QvMediaMovie::openFile(file("between_keys.mov"), "between_keys.mov");
    ASSERT_EQ(between->frameCount(), 16);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(numberOf(*between->frame(i)), 5 + i);
}

// A compressor that holds pictures back gives them up when a frame is read; appending
// goes on into a new stream, and saving puts the two together.
TEST_F(MovieTest, ReadingBetweenAppendsKeepsEveryFrame) {
    QvMediaMovie movie;
    QvMovieSettings settings;
    settings.setCompressor("H.264");
    settings.setSpatial(0.9);
    for (int i = 0; i < 20; ++i) {
        movie.insertPicture(i, *numbered(i), settings);
        if (i == 6) {
            EXPECT_EQ(numberOf(*movie.frame(3)), 3);
        }
    }
    expectNumbered(movie, 20, "in memory");
    EXPECT_EQ(movie.trackCompressors(), (std::vector<std::string>{"H.264", "H.264"}));
    movie.flatten(file("two_streams.mov"), settings);
    std::unique_ptr<QvMediaMovie> reopened = QvMediaMovie::openFile(file("two_streams.mov"), "two_streams.mov");
    expectNumbered(*reopened, 20, "reopened");
}

// Compressors without a delay give every frame back at once, whatever the machine's
// threads are doing, so reading between appends never has to end the stream: the same
// script makes the same movie every time.
TEST_F(MovieTest, FramesOfCompressorsWithoutDelayAreReadableAtOnce) {
    for (const char* compressor : {"PNG", "Photo - JPEG"}) {
        QvMediaMovie movie;
        QvMovieSettings settings;
        settings.setCompressor(compressor);
        for (int i = 0; i < 24; ++i) {
            movie.insertPicture(i, *numbered(i), settings);
            EXPECT_EQ(numberOf(*movie.frame(i)), i) << compressor;
        }
        EXPECT_EQ(movie.trackCompressors(), std::vector<std::string>{compressor});
    }
}

// An opened movie is read without scanning all of it; pasting it, cutting it and
// counting its frames take the whole file.
TEST_F(MovieTest, OpenedMoviesEditLikeAnyOther) {
    numberedMovie(30, "Photo - JPEG")->flatten(file("long.avi"), QvMovieSettings());
    std::unique_ptr<QvMediaMovie> opened = QvMediaMovie::openFile(file("long.avi"), "long.avi");
    EXPECT_EQ(numberOf(*opened->frame(2)), 2);
    std::unique_ptr<QvMediaMovie> copy = opened->clone();
    QvMediaMovie joined;
    joined.insertMovie(0, *opened);
    joined.insertMovie(0, *opened->cut(28, 29));
    EXPECT_EQ(joined.frameCount(), 32);
    EXPECT_EQ(numberOf(*joined.frame(0)), 28);
    EXPECT_EQ(numberOf(*joined.frame(31)), 29);
    copy->deleteFrames(0, 10);
    EXPECT_EQ(copy->frameCount(), 20);
    EXPECT_EQ(opened->frameCount(), 30);
    EXPECT_EQ(raisedMessage([&] { opened->checkFrameIndex(30); }), "Movie Index \"30\" is too large (> 29).");
}

// The preferred rate is kept in the saved file's times.
TEST_F(MovieTest, SavedTimesFollowThePreferredRate) {
    std::unique_ptr<QvMediaMovie> movie = numberedMovie(10, "PNG");
    movie->setDuration(2 * movie->duration());
    movie->flatten(file("slow.mov"), QvMovieSettings());
    std::unique_ptr<QvMediaMovie> slow = QvMediaMovie::openFile(file("slow.mov"), "slow.mov");
    EXPECT_NEAR(slow->duration(), 20 * 1001.0 / 30000, 1e-9);
    EXPECT_NEAR(slow->frameDuration(3), 2 * 1001.0 / 30000, 1e-9);
    EXPECT_TRUE(samePixels(*slow->frame(3), *numbered(3)));
}

// The graphics modes over a mid-grey frame, with a half-transparent layer.
TEST(MovieOverlay, GraphicsModesMixAsTheySay) {
    struct Case {
        QvGraphicsMode mode;
        uint32_t expected;
    };
    const uint32_t layerPixel = 0x80C04020u;  // alpha 128 over grey 0x60
    for (Case example : {Case{QvGraphicsMode::Copy, 0xFFC04020u}, Case{QvGraphicsMode::DitherCopy, 0xFFC04020u},
                         Case{QvGraphicsMode::StraightAlpha, 0xFF905040u},
                         Case{QvGraphicsMode::PremulWhiteAlpha, 0xFF710000u}}) {
        std::unique_ptr<QvPixelBuffer> below = QvNewPicture(2, 1);
        std::unique_ptr<QvPixelBuffer> layer = QvNewPicture(2, 1);
        below->lock();
        layer->lock();
        below->row(0)[0] = below->row(0)[1] = 0xFF606060u;
        layer->row(0)[0] = layer->row(0)[1] = layerPixel;
        layer->unlock();
        below->unlock();
        QvComposite(*below, *layer, 1, 1, example.mode);
        below->lock();
        EXPECT_EQ(below->row(0)[0], example.expected) << int(example.mode);
        EXPECT_EQ(below->row(0)[1], 0xFF606060u);  // outside the width given
        below->unlock();
    }
}

// The frame table grows as far as it is asked for: the first frames of a long file are
// read without its end being scanned.
TEST_F(MovieTest, TheFrameTableGrowsOnDemand) {
    numberedMovie(400, "None", 8, 8)->flatten(file("long.mov"), QvMovieSettings());
    const QvMediaModuleFunctions& module = QvMediaModule::functions();
    QvMediaTrack* track = nullptr;
    QvMediaResult result{};
    ASSERT_EQ(module.trackOpenFile(file("long.mov").path, nullptr, &track, &result), QV_MEDIA_OK);
    int64_t frames = 0;
    int32_t complete = 1;
    ASSERT_EQ(module.trackScan(track, 5, nullptr, &frames, &complete, &result), QV_MEDIA_OK);
    EXPECT_GE(frames, 7);
    EXPECT_LT(frames, 400);
    EXPECT_EQ(complete, 0);
    ASSERT_EQ(module.trackScan(track, -1, nullptr, &frames, &complete, &result), QV_MEDIA_OK);
    EXPECT_EQ(frames, 400);
    EXPECT_EQ(complete, 1);
    QvMediaFrameInfo info{};
    module.trackFrameInfo(track, 399, &info);
    QvMediaTrackInfo about{};
    module.trackInfo(track, &about);
    EXPECT_NEAR(double(info.time) * about.timeBaseNumerator / about.timeBaseDenominator, 399 * 1001.0 / 30000, 1e-9);
    module.trackClose(track);
}

// The runs of a batch make movies in the same second: each process's appended frames
// go to a store file of its own name, and a store never opens a file that exists
// (another store's), whatever its name.
TEST_F(MovieTest, StoreFilesAreNeverShared) {
    QvSetTempFileFolder(folder_.c_str());
    std::unique_ptr<QvMediaMovie> movie = numberedMovie(2, "PNG");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) names.push_back(entry.path().filename());
    QvSetTempFileFolder(nullptr);
    ASSERT_EQ(names.size(), 1u);
    std::string number = names[0].substr(names[0].rfind('_') + 1);
    EXPECT_EQ(number.rfind(std::to_string(::getpid()), 0), 0u) << names[0];

    QvMediaFileLocation taken = file("taken.mov");
    std::ofstream(taken.path) << "another store's frames";
    QvMediaStore* store = nullptr;
    QvMediaResult result{};
    EXPECT_NE(QvMediaModule::functions().storeCreate(taken.path, &store, &result), QV_MEDIA_OK);
    EXPECT_EQ(result.code, QV_MEDIA_CANNOT_WRITE);
    EXPECT_EQ(result.systemError, EEXIST);
    std::ifstream kept(taken.path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "another store's frames");
}
