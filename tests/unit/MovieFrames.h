#pragma once
// Pictures for movie tests that tell which frame they are, through any compressor: a
// band of eight black or white blocks along the top spells the frame's number, and
// below it a gradient moves a pixel to the right per frame (motion that compressors
// predict across frames).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "Media/QvMediaMovie.h"
#include "Media/QvMediaPictures.h"
#include "QvGWorld/QvPixelBuffer.h"

namespace movieframes {
constexpr int kBits = 8;

inline std::unique_ptr<QvPixelBuffer> numbered(int number, int width = 64, int height = 48) {
    std::unique_ptr<QvPixelBuffer> picture = QvNewPicture(width, height);
    int band = height / 3;
    picture->lock();
    for (int y = 0; y < height; ++y) {
        uint32_t* row = picture->row(y);
        for (int x = 0; x < width; ++x) {
            uint32_t value;
            if (y < band) {
                bool set = (number >> (x * kBits / width)) & 1;
                value = set ? 0xFFFFFFu : 0;
            } else {
                uint32_t level = static_cast<uint32_t>((x + number) * 255 / (width + 64)) & 0xFF;
                value = level << 16 | (255 - level) << 8 | uint32_t(y * 255 / height);
            }
            row[x] = 0xFF000000u | value;
        }
    }
    picture->unlock();
    return picture;
}

// The number the band spells, read from the middle of each block.
inline int numberOf(QvPixelBuffer& picture) {
    int number = 0;
    picture.lock();
    uint32_t* row = picture.row(picture.height() / 6);
    for (int bit = 0; bit < kBits; ++bit) {
        uint32_t pixel = row[(2 * bit + 1) * picture.width() / (2 * kBits)];
        int grey = int((pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF)) / 3;
        if (grey > 128) number |= 1 << bit;
    }
    picture.unlock();
    return number;
}

inline bool samePixels(QvPixelBuffer& a, QvPixelBuffer& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    a.lock();
    b.lock();
    bool same = true;
    for (int y = 0; y < a.height() && same; ++y)
        same = std::equal(a.row(y), a.row(y) + a.width(), b.row(y));
    a.unlock();
    b.unlock();
    return same;
}

// A movie of `count` numbered pictures compressed by `compressor`.
inline std::unique_ptr<QvMediaMovie> numberedMovie(int count, const std::string& compressor, int width = 64,
                                                   int height = 48, int keyFrameInterval = 24) {
    auto movie = std::make_unique<QvMediaMovie>();
    QvMovieSettings settings;
    settings.setCompressor(compressor);
    settings.keyFrameInterval = keyFrameInterval;
    for (int i = 0; i < count; ++i) movie->insertPicture(i, *numbered(i, width, height), settings);
    return movie;
}

// A fresh folder for the test's files, removed afterwards.
class MovieFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("qvmovie_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    QvMediaFileLocation file(const std::string& name) const {
        QvMediaFileLocation location{};
        std::string path = (folder_ / name).string();
        path.copy(location.path, sizeof location.path - 1);
        return location;
    }

    std::filesystem::path folder_;
};
}  // namespace movieframes
