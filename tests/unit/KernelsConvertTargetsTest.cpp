// The conversion kernels give the reference's bits on every dispatch target.
#include "KernelTargets.h"
#include "Kernels/QvConvertKernels.h"
#include "Kernels/Reference/QvConvertReference.h"

using namespace QvKernels;

namespace {
template <class D, class S>
void expectConversionMatches(std::mt19937& random) {
    for (int width : kOddWidths) {
        KernelPicture<S> src(width + 1, 3, 1);
        src.randomize(random, true);
        KernelPicture<D> dst(width, 2, 2);
        dst.scramble(random);
        QvPlane<const S> window = src.plane().window(1, 1, width, 2);
        expectSameAsReference(
            dst, [&](QvPlane<D> d) { convertPixels(d, window); },
            [&](QvPlane<D> d) { Reference::convertPixels<D, S>(d, window); });
    }
}

template <class D>
void expectFromEveryClass(std::mt19937& random) {
    expectConversionMatches<D, bgPix>(random);
    expectConversionMatches<D, bcPix>(random);
    expectConversionMatches<D, fgPix>(random);
    expectConversionMatches<D, fcPix>(random);
}

template <class C, class G, class M>
void expectAlphaMatches(std::mt19937& random) {
    for (int width : kOddWidths) {
        KernelPicture<C> src(width, 2, 1);
        KernelPicture<M> mask(width, 3, 3);
        src.randomize(random, true);
        mask.randomize(random, true);
        KernelPicture<C> dst(width, 2);
        dst.scramble(random);
        expectSameAsReference(
            dst, [&](QvPlane<C> d) { replaceAlpha(d, src, mask); },
            [&](QvPlane<C> d) { Reference::replaceAlpha<C, M>(d, src, mask); });
        KernelPicture<G> alpha(width, 2);
        alpha.scramble(random);
        expectSameAsReference(
            alpha, [&](QvPlane<G> d) { extractAlpha(d, src); },
            [&](QvPlane<G> d) { Reference::extractAlpha<G, C>(d, src); });
    }
}
}  // namespace

TEST(KernelConvertTargets, EveryPairOfClasses) {
    std::mt19937 random(11);
    onEveryTarget([&] {
        expectFromEveryClass<bgPix>(random);
        expectFromEveryClass<bcPix>(random);
        expectFromEveryClass<fgPix>(random);
        expectFromEveryClass<fcPix>(random);
    });
}

TEST(KernelConvertTargets, AlphaChannels) {
    std::mt19937 random(13);
    onEveryTarget([&] {
        expectAlphaMatches<bcPix, bgPix, bgPix>(random);
        expectAlphaMatches<bcPix, bgPix, bcPix>(random);
        expectAlphaMatches<bcPix, bgPix, fgPix>(random);
        expectAlphaMatches<bcPix, bgPix, fcPix>(random);
        expectAlphaMatches<fcPix, fgPix, bgPix>(random);
        expectAlphaMatches<fcPix, fgPix, bcPix>(random);
        expectAlphaMatches<fcPix, fgPix, fgPix>(random);
        expectAlphaMatches<fcPix, fgPix, fcPix>(random);
    });
}

TEST(KernelConvertTargets, EveryByteAndEveryFloatNearTheByteSteps) {
    // All 2^24 colours would be slow; every byte in every channel position is enough
    // for the per-component rules, and floats around each step of 1/255 for the
    // float-to-byte rule.
    KernelPicture<bcPix> frame(256, 3);
    for (int x = 0; x < 256; ++x) {
        uint8_t v = static_cast<uint8_t>(x), w = static_cast<uint8_t>(255 - x);
        frame.at(x, 0) = {v, 0, 0, w};
        frame.at(x, 1) = {0, v, w, 0};
        frame.at(x, 2) = {w, v, v, v};
    }
    KernelPicture<fgPix> steps(1024, 1);
    for (int x = 0; x < 1024; ++x)
        steps.at(x, 0).grey = std::nextafter(static_cast<float>(x / 4) / 255.0f, x % 2 ? 2.0f : -2.0f);
    std::mt19937 random(12);
    onEveryTarget([&] {
        KernelPicture<fcPix> image(256, 3);
        expectSameAsReference(
            image, [&](QvPlane<fcPix> d) { convertPixels(d, frame); },
            [&](QvPlane<fcPix> d) { Reference::convertPixels<fcPix, bcPix>(d, frame); });
        KernelPicture<bgPix> grey(256, 3);
        expectSameAsReference(
            grey, [&](QvPlane<bgPix> d) { convertPixels(d, frame); },
            [&](QvPlane<bgPix> d) { Reference::convertPixels<bgPix, bcPix>(d, frame); });
        KernelPicture<fgPix> mono(256, 3);
        expectSameAsReference(
            mono, [&](QvPlane<fgPix> d) { convertPixels(d, frame); },
            [&](QvPlane<fgPix> d) { Reference::convertPixels<fgPix, bcPix>(d, frame); });
        KernelPicture<bcPix> bytes(1024, 1);
        expectSameAsReference(
            bytes, [&](QvPlane<bcPix> d) { convertPixels(d, steps); },
            [&](QvPlane<bcPix> d) { Reference::convertPixels<bcPix, fgPix>(d, steps); });
    });
}

TEST(KernelConvertTargets, NearestResize) {
    std::mt19937 random(14);
    KernelPicture<fcPix> src(37, 11, 1);
    src.randomize(random, true);
    for (auto [w, h] : {std::pair{1, 1}, {37, 11}, {100, 3}, {5, 40}, {74, 22}}) {
        KernelPicture<fcPix> dst(w, h, 2);
        dst.scramble(random);
        expectSameAsReference(
            dst, [&](QvPlane<fcPix> d) { resizeNearest(d, src); },
            [&](QvPlane<fcPix> d) { Reference::resizeNearest<fcPix>(d, src); });
    }
}
