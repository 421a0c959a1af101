// The neighbourhood kernels give the reference's bits on every dispatch target.
#include "KernelTargets.h"
#include "Kernels/QvFilterKernels.h"
#include "Kernels/Reference/QvFilterReference.h"

using namespace QvKernels;

namespace {
// Kernel shapes: single taps, odd and even sizes, rows, columns, and larger than
// the narrowest pictures.
const std::pair<int, int> kKernelShapes[] = {{1, 1}, {3, 3}, {5, 3}, {4, 4}, {7, 1}, {1, 5}, {9, 9}};
const int kHeights[] = {1, 2, 7};

template <class P, class K>
void expectConvolutionMatches(std::mt19937& random) {
    for (auto [kw, kh] : kKernelShapes) {
        KernelPicture<K> kernel(kw, kh);
        kernel.randomize(random);
        for (int width : kOddWidths)
            for (int height : kHeights) {
                KernelPicture<P> src(width, height, 1);
                src.randomize(random, true);
                KernelPicture<P> dst(width, height, 2);
                dst.scramble(random);
                QvRowRange rows{height > 2 ? 1 : 0, height > 2 ? height - 1 : height};
                expectSameAsReference(
                    dst, [&](QvPlane<P> d) { convolve(d, src, kernel, rows); },
                    [&](QvPlane<P> d) { Reference::convolve<P, K>(d, src, kernel, rows); });
            }
    }
}
// Masks: full squares, sparse and off-centre ones, and one over the vector limit.
std::vector<KernelPicture<bgPix>> medianMasks(std::mt19937& random) {
    std::vector<KernelPicture<bgPix>> masks;
    for (auto [w, h] : {std::pair{1, 1}, {3, 3}, {5, 5}, {4, 2}, {9, 9}, {7, 3}}) {
        masks.emplace_back(w, h);
        masks.back().fill({1});
    }
    KernelPicture<bgPix> sparse(5, 4);
    sparse.randomize(random);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) sparse.at(x, y).grey = sparse.at(x, y).grey % 3 == 0 ? 0 : 1;
    sparse.at(0, 0).grey = 1;
    masks.push_back(sparse);
    return masks;
}

// Frames drawn from a few colours, two of them of one grey level, so that the order of
// equal keys shows.
void fillWithTies(const KernelPicture<bcPix>& frame, std::mt19937& random) {
    const bcPix palette[] = {{0, 0, 255, 255}, {5, 128, 0, 7}, {0, 0, 0, 0}, {255, 255, 255, 1}, {40, 90, 200, 255}};
    for (int y = 0; y < frame.plane().height; ++y)
        for (int x = 0; x < frame.plane().width; ++x) frame.at(x, y) = palette[random() % 5];
}

template <class P>
void expectMedianMatches(std::mt19937& random, const std::vector<KernelPicture<bgPix>>& masks) {
    for (const KernelPicture<bgPix>& mask : masks) {
        std::vector<QvMaskTap> taps = maskTaps(mask);
        for (int width : {1, 15, 17, 33, 71})
            for (int height : {1, 6}) {
                KernelPicture<P> src(width, height, 1);
                // Specials now and then: NaN and negative zero take another path.
                src.randomize(random, random() % 3 == 0);
                if constexpr (std::is_same_v<P, bcPix>)
                    if (random() % 2) fillWithTies(src, random);
                for (double rank : {0.0, 0.5, 1.0}) {
                    KernelPicture<P> dst(width, height, 2);
                    dst.scramble(random);
                    QvRowRange rows{0, height > 2 ? height - 1 : height};
                    expectSameAsReference(
                        dst, [&](QvPlane<P> d) { medianFilter(d, src, taps, rank, rows); },
                        [&](QvPlane<P> d) { Reference::medianFilter<P>(d, src, taps, rank, rows); });
                }
            }
    }
}
}  // namespace

TEST(KernelFilterTargets, RankOrder) {
    std::mt19937 random(22);
    std::vector<KernelPicture<bgPix>> masks = medianMasks(random);
    onEveryTarget([&] {
        expectMedianMatches<bgPix>(random, masks);
        expectMedianMatches<bcPix>(random, masks);
        expectMedianMatches<fgPix>(random, masks);
        expectMedianMatches<fcPix>(random, masks);
    });
}

TEST(KernelFilterTargets, Convolution) {
    std::mt19937 random(21);
    onEveryTarget([&] {
        expectConvolutionMatches<bgPix, fgPix>(random);
        expectConvolutionMatches<bcPix, fgPix>(random);
        expectConvolutionMatches<fgPix, fgPix>(random);
        expectConvolutionMatches<fcPix, fgPix>(random);
        expectConvolutionMatches<bcPix, fcPix>(random);
        expectConvolutionMatches<fcPix, fcPix>(random);
    });
}

namespace {
template <class P>
void expectAffineMatches(std::mt19937& random) {
    const double turn = 0.4;
    const QvAffineMatrix matrices[] = {
        {std::cos(turn), -std::sin(turn), std::sin(turn), std::cos(turn)},
        {1.1, 0.2, -0.3, 0.9},
        {-1, 0, 0, 1},
        {0.5, 0, 0, 0.5},
        {2.5, 0, 0, 3},
        {1, 0, 0, 1},
        {1e-30, 0, 0, 1e-30},
        {1e30, 1, 1, 1e30},
        {1, 1, 1, 1.0000001},
    };
    for (const QvAffineMatrix& matrix : matrices)
        for (int width : kOddWidths) {
            KernelPicture<P> src(width, 9, 1);
            src.randomize(random, true);
            P background;
            KernelPicture<P> one(1, 1);
            one.randomize(random, true);
            background = one.at(0, 0);
            for (int dstWidth : {width, width + 13}) {
                KernelPicture<P> dst(dstWidth, 8, 2);
                dst.scramble(random);
                expectSameAsReference(
                    dst, [&](QvPlane<P> d) { transformAffine(d, src, matrix, background); },
                    [&](QvPlane<P> d) { Reference::transformAffine<P>(d, src, matrix, background); });
            }
        }
}
}  // namespace

TEST(KernelFilterTargets, AffineTransform) {
    std::mt19937 random(23);
    onEveryTarget([&] {
        expectAffineMatches<bgPix>(random);
        expectAffineMatches<bcPix>(random);
        expectAffineMatches<fgPix>(random);
        expectAffineMatches<fcPix>(random);
    });
}
