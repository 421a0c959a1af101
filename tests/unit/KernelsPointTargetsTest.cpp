// The pixel-by-pixel kernels give the reference's bits on every dispatch target.
#include "KernelTargets.h"
#include "Kernels/QvPointKernels.h"
#include "Kernels/Reference/QvPointReference.h"

using namespace QvKernels;

namespace {
constexpr double kInf = HUGE_VAL;

template <class P>
void expectFunctionsMatch(std::mt19937& random) {
    for (int width : kOddWidths) {
        KernelPicture<P> src(width, 2, 1);
        src.randomize(random, true);
        for (QvPixelFunction function :
             {QvPixelFunction::squareRoot, QvPixelFunction::logarithm, QvPixelFunction::absolute}) {
            KernelPicture<P> dst(width, 2, 2);
            dst.scramble(random);
            expectSameAsReference(
                dst, [&](QvPlane<P> d) { applyFunction(function, d, src); },
                [&](QvPlane<P> d) { Reference::applyFunction<P>(function, d, src); });
        }
        KernelPicture<P> dst(width, 2);
        expectSameAsReference(
            dst, [&](QvPlane<P> d) { raiseToPower(d, src, 2.5); },
            [&](QvPlane<P> d) { Reference::raiseToPower<P>(d, src, 2.5); });
    }
}

template <class P>
void expectPicksMatch(std::mt19937& random) {
    for (int width : kOddWidths) {
        KernelPicture<P> a(width, 2, 1), b(width, 3, 3);
        a.randomize(random, true);
        b.randomize(random, true);
        // Some equal pixels, so that ties show.
        for (int x = 0; x < width; x += 3) b.at(x, 0) = a.at(x, 0);
        KernelPicture<P> dst(width, 2, 2);
        dst.scramble(random);
        expectSameAsReference(
            dst, [&](QvPlane<P> d) { binaryMinimum(d, a, b); },
            [&](QvPlane<P> d) { Reference::binaryMinimum<P>(d, a, b); });
        expectSameAsReference(
            dst, [&](QvPlane<P> d) { binaryMaximum(d, a, b); },
            [&](QvPlane<P> d) { Reference::binaryMaximum<P>(d, a, b); });
    }
}

// Bounds on and beside the byte steps, outside the float range, infinite and NaN.
const double kBounds[][2] = {{0.2, 0.8}, {51 / 255.0, 204 / 255.0}, {0.2f, 0.8f}, {-kInf, 0.5}, {0.5, kInf},
                             {-1e300, 1e300}, {0.7, 0.3}, {std::nan(""), 1.0}, {0.0, 0.0}, {1e-45, 1.0 - 1e-17}};

template <class P>
void expectRangesMatch(std::mt19937& random) {
    KernelPicture<P> one(1, 1);
    for (int width : kOddWidths) {
        KernelPicture<P> src(width, 2, 1);
        src.randomize(random, true);
        one.randomize(random, true);
        P replacement = one.at(0, 0);
        for (const auto& bound : kBounds) {
            for (bool inclusive : {true, false}) {
                KernelPicture<P> dst(width, 2, 2);
                dst.scramble(random);
                if constexpr (std::is_same_v<P, bgPix> || std::is_same_v<P, fgPix>) {
                    expectSameAsReference(
                        dst, [&](QvPlane<P> d) { replaceRange(d, src, bound[0], bound[1], inclusive, replacement); },
                        [&](QvPlane<P> d) {
                            Reference::replaceRange<P>(d, src, bound[0], bound[1], inclusive, replacement);
                        });
                    expectSameAsReference(
                        dst, [&](QvPlane<P> d) { normalizeRange(d, src, bound[0], bound[1]); },
                        [&](QvPlane<P> d) { Reference::normalizeRange<P>(d, src, bound[0], bound[1]); });
                } else {
                    QvColor low{bound[0], 0.1, bound[0]}, high{bound[1], 0.9, 1.0};
                    expectSameAsReference(
                        dst, [&](QvPlane<P> d) { replaceRange(d, src, low, high, inclusive, replacement); },
                        [&](QvPlane<P> d) { Reference::replaceRange<P>(d, src, low, high, inclusive, replacement); });
                    expectSameAsReference(
                        dst, [&](QvPlane<P> d) { normalizeRange(d, src, low, high); },
                        [&](QvPlane<P> d) { Reference::normalizeRange<P>(d, src, low, high); });
                }
            }
        }
    }
}
}  // namespace

TEST(KernelPointTargets, NumberFunctions) {
    std::mt19937 random(41);
    onEveryTarget([&] {
        expectFunctionsMatch<fgPix>(random);
        expectFunctionsMatch<fcPix>(random);
    });
}

TEST(KernelPointTargets, BinaryMinimumAndMaximum) {
    std::mt19937 random(42);
    onEveryTarget([&] {
        expectPicksMatch<bgPix>(random);
        expectPicksMatch<bcPix>(random);
        expectPicksMatch<fgPix>(random);
        expectPicksMatch<fcPix>(random);
    });
}

TEST(KernelPointTargets, ReplaceAndNormalize) {
    std::mt19937 random(43);
    onEveryTarget([&] {
        expectRangesMatch<bgPix>(random);
        expectRangesMatch<bcPix>(random);
        expectRangesMatch<fgPix>(random);
        expectRangesMatch<fcPix>(random);
    });
}
