// The statistics kernels give the reference's bits on every dispatch target.
#include <cstring>

#include "KernelTargets.h"
#include "Kernels/QvStatisticsKernels.h"
#include "Kernels/Reference/QvStatisticsReference.h"

using namespace QvKernels;

namespace {
bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool sameBits(const QvColor& a, const QvColor& b) {
    return sameBits(a.red, b.red) && sameBits(a.green, b.green) && sameBits(a.blue, b.blue);
}

template <class P>
void expectStatisticsMatch(QvPlane<const P> a, QvPlane<const P> b) {
    EXPECT_TRUE(sameBits(sumOfPixels(a), Reference::sumOfPixels<P>(a)));
    EXPECT_TRUE(sameBits(averageOfPixels(a), Reference::averageOfPixels<P>(a)));
    EXPECT_TRUE(sameBits(deviationOfPixels(a), Reference::deviationOfPixels<P>(a)));
    QvPixelPosition dark = darkestPixel(a), expectedDark = Reference::darkestPixel<P>(a);
    EXPECT_EQ(dark.x, expectedDark.x);
    EXPECT_EQ(dark.y, expectedDark.y);
    QvPixelPosition bright = brightestPixel(a), expectedBright = Reference::brightestPixel<P>(a);
    EXPECT_EQ(bright.x, expectedBright.x);
    EXPECT_EQ(bright.y, expectedBright.y);
    for (double threshold : {-1.0, 0.0, 0.1, 0.5, std::nan("")})
        EXPECT_TRUE(sameBits(meanDifference(a, b, threshold), Reference::meanDifference<P>(a, b, threshold)))
            << threshold;
}

template <class P>
void expectRandomStatisticsMatch(std::mt19937& random, bool special) {
    for (int width : kOddWidths)
        for (int height : {1, 3}) {
            KernelPicture<P> a(width, height, 1), b(width + 1, height, 2);
            a.randomize(random, special);
            b.randomize(random, special);
            expectStatisticsMatch<P>(a, b);
        }
}
}  // namespace

TEST(KernelStatisticsTargets, RandomPictures) {
    std::mt19937 random(31);
    onEveryTarget([&] {
        expectRandomStatisticsMatch<bgPix>(random, false);
        expectRandomStatisticsMatch<bcPix>(random, false);
        expectRandomStatisticsMatch<fgPix>(random, false);
        expectRandomStatisticsMatch<fcPix>(random, false);
        expectRandomStatisticsMatch<fgPix>(random, true);
        expectRandomStatisticsMatch<fcPix>(random, true);
    });
}

TEST(KernelStatisticsTargets, ExtremesLateInLargePictures) {
    // Large rows and the extreme in the last row's tail: sums that do not fit one
    // vector's lanes, and the search for the first extreme pixel scanning everything.
    KernelPicture<bcPix> frame(1999, 40);
    KernelPicture<fcPix> image(1999, 40);
    KernelPicture<bcPix> black(1999, 40);
    black.fill({0, 0, 0, 0});
    frame.fill({255, 255, 255, 255});
    image.fill({1.0f, 0.5f, 0.5f, 0.5f});
    frame.at(1998, 39) = {0, 0, 0, 0};
    image.at(1998, 39) = {0.0f, 0.0f, 0.0f, 0.0f};
    image.at(3, 3) = {0.0f, std::nanf(""), 0.0f, 0.0f};
    onEveryTarget([&] {
        EXPECT_EQ(darkestPixel(frame).x, 1998);
        EXPECT_EQ(darkestPixel(image).y, 39);
        expectStatisticsMatch<bcPix>(frame, black);
        expectStatisticsMatch<fcPix>(image, image);
    });
}
