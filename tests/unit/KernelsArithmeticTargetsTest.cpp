// The arithmetic kernels give the reference's bits on every dispatch target.
#include "KernelTargets.h"
#include "Kernels/QvArithmeticKernels.h"
#include "Kernels/Reference/QvArithmeticReference.h"

using namespace QvKernels;

namespace {
const QvPixelOperator kOperators[] = {QvPixelOperator::add, QvPixelOperator::subtract, QvPixelOperator::multiply,
                                      QvPixelOperator::divide};

// A 256 x 256 picture whose pixel (x, y) has every component equal to x (or to y).
template <class P>
KernelPicture<P> byteRamp(bool alongY) {
    KernelPicture<P> picture(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            uint8_t v = static_cast<uint8_t>(alongY ? y : x);
            if constexpr (std::is_same_v<P, bgPix>)
                picture.at(x, y) = {v};
            else
                picture.at(x, y) = {v, v, v, v};
        }
    return picture;
}

template <class L, class R>
void expectPicturesMatch(const KernelPicture<L>& left, const KernelPicture<R>& right, QvPixelOperator op,
                         std::mt19937& random) {
    KernelPicture<L> dst(left.plane().width, left.plane().height, 1);
    dst.scramble(random);
    expectSameAsReference(
        dst, [&](QvPlane<L> d) { combinePictures(op, d, left, right); },
        [&](QvPlane<L> d) { Reference::combinePictures<L, R>(op, d, left, right); });
    // In place, as the add ... to family runs it.
    KernelPicture<L> inPlace(left), expected(left);
    combinePictures(op, inPlace.plane(), inPlace, right);
    Reference::combinePictures<L, R>(op, expected.plane(), expected, right);
    EXPECT_TRUE(inPlace.sameStorage(expected));
}

template <class L, class R>
void expectRandomPicturesMatch(std::mt19937& random) {
    for (int width : kOddWidths) {
        KernelPicture<L> left(width, 3, 2);
        KernelPicture<R> right(width + 2, 4, 3);
        left.randomize(random, true);
        right.randomize(random, true);
        for (QvPixelOperator op : kOperators) expectPicturesMatch(left, right, op, random);
    }
}
}  // namespace

TEST(KernelArithmeticTargets, AllBytePairsForTheFourRules) {
    KernelPicture<bgPix> p = byteRamp<bgPix>(false), q = byteRamp<bgPix>(true);
    KernelPicture<bcPix> pc = byteRamp<bcPix>(false), qc = byteRamp<bcPix>(true);
    std::mt19937 random(1);
    onEveryTarget([&] {
        for (QvPixelOperator op : kOperators) {
            expectPicturesMatch(p, q, op, random);
            expectPicturesMatch(pc, qc, op, random);
            expectPicturesMatch(pc, q, op, random);
        }
    });
}

TEST(KernelArithmeticTargets, EveryByteWithConstants) {
    KernelPicture<bgPix> ramp = byteRamp<bgPix>(false);
    KernelPicture<bcPix> rampc = byteRamp<bcPix>(true);
    QvPlane<const bgPix> p = ramp.plane().window(0, 0, 256, 2);
    std::vector<double> constants = {0.0, -0.0, 1.0, -1.0, 0.5, 2.0, 1e300, -1e300, 255.0, 300.0,
                                     std::nan(""), HUGE_VAL, -HUGE_VAL, 1e-300};
    for (int k = -260; k <= 260; k += 7) constants.push_back(k / 255.0);
    std::mt19937 random(2);
    onEveryTarget([&] {
        for (QvPixelOperator op : kOperators)
            for (double c : constants) {
                KernelPicture<bgPix> dst(256, 2);
                dst.scramble(random);
                expectSameAsReference(
                    dst, [&](QvPlane<bgPix> d) { combineWithConstant(op, d, p, c); },
                    [&](QvPlane<bgPix> d) { Reference::combineWithConstant(op, d, p, c); });
                KernelPicture<bcPix> dstc(256, 3);
                QvPlane<const bcPix> rows = rampc.plane().window(0, 250, 256, 3);
                QvColor color{c, 0.75 - c, -c};
                expectSameAsReference(
                    dstc, [&](QvPlane<bcPix> d) { combineWithConstant(op, d, rows, color); },
                    [&](QvPlane<bcPix> d) { Reference::combineWithConstant(op, d, rows, color); });
            }
    });
}

TEST(KernelArithmeticTargets, FloatConstantsAndMixedPictures) {
    std::mt19937 random(3);
    onEveryTarget([&] {
        for (int width : kOddWidths) {
            KernelPicture<fgPix> grey(width, 2, 1);
            KernelPicture<fcPix> color(width, 2, 3);
            grey.randomize(random, true);
            color.randomize(random, true);
            for (QvPixelOperator op : kOperators)
                for (double c : {0.5, -0.0, 0.0, 3.25, std::nan("")}) {
                    expectSameAsReference(
                        KernelPicture<fgPix>(grey), [&](QvPlane<fgPix> d) { combineWithConstant(op, d, d, c); },
                        [&](QvPlane<fgPix> d) { Reference::combineWithConstant(op, d, d, c); });
                    QvColor k{c, 1 - c, 0.25};
                    expectSameAsReference(
                        KernelPicture<fcPix>(color), [&](QvPlane<fcPix> d) { combineWithConstant(op, d, d, k); },
                        [&](QvPlane<fcPix> d) { Reference::combineWithConstant(op, d, d, k); });
                }
        }
        expectRandomPicturesMatch<bgPix, bgPix>(random);
        expectRandomPicturesMatch<bcPix, bgPix>(random);
        expectRandomPicturesMatch<bcPix, bcPix>(random);
        expectRandomPicturesMatch<fgPix, bgPix>(random);
        expectRandomPicturesMatch<fgPix, fgPix>(random);
        expectRandomPicturesMatch<fcPix, bgPix>(random);
        expectRandomPicturesMatch<fcPix, bcPix>(random);
        expectRandomPicturesMatch<fcPix, fgPix>(random);
        expectRandomPicturesMatch<fcPix, fcPix>(random);
    });
}

TEST(KernelArithmeticTargets, LongRowsConvertedInPieces) {
    std::mt19937 random(4);
    KernelPicture<fcPix> left(1500, 2, 1);
    KernelPicture<bcPix> right(1500, 2, 2);
    left.randomize(random, true);
    right.randomize(random);
    onEveryTarget([&] {
        for (QvPixelOperator op : kOperators) expectPicturesMatch(left, right, op, random);
    });
}
