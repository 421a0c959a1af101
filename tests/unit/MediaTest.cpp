#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

#include "ErrorCapture.h"
#include "Files/QvFileStatus.h"
#include "Media/QvMediaLayer.h"
#include "QvGWorld/QvPixelBuffer.h"

namespace fs = std::filesystem;

namespace {
const std::set<std::string> kReadingErrors = {
    "Could not get graphics importer for file.", "Could not get image description from file.",
    "Could not set graphics mode when reading file.", "Could not set gWorld for graphics import"};

// Waves, a gradient and noise, with a varying alpha: compressible, but not trivially.
std::unique_ptr<QvPixelBuffer> testPicture(int width, int height) {
    std::unique_ptr<QvPixelBuffer> picture = QvPixelBuffer::create(width, height);
    std::mt19937 random(5);
    auto clamp = [](double v) { return static_cast<uint32_t>(std::clamp(v, 0.0, 255.0)); };
    picture->lock();
    for (int y = 0; y < height; ++y) {
        uint32_t* row = picture->row(y);
        for (int x = 0; x < width; ++x) {
            uint32_t red = clamp(128 + 90 * std::sin(x / 5.0) * std::cos(y / 7.0) + int(random() % 41) - 20);
            uint32_t green = clamp(y * 255.0 / height);
            uint32_t blue = clamp(128 + 100 * std::sin((x + y) / 11.0));
            uint32_t alpha = 128 + (x % 128);
            row[x] = alpha << 24 | red << 16 | green << 8 | blue;
        }
    }
    picture->unlock();
    return picture;
}

// Largest and mean difference of the colour components, and whether some pixel
// differs in alpha.
struct Difference {
    int largest = 0;
    double mean = 0;
    bool alpha = false;
};

Difference compare(QvPixelBuffer& a, QvPixelBuffer& b) {
    Difference difference;
    double sum = 0;
    a.lock();
    b.lock();
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            uint32_t p = a.row(y)[x], q = b.row(y)[x];
            for (int shift = 0; shift < 24; shift += 8) {
                int d = std::abs(int(p >> shift & 0xFF) - int(q >> shift & 0xFF));
                difference.largest = std::max(difference.largest, d);
                sum += d;
            }
            difference.alpha |= (p >> 24) != (q >> 24);
        }
    a.unlock();
    b.unlock();
    difference.mean = sum / (3.0 * a.width() * a.height());
    return difference;
}

class MediaTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QvTheMediaLayer().start(), 0);
        folder_ = fs::temp_directory_path() / ("qvmedia_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        fs::remove_all(folder_);
        QvTheMediaLayer().stop();
    }
    QvMediaFileLocation fileSpec(const std::string& name) {
        QvMediaFileLocation result;
        QvTheMediaLayer().makeFileSpec((folder_ / name).string(), &result);
        return result;
    }
    std::unique_ptr<QvPixelBuffer> roundTrip(QvPixelBuffer& picture, const std::string& compression, double quality,
                                             uintmax_t* bytes = nullptr) {
        QvMediaFileLocation file = fileSpec("picture." + compression);
        QvTheMediaLayer().exportImage(picture, file, compression, quality);
        if (bytes) *bytes = fs::file_size(file.path);
        return QvTheMediaLayer().importImage(file);
    }
    std::string importError(const std::string& content) {
        std::ofstream(folder_ / "bad.img", std::ios::binary) << content;
        QvMediaFileLocation file = fileSpec("bad.img");
        return raisedMessage([&] { QvTheMediaLayer().importImage(file); });
    }

    fs::path folder_;
};
}

TEST(PixelBuffer, RowsAreAlignedAndOnlyReachableWhileLocked) {
    EXPECT_EQ(QvPixelBuffer::create(0, 10), nullptr);
    EXPECT_EQ(QvPixelBuffer::create(10, QvPixelBuffer::kMaxSide + 1), nullptr);
    std::unique_ptr<QvPixelBuffer> buffer = QvTheMediaLayer().createOffscreen(17, 3);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->rowBytes(), 128u);
    EXPECT_EQ(buffer->row(0), nullptr);
    uint8_t* base = buffer->lock();
    EXPECT_EQ(reinterpret_cast<uintptr_t>(base) % 64, 0u);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(buffer->row(2)), base + 256);
    EXPECT_EQ(buffer->row(3), nullptr);
    buffer->lock();
    buffer->unlock();
    EXPECT_TRUE(buffer->isLocked());
    buffer->unlock();
    EXPECT_FALSE(buffer->isLocked());
}

TEST_F(MediaTest, FileSpecificationsSayWhetherTheFileExists) {
    QvMediaFileLocation result;
    EXPECT_EQ(QvTheMediaLayer().makeFileSpec(folder_.string(), &result), 0);
    EXPECT_EQ(QvTheMediaLayer().makeFileSpec((folder_ / "none").string(), &result), QV_FILE_NOT_FOUND);
    EXPECT_EQ(QvTheMediaLayer().makeFileSpec(std::string(5000, 'a'), &result), QV_FILE_BAD_NAME);
}

TEST_F(MediaTest, PngKeepsEveryPixel) {
    std::unique_ptr<QvPixelBuffer> picture = testPicture(123, 77);
    std::unique_ptr<QvPixelBuffer> back = roundTrip(*picture, "PNG", 0.5);
    ASSERT_EQ(back->width(), 123);
    ASSERT_EQ(back->height(), 77);
    Difference difference = compare(*picture, *back);
    EXPECT_EQ(difference.largest, 0);
    EXPECT_FALSE(difference.alpha);
}

TEST_F(MediaTest, LosslessFormatsKeepTheColours) {
    std::unique_ptr<QvPixelBuffer> picture = testPicture(64, 48);
    for (const std::string& name : QvTheMediaLayer().imageCompressorNames()) {
        if (name == "JPEG") continue;
        SCOPED_TRACE(name);
        std::unique_ptr<QvPixelBuffer> back;
        ASSERT_EQ(raisedMessage([&] { back = roundTrip(*picture, name, 1.0); }), "<no error>");
        EXPECT_EQ(compare(*picture, *back).largest, 0);
    }
}

TEST_F(MediaTest, JpegQualitySetsTheSizeAndTheLoss) {
    std::vector<std::string> names = QvTheMediaLayer().imageCompressorNames();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), QvMediaLayer::kDefaultImageCompression);
    std::unique_ptr<QvPixelBuffer> picture = testPicture(320, 240);
    uintmax_t coarseBytes = 0, fineBytes = 0;
    std::unique_ptr<QvPixelBuffer> coarse = roundTrip(*picture, "JPEG", 0.2, &coarseBytes);
    std::unique_ptr<QvPixelBuffer> fine = roundTrip(*picture, "JPEG", 0.9, &fineBytes);
    EXPECT_LT(coarseBytes * 2, fineBytes);
    double fineLoss = compare(*picture, *fine).mean;
    EXPECT_LT(fineLoss, 8);
    EXPECT_LT(fineLoss * 1.5, compare(*picture, *coarse).mean);
    // JPEG has no alpha: every pixel comes back opaque.
    fine->lock();
    EXPECT_EQ(fine->row(10)[10] >> 24, 0xFFu);
    fine->unlock();
}

TEST_F(MediaTest, UnknownCompressionListsTheNames) {
    std::unique_ptr<QvPixelBuffer> picture = testPicture(8, 8);
    QvMediaFileLocation file = fileSpec("x.img");
    std::string message = raisedMessage([&] { QvTheMediaLayer().exportImage(*picture, file, "Cinepak", 0.5); });
    EXPECT_EQ(message.rfind("Unknown frame compression type.\nAvailable types are:\n\"JPEG\"\n\"PNG\"", 0), 0u);
    QvMediaFileLocation unwritable = fileSpec("no/such/folder/x.png");
    EXPECT_EQ(raisedMessage([&] { QvTheMediaLayer().exportImage(*picture, unwritable, "PNG", 0.5); }),
              std::string("Export of the picture to file '") + unwritable.path + "' failed.");
}

TEST_F(MediaTest, UnreadableFilesGiveTheReadingErrors) {
    EXPECT_EQ(importError(""), "Could not get graphics importer for file.");
    EXPECT_EQ(importError("print 1;\n"), "Could not get graphics importer for file.");
    QvMediaFileLocation folder = fileSpec("");
    EXPECT_EQ(raisedMessage([&] { QvTheMediaLayer().importImage(folder); }), "Could not get graphics importer for file.");
    // A bitmap header that claims 40000 x 40000 pixels.
    const uint8_t claim[] = {'B', 'M', 0x36, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0, 0x28, 0, 0, 0,
                             0x40, 0x9c, 0, 0, 0x40, 0x9c, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0};
    std::string header(reinterpret_cast<const char*>(claim), sizeof claim);
    header.append(24, '\0');
    EXPECT_EQ(kReadingErrors.count(importError(header)), 1u);
}

// Every prefix length class and random byte damage of real files: a picture or one of
// the reading errors, never a crash.
TEST_F(MediaTest, DamagedFilesNeverCrash) {
    std::unique_ptr<QvPixelBuffer> picture = testPicture(40, 30);
    std::mt19937 random(11);
    for (const std::string& name : QvTheMediaLayer().imageCompressorNames()) {
        std::vector<uint8_t> bytes = QvTheMediaLayer().encodeImage(*picture, name, 0.5);
        for (size_t cut = 0; cut < bytes.size(); cut += 1 + bytes.size() / 40) {
            std::string message = raisedMessage([&] { QvTheMediaLayer().decodeImage(bytes.data(), cut); });
            EXPECT_TRUE(message == "<no error>" || kReadingErrors.count(message)) << name << " cut " << cut << ": " << message;
        }
        for (int trial = 0; trial < 40; ++trial) {
            std::vector<uint8_t> damaged = bytes;
            for (int hit = 0; hit < 4; ++hit) damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
            std::string message = raisedMessage([&] { QvTheMediaLayer().decodeImage(damaged.data(), damaged.size()); });
            EXPECT_TRUE(message == "<no error>" || kReadingErrors.count(message)) << name << ": " << message;
        }
    }
}
