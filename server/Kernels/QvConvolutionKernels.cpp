// Convolution: vector rows over the pixels whose whole window lies inside the
// picture, the reference (with wrapped coordinates) for the border.
#include <vector>

#include "Kernels/QvFilterKernels.h"
#include "Kernels/QvKernelRows.h"
#include "Kernels/Reference/QvFilterReference.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "Kernels/QvConvolutionKernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "Kernels/QvKernelVectors-inl.h"

HWY_BEFORE_NAMESPACE();
namespace QvKernels {
namespace HWY_NAMESPACE {
#if HWY_TARGET == HWY_SCALAR
size_t ConvolveRow(bool, const void* const*, const float*, size_t, const void*, void*, size_t, int) { return 0; }
#else

// One row of `count` components: the sum over the taps, in order, of the components at
// taps[t] times the tap's four weights (one pixel's worth, repeated); components at
// alphaIndex (of four) take their value from `center` instead. dst must not overlap the
// sources. Returns the components done: all of them, or none when fewer than a vector.
template <bool kBytes>
size_t ConvolveComponents(const void* const* taps, const float* weights, size_t tapCount, const void* center,
                          void* dst, size_t count, int alphaIndex) {
    using T = std::conditional_t<kBytes, uint8_t, float>;
    const DF df;
    const size_t n = hn::Lanes(df);
    const auto keep = AlphaLanes(df, alphaIndex);
    auto load = [](const void* p, size_t i) {
        if constexpr (kBytes)
            return LoadBytesAsFloats(static_cast<const T*>(p) + i);
        else
            return hn::LoadU(DF(), static_cast<const T*>(p) + i);
    };
    auto finish = [&](VF sum, size_t i) {
        if constexpr (!kBytes) sum = CanonicalNaN(sum);
        sum = hn::IfThenElse(keep, load(center, i), sum);
        if constexpr (kBytes)
            StoreScaledAsBytes(sum, static_cast<uint8_t*>(dst) + i);
        else
            hn::StoreU(sum, df, static_cast<float*>(dst) + i);
    };
    size_t i = 0;
    // Four vectors at a time share each tap's weights; every sum still adds its taps in order.
    for (; i + 4 * n <= count; i += 4 * n) {
        VF sum0 = hn::Zero(df), sum1 = sum0, sum2 = sum0, sum3 = sum0;
        for (size_t t = 0; t < tapCount; ++t) {
            const VF weight = hn::LoadDup128(df, weights + 4 * t);
            sum0 = hn::Add(sum0, hn::Mul(load(taps[t], i), weight));
            sum1 = hn::Add(sum1, hn::Mul(load(taps[t], i + n), weight));
            sum2 = hn::Add(sum2, hn::Mul(load(taps[t], i + 2 * n), weight));
            sum3 = hn::Add(sum3, hn::Mul(load(taps[t], i + 3 * n), weight));
        }
        finish(sum0, i);
        finish(sum1, i + n);
        finish(sum2, i + 2 * n);
        finish(sum3, i + 3 * n);
    }
    auto one = [&](size_t i) {
        VF sum = hn::Zero(df);
        for (size_t t = 0; t < tapCount; ++t)
            sum = hn::Add(sum, hn::Mul(load(taps[t], i), hn::LoadDup128(df, weights + 4 * t)));
        finish(sum, i);
    };
    for (; i + n <= count; i += n) one(i);
    // The last vector ends at the end of the row, computing some pixels a second time.
    if (i < count && count >= n) {
        one(count - n);
        i = count;
    }
    return i;
}

size_t ConvolveRow(bool bytes, const void* const* taps, const float* weights, size_t tapCount, const void* center,
                   void* dst, size_t count, int alphaIndex) {
    return bytes ? ConvolveComponents<true>(taps, weights, tapCount, center, dst, count, alphaIndex)
                 : ConvolveComponents<false>(taps, weights, tapCount, center, dst, count, alphaIndex);
}

#endif  // HWY_TARGET == HWY_SCALAR
}  // namespace HWY_NAMESPACE
}  // namespace QvKernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace QvKernels {

HWY_EXPORT(ConvolveRow);

namespace {

template <class P, class K>
void convolveVectors(QvPlane<P> dst, QvPlane<const P> src, QvPlane<const K> kernel, QvRowRange rows) {
    using Layout = QvRowLayout<P>;
    const std::vector<Reference::QvWeightedTap> taps = Reference::weightedTaps<P>(kernel);
    const bool keepAlpha = std::is_same_v<K, fgPix>;
    std::vector<float> weights;
    for (const Reference::QvWeightedTap& tap : taps) weights.insert(weights.end(), tap.weight, tap.weight + 4);
    std::vector<const void*> sources(taps.size());
    const int kx = (kernel.width - 1) / 2;
    const int innerWidth = dst.width - 2 * kx;
    rows = Reference::clipRows(rows, dst.height);
    for (int y = rows.begin; y < rows.end; ++y) {
        P* d = dst.row(y);
        int begin = 0, end = 0;
        // Columns whose window lies inside run in vectors, on every row: rows wrap alike.
        if (innerWidth > 0) {
            for (size_t t = 0; t < taps.size(); ++t)
                sources[t] = src.row(wrapCoordinate(y + taps[t].dy, src.height)) + kx + taps[t].dx;
            size_t done = HWY_DYNAMIC_DISPATCH(ConvolveRow)(
                isByteClass<P>(), sources.data(), weights.data(), taps.size(), src.row(y) + kx, d + kx,
                static_cast<size_t>(innerWidth) * Layout::components, keepAlpha ? Layout::alpha : -1);
            begin = kx;
            end = kx + static_cast<int>(done / Layout::components);
        }
        for (int x = 0; x < begin; ++x) d[x] = Reference::convolvePixel(src, taps, x, y, true, keepAlpha);
        for (int x = end; x < dst.width; ++x) d[x] = Reference::convolvePixel(src, taps, x, y, true, keepAlpha);
    }
}

}  // namespace

#define QV_CONVOLVE(P, K)                                                                                  \
    void convolve(QvPlane<P> dst, QvPlane<const P> src, QvPlane<const K> kernel, QvRowRange rows) {       \
        convolveVectors<P, K>(dst, src, kernel, rows);                                                     \
    }
QV_CONVOLVE(bgPix, fgPix)
QV_CONVOLVE(bcPix, fgPix)
QV_CONVOLVE(fgPix, fgPix)
QV_CONVOLVE(fcPix, fgPix)
QV_CONVOLVE(bcPix, fcPix)
QV_CONVOLVE(fcPix, fcPix)
#undef QV_CONVOLVE

}  // namespace QvKernels
#endif  // HWY_ONCE
