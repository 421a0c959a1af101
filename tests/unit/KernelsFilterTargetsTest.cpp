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
}  // namespace

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
