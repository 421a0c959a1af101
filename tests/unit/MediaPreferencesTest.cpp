// The process-wide media settings hosts hand over as blobs.
#include <gtest/gtest.h>

#include <vector>

#include "Media/QvCaptureDevice.h"
#include "Media/QvMediaPreferences.h"

namespace {
std::vector<uint8_t> movieBlob() {
    std::vector<uint8_t> blob(QvMovieGetPreferences(nullptr, 0));
    EXPECT_EQ(QvMovieGetPreferences(blob.data(), blob.size()), blob.size());
    return blob;
}
}  // namespace

// A refused blob leaves the settings that were handed over before; a short buffer gets
// nothing but the size it needs.
TEST(MediaPreferences, MoviesStartFromWhatTheHostHandedOver) {
    QvMovieSettings chosen;
    chosen.setRate(12.5);
    chosen.setKeyFrameInterval(3);
    const std::vector<uint8_t> blob = chosen.toBlob();
    ASSERT_EQ(QvMovieSetPreferences(blob.data(), blob.size()), 1);
    EXPECT_EQ(QvPreferredMovieSettings().rate(), 12.5);
    EXPECT_EQ(movieBlob(), blob);

    std::vector<uint8_t> damaged = blob;
    damaged.pop_back();
    EXPECT_EQ(QvMovieSetPreferences(damaged.data(), damaged.size()), 0);
    EXPECT_EQ(QvMovieSetPreferences(nullptr, 0), 0);
    const std::vector<uint8_t> capture = QvCaptureSettings().toBlob();
    EXPECT_EQ(QvMovieSetPreferences(capture.data(), capture.size()), 0);
    EXPECT_EQ(QvPreferredMovieSettings().keyFrameInterval, 3);

    std::vector<uint8_t> small(4, 0xEE);
    EXPECT_EQ(QvMovieGetPreferences(small.data(), small.size()), blob.size());
    EXPECT_EQ(small, std::vector<uint8_t>(4, 0xEE));

    const std::vector<uint8_t> defaults = QvMovieSettings().toBlob();
    ASSERT_EQ(QvMovieSetPreferences(defaults.data(), defaults.size()), 1);
}

TEST(MediaPreferences, CamerasOpenWithWhatTheHostHandedOver) {
    QvCaptureSettings chosen;
    chosen.device = "Test Camera";
    chosen.picture[QV_MEDIA_CONTRAST] = 0.75;
    const std::vector<uint8_t> blob = chosen.toBlob();
    ASSERT_EQ(QvVideoSourceSetPreferences(blob.data(), blob.size()), 1);
    EXPECT_EQ(QvCaptureSettings::processWide().picture[QV_MEDIA_CONTRAST], 0.75);

    const std::vector<uint8_t> movie = QvMovieSettings().toBlob();
    EXPECT_EQ(QvVideoSourceSetPreferences(movie.data(), movie.size()), 0);
    std::vector<uint8_t> handedBack(QvVideoSourceGetPreferences(nullptr, 0));
    QvVideoSourceGetPreferences(handedBack.data(), handedBack.size());
    EXPECT_EQ(handedBack, blob);
    QvCaptureSettings::processWide() = QvCaptureSettings();
}
