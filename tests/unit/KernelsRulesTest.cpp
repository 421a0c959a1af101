// What the pixel kernels compute, checked on cases worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "KernelPictures.h"
#include "Kernels/QvKernels.h"

using namespace QvKernels;

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

template <class P>
KernelPicture<P> uniform(int width, int height, P value) {
    KernelPicture<P> picture(width, height);
    picture.fill(value);
    return picture;
}
}  // namespace

TEST(KernelRules, FloatToByteAndLuminance) {
    EXPECT_EQ(byteFromUnit(kNaN), 0);
    EXPECT_EQ(byteFromUnit(kInf), 255);
    EXPECT_EQ(byteFromUnit(-kInf), 0);
    EXPECT_EQ(byteFromUnit(-0.5f), 0);
    EXPECT_EQ(byteFromUnit(2.0f), 255);
    EXPECT_EQ(byteFromUnit(0.999f), 254);
    for (int b = 0; b < 256; ++b) EXPECT_EQ(byteFromUnit(unitFromByte(static_cast<uint8_t>(b))), b) << b;
    EXPECT_EQ(luminance(1.0, 1.0, 1.0), 1.0f);
    EXPECT_EQ(luminance(0.0, 0.0, 0.0), 0.0f);
    EXPECT_EQ(greyLevel({0, 0, 255, 255}), 76);
    EXPECT_EQ(greyLevel({255, 255, 255, 0}), 255);
    EXPECT_EQ(QvPaddedRowBytes<bgPix>(17), 32);
    EXPECT_EQ(QvPaddedRowBytes<fcPix>(17), 512);
}

TEST(KernelRules, ByteStepsAndFactors) {
    EXPECT_EQ(byteStep(0.5), 127);
    EXPECT_EQ(byteStep(0.1), 25);
    EXPECT_EQ(byteStep(-0.1), -25);
    EXPECT_EQ(byteStep(7.0), 255);
    EXPECT_EQ(byteStep(-std::numeric_limits<double>::infinity()), -255);
    EXPECT_EQ(byteStep(std::nan("")), 0);
    EXPECT_EQ(byteFactor(2.0), 510);
    EXPECT_EQ(byteFactor(1e300), 65025);
    EXPECT_EQ(byteFactor(-3.0), 0);
    EXPECT_EQ(byteFactor(std::nan("")), 0);
    EXPECT_EQ(multiplyByte(255, 65025), 255);
    EXPECT_EQ(multiplyByte(100, 510), 200);
    EXPECT_EQ(multiplyByte(200, 510), 255);
}

TEST(KernelArithmetic, ByteConstantsQuantiseAndSaturate) {
    KernelPicture<bgPix> grey = uniform<bgPix>(3, 2, {200});
    combineWithConstant(QvPixelOperator::add, grey, grey, 0.5);
    EXPECT_EQ(grey.at(2, 1).grey, 255);
    grey.fill({100});
    combineWithConstant(QvPixelOperator::add, grey, grey, 0.1);
    EXPECT_EQ(grey.at(0, 0).grey, 125);
    // Adding a negative number subtracts.
    combineWithConstant(QvPixelOperator::add, grey, grey, -0.1);
    EXPECT_EQ(grey.at(0, 0).grey, 100);
    combineWithConstant(QvPixelOperator::subtract, grey, grey, 1.0);
    EXPECT_EQ(grey.at(0, 0).grey, 0);
    grey.fill({100});
    combineWithConstant(QvPixelOperator::multiply, grey, grey, 2.0);
    EXPECT_EQ(grey.at(1, 1).grey, 200);
    combineWithConstant(QvPixelOperator::multiply, grey, grey, 2.0);
    EXPECT_EQ(grey.at(1, 1).grey, 255);
    // Division by zero never traps: p / 0 is white, 0 / 0 is black.
    combineWithConstant(QvPixelOperator::divide, grey, grey, 0.0);
    EXPECT_EQ(grey.at(0, 0).grey, 255);
    grey.fill({0});
    combineWithConstant(QvPixelOperator::divide, grey, grey, 0.0);
    EXPECT_EQ(grey.at(0, 0).grey, 0);
    grey.fill({51});
    combineWithConstant(QvPixelOperator::divide, grey, grey, 0.5);
    EXPECT_EQ(grey.at(0, 0).grey, 102);
}

TEST(KernelArithmetic, ConstantsNeverChangeAlpha) {
    KernelPicture<bcPix> frame = uniform<bcPix>(5, 1, {10, 20, 30, 77});
    for (auto op : {QvPixelOperator::add, QvPixelOperator::subtract, QvPixelOperator::multiply,
                    QvPixelOperator::divide}) {
        KernelPicture<bcPix> result(5, 1);
        combineWithConstant(op, result, frame, QvColor{1.0, 0.5, 0.0});
        EXPECT_EQ(result.at(4, 0).alpha, 77);
    }
    KernelPicture<bcPix> result(5, 1);
    combineWithConstant(QvPixelOperator::add, result, frame, QvColor{0.1, -0.1, 2.0});
    EXPECT_EQ(result.at(0, 0).red, 30 + 25);
    EXPECT_EQ(result.at(0, 0).green, 0);
    EXPECT_EQ(result.at(0, 0).blue, 255);

    KernelPicture<fcPix> image = uniform<fcPix>(3, 1, {-0.0f, 0.5f, 0.5f, 0.5f});
    KernelPicture<fcPix> logged(3, 1);
    combineWithConstant(QvPixelOperator::subtract, logged, image, QvColor{0.25, 1, 0});
    EXPECT_TRUE(std::signbit(logged.at(2, 0).alpha));
    EXPECT_EQ(logged.at(2, 0).red, 0.25f);
    EXPECT_EQ(logged.at(2, 0).green, -0.5f);
}

TEST(KernelArithmetic, PictureOperandsAndAlpha) {
    KernelPicture<bcPix> left = uniform<bcPix>(2, 2, {100, 100, 100, 255});
    KernelPicture<bcPix> right = uniform<bcPix>(2, 2, {50, 150, 250, 255});
    KernelPicture<bcPix> out(2, 2);
    combinePictures(QvPixelOperator::subtract, out, left, right);
    EXPECT_EQ(out.at(1, 1).blue, 50);
    EXPECT_EQ(out.at(1, 1).green, 0);
    EXPECT_EQ(out.at(1, 1).alpha, 255) << "picture minus picture keeps the left alpha";
    combinePictures(QvPixelOperator::add, out, left, right);
    EXPECT_EQ(out.at(0, 0).red, 255);
    EXPECT_EQ(out.at(0, 0).alpha, 255);
    combinePictures(QvPixelOperator::multiply, out, left, right);
    EXPECT_EQ(out.at(0, 0).red, 100 * 250 / 255);
    EXPECT_EQ(out.at(0, 0).alpha, 255);

    // A grey right operand changes red, green and blue and keeps the left alpha.
    KernelPicture<fcPix> image = uniform<fcPix>(2, 1, {0.25f, 0.5f, 0.5f, 0.5f});
    KernelPicture<bgPix> grey = uniform<bgPix>(2, 1, {255});
    KernelPicture<fcPix> sum(2, 1);
    combinePictures(QvPixelOperator::add, sum, image, grey);
    EXPECT_EQ(sum.at(1, 0).alpha, 0.25f);
    EXPECT_EQ(sum.at(1, 0).red, 1.5f);
    // A colour right operand combines alpha too.
    KernelPicture<fcPix> both(2, 1);
    combinePictures(QvPixelOperator::add, both, image, image);
    EXPECT_EQ(both.at(0, 0).alpha, 0.5f);
}

TEST(KernelArithmetic, InPlaceOverAWindowLeavesTheRestAlone) {
    KernelPicture<bgPix> picture = uniform<bgPix>(6, 4, {10});
    KernelPicture<bgPix> other = uniform<bgPix>(3, 2, {5});
    QvPlane<bgPix> overlap = picture.plane().window(0, 0, 3, 2);
    combinePictures(QvPixelOperator::add, overlap, overlap, other);
    EXPECT_EQ(picture.at(2, 1).grey, 15);
    EXPECT_EQ(picture.at(3, 1).grey, 10);
    EXPECT_EQ(picture.at(2, 2).grey, 10);
}

TEST(KernelConversions, BetweenClasses) {
    KernelPicture<bcPix> red = uniform<bcPix>(1, 1, {0, 0, 255, 255});
    KernelPicture<bgPix> mono(1, 1);
    convertPixels(mono, red);
    EXPECT_EQ(mono.at(0, 0).grey, 76);
    KernelPicture<fcPix> image(1, 1);
    convertPixels(image, red);
    EXPECT_EQ(image.at(0, 0).alpha, 1.0f);
    EXPECT_EQ(image.at(0, 0).red, 1.0f);
    EXPECT_EQ(image.at(0, 0).green, 0.0f);
    KernelPicture<bcPix> back(1, 1);
    KernelPicture<fgPix> white = uniform<fgPix>(1, 1, {1.0f});
    convertPixels(back, white);
    EXPECT_EQ(back.at(0, 0).red, 255);
    EXPECT_EQ(back.at(0, 0).alpha, 255);
    KernelPicture<fcPix> nan = uniform<fcPix>(1, 1, {kInf, kNaN, -kInf, 0.5f});
    convertPixels(back, nan);
    EXPECT_EQ(back.at(0, 0).alpha, 255);
    EXPECT_EQ(back.at(0, 0).red, 0);
    EXPECT_EQ(back.at(0, 0).green, 0);
    EXPECT_EQ(back.at(0, 0).blue, 127);
}

TEST(KernelConversions, NearestResizeAndAlpha) {
    KernelPicture<bgPix> picture(100, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) picture.at(x, y).grey = static_cast<uint8_t>(x + y);
    KernelPicture<bgPix> half(50, 25);
    resizeNearest(half, picture);
    EXPECT_EQ(half.at(7, 3).grey, 14 + 6);
    EXPECT_EQ(half.at(49, 24).grey, 98 + 48);

    KernelPicture<bcPix> frame = uniform<bcPix>(3, 2, {1, 2, 3, 4});
    KernelPicture<bgPix> alpha(3, 2);
    extractAlpha(alpha, frame);
    EXPECT_EQ(alpha.at(2, 1).grey, 4);
    KernelPicture<fcPix> mask = uniform<fcPix>(2, 2, {0.0f, 1.0f, 1.0f, 1.0f});
    replaceAlpha(frame.plane().window(0, 0, 2, 2), frame, mask);
    EXPECT_EQ(frame.at(1, 1).alpha, 255);
    EXPECT_EQ(frame.at(1, 1).red, 3);
    EXPECT_EQ(frame.at(2, 1).alpha, 4);
}

TEST(KernelStatistics, ExactSumsAndEmptyPictures) {
    // A single-precision running sum gave 0.196687 here.
    KernelPicture<fgPix> uniformGrey = uniform<fgPix>(1920, 1080, {0.2f});
    EXPECT_EQ(averageOfPixels(uniformGrey).red, static_cast<double>(0.2f));
    EXPECT_EQ(deviationOfPixels(uniformGrey).green, 0.0);
    KernelPicture<bcPix> frame = uniform<bcPix>(1920, 1080, {51, 102, 255, 0});
    QvColor average = averageOfPixels(frame);
    EXPECT_EQ(average.red, 1.0);
    EXPECT_EQ(average.green, 0.4);
    EXPECT_EQ(average.blue, 0.2);
    EXPECT_EQ(sumOfPixels(frame).red, 1920.0 * 1080.0);

    KernelPicture<bgPix> empty(0, 0);
    EXPECT_EQ(averageOfPixels(empty).red, 1e10);
    EXPECT_EQ(sumOfPixels(empty).blue, 0);
    EXPECT_EQ(deviationOfPixels(empty).blue, 0);
    EXPECT_EQ(darkestPixel(empty).x, -1);

    KernelPicture<bgPix> two(2, 1);
    two.at(0, 0).grey = 0;
    two.at(1, 0).grey = 255;
    EXPECT_EQ(deviationOfPixels(two).red, 0.5);
}

TEST(KernelStatistics, ExtremesAndTheirLocation) {
    KernelPicture<fgPix> picture = uniform<fgPix>(5, 4, {0.5f});
    picture.at(2, 1).grey = 0.1f;
    picture.at(4, 3).grey = 0.1f;
    picture.at(0, 0).grey = kNaN;
    picture.at(1, 1).grey = 0.3f;
    EXPECT_EQ(darkestPixel(picture).x, 2);
    EXPECT_EQ(darkestPixel(picture).y, 1);
    EXPECT_EQ(brightestPixel(picture).x, 1);
    EXPECT_EQ(brightestPixel(picture).y, 0);

    QvExtremeLocation at = locateDarkest(picture, true);
    // Along x: a = 0.3, b = 0.1, c = 0.5: (0.3 - 0.5) / ((0.4 - 0.1) * 4) = -1/6.
    EXPECT_NEAR(at.x, 2 - 1.0 / 6, 1e-6);
    EXPECT_NEAR(at.y, 1, 1e-9);
    EXPECT_EQ(at.luminance, 0.1f);
    // The second minimum lies on the border: no refinement there.
    picture.at(2, 1).grey = 0.5f;
    at = locateDarkest(picture, true);
    EXPECT_EQ(at.x, 4);
    EXPECT_EQ(at.y, 3);

    // Frames order by the exact 30 R + 59 G + 11 B.
    KernelPicture<bcPix> frame = uniform<bcPix>(3, 1, {0, 0, 0, 255});
    frame.at(1, 0) = {0, 0, 59, 255};
    frame.at(2, 0) = {0, 30, 0, 255};
    EXPECT_EQ(brightestPixel(frame).x, 1);
}

TEST(KernelStatistics, MeanDifferenceWithThreshold) {
    KernelPicture<bgPix> a = uniform<bgPix>(4, 1, {0});
    KernelPicture<bgPix> b = uniform<bgPix>(4, 1, {0});
    b.at(0, 0).grey = 255;
    b.at(1, 0).grey = 51;
    EXPECT_DOUBLE_EQ(meanDifference(a, b, 0), (1.0 + 0.2) / 4);
    EXPECT_DOUBLE_EQ(meanDifference(a, b, 0.5), 1.0 / 4);
    KernelPicture<bcPix> c = uniform<bcPix>(2, 1, {0, 0, 0, 0});
    KernelPicture<bcPix> d = uniform<bcPix>(2, 1, {255, 255, 255, 0});
    EXPECT_EQ(meanDifference(c, d, 0), 1.0);
}

TEST(KernelFilters, WrapCoordinates) {
    EXPECT_EQ(wrapCoordinate(-1, 10), 9);
    EXPECT_EQ(wrapCoordinate(10, 10), 1);
    EXPECT_EQ(wrapCoordinate(11, 10), 2);
    // Where the wrap rule still lands outside, a modulo brings it inside.
    EXPECT_EQ(wrapCoordinate(1, 1), 0);
    EXPECT_EQ(wrapCoordinate(-1, 1), 0);
    EXPECT_EQ(wrapCoordinate(-7, 3), 2);
    EXPECT_EQ(wrapCoordinate(9, 3), 1);
    EXPECT_EQ(rankPosition(9, 0.5), 4);
    EXPECT_EQ(rankPosition(9, 1.0), 8);
    EXPECT_EQ(rankPosition(9, -1.0), 0);
    EXPECT_EQ(rankPosition(9, std::nan("")), 0);
}

TEST(KernelFilters, ConvolutionCopiesAndWraps) {
    KernelPicture<bgPix> picture(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) picture.at(x, y).grey = static_cast<uint8_t>(10 * x + y);
    KernelPicture<fgPix> one = uniform<fgPix>(1, 1, {1.0f});
    KernelPicture<bgPix> copy(4, 3);
    convolve(copy, picture, one);
    EXPECT_TRUE(copy.sameBits(picture));

    // A kernel that picks the left neighbour: weight at column kx - dx with dx = -1.
    KernelPicture<fgPix> left = uniform<fgPix>(3, 1, {0.0f});
    left.at(2, 0).grey = 1.0f;
    KernelPicture<bgPix> shifted(4, 3);
    convolve(shifted, picture, left);
    EXPECT_EQ(shifted.at(1, 2).grey, 2);
    EXPECT_EQ(shifted.at(0, 2).grey, 30 + 2) << "x = -1 wraps to the last column";

    // Kernels larger than the picture and one-pixel pictures stay inside.
    KernelPicture<bgPix> dot = uniform<bgPix>(1, 1, {40});
    KernelPicture<fgPix> big = uniform<fgPix>(5, 5, {0.1f});
    KernelPicture<bgPix> blurred(1, 1);
    convolve(blurred, dot, big);
    float sum = 0.0f;
    for (int tap = 0; tap < 25; ++tap) sum = sum + 40.0f * 0.1f;
    EXPECT_EQ(blurred.at(0, 0).grey, byteFromScaled(sum));

    // A grey kernel keeps the alpha of a colour picture.
    KernelPicture<fcPix> image = uniform<fcPix>(3, 3, {0.25f, 1.0f, 1.0f, 1.0f});
    KernelPicture<fgPix> half = uniform<fgPix>(1, 1, {0.5f});
    KernelPicture<fcPix> dimmed(3, 3);
    convolve(dimmed, image, half);
    EXPECT_EQ(dimmed.at(1, 1).alpha, 0.25f);
    EXPECT_EQ(dimmed.at(1, 1).red, 0.5f);
}

TEST(KernelFilters, RankOrder) {
    KernelPicture<bgPix> picture(3, 3);
    for (int i = 0; i < 9; ++i) picture.at(i % 3, i / 3).grey = static_cast<uint8_t>((i * 5) % 9);
    KernelPicture<bgPix> mask = uniform<bgPix>(3, 3, {1});
    std::vector<QvMaskTap> taps = maskTaps(mask);
    ASSERT_EQ(taps.size(), 9u);
    EXPECT_EQ(taps.front().dx, 1);
    EXPECT_EQ(taps.front().dy, 1);
    KernelPicture<bgPix> out(3, 3);
    medianFilter(out, picture, taps, 0.5);
    EXPECT_EQ(out.at(1, 1).grey, 4);
    medianFilter(out, picture, taps, 0.0);
    EXPECT_EQ(out.at(1, 1).grey, 0);
    medianFilter(out, picture, taps, 1.0);
    EXPECT_EQ(out.at(1, 1).grey, 8);

    KernelPicture<bgPix> zero = uniform<bgPix>(3, 3, {0});
    EXPECT_TRUE(maskTaps(zero).empty());
    KernelPicture<bcPix> alphaOnly = uniform<bcPix>(1, 1, {0, 0, 0, 255});
    EXPECT_TRUE(maskTaps(alphaOnly).empty());

    // Colour pixels with the same grey level keep their order: the first one wins.
    KernelPicture<bcPix> frame(2, 1);
    frame.at(0, 0) = {0, 0, 255, 255};   // grey 76
    frame.at(1, 0) = {5, 128, 0, 255};   // grey 76
    KernelPicture<bcPix> colourMask = uniform<bcPix>(2, 1, {0, 0, 1, 0});
    KernelPicture<bcPix> ranked(2, 1);
    medianFilter(ranked, frame, maskTaps(colourMask), 0.0);
    EXPECT_EQ(ranked.at(0, 0).red, 255);
    EXPECT_EQ(ranked.at(1, 0).red, 0);
}

TEST(KernelFilters, AffineTransform) {
    KernelPicture<bcPix> white = uniform<bcPix>(40, 30, {255, 255, 255, 255});
    KernelPicture<bcPix> turned(40, 30);
    double angle = 0.3;
    transformAffine(turned, white, {std::cos(angle), -std::sin(angle), std::sin(angle), std::cos(angle)},
                    bcPix{0, 0, 0, 255});
    // Inside the turned picture white stays exactly white.
    EXPECT_EQ(turned.at(20, 15).red, 255);
    EXPECT_EQ(turned.at(39, 0).red, 0);

    KernelPicture<fgPix> image(5, 4);
    std::mt19937 random(3);
    image.randomize(random, true);
    KernelPicture<fgPix> same(5, 4);
    transformAffine(same, image, {1, 0, 0, 1}, fgPix{0.5f});
    EXPECT_TRUE(same.sameBits(image));
    transformAffine(same, image, {1, 2, 2, 4}, fgPix{0.5f});
    EXPECT_EQ(same.at(3, 3).grey, 0.5f);
    // Doubling the size: destination (2, 2) samples source (1, 1) exactly.
    transformAffine(same, image, {2, 0, 0, 2}, fgPix{0.5f});
    EXPECT_TRUE(std::memcmp(&same.at(2, 2), &image.at(1, 1), 4) == 0);
    // The determinant is computed in double: 1e-400 is 0 there.
    transformAffine(same, image, {1e-200, 0, 0, 1e-200}, fgPix{0.5f});
    EXPECT_EQ(same.at(0, 0).grey, 0.5f);
}

TEST(KernelRules, EveryComputedNaNIsTheDefaultNaN) {
    auto bits = [](float v) {
        uint32_t b;
        std::memcpy(&b, &v, 4);
        return b;
    };
    const uint32_t expected = bits(kDefaultNaN);
    KernelPicture<fgPix> positive = uniform<fgPix>(20, 1, {kNaN});
    KernelPicture<fgPix> negative = uniform<fgPix>(20, 1, {-kNaN});
    KernelPicture<fgPix> out(20, 1);
    for (auto op : {QvPixelOperator::add, QvPixelOperator::divide}) {
        combinePictures(op, out, positive, negative);
        EXPECT_EQ(bits(out.at(19, 0).grey), expected);
        combinePictures(op, out, negative, positive);
        EXPECT_EQ(bits(out.at(0, 0).grey), expected);
    }
    applyFunction(QvPixelFunction::absolute, out, positive);
    EXPECT_EQ(bits(out.at(5, 0).grey), expected);
    KernelPicture<fgPix> minusOne = uniform<fgPix>(20, 1, {-1.0f});
    applyFunction(QvPixelFunction::squareRoot, out, minusOne);
    EXPECT_EQ(bits(out.at(5, 0).grey), expected);
    KernelPicture<fcPix> image = uniform<fcPix>(20, 1, {1.0f, kNaN, -kNaN, 0.0f});
    convertPixels(out, image);
    EXPECT_EQ(bits(out.at(7, 0).grey), expected);
    EXPECT_TRUE(std::signbit(averageOfPixels(image).red));
}
