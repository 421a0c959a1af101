// The rank-order filter. Frame_mono and frame pictures run a selection network in
// vectors over the pixels whose samples lie inside the picture (frames sort grey level
// and tap number together, so that equal grey levels keep their tap order, as the
// stable sort does); the border, the float classes and masks of more than 64 taps
// use the reference.
#include <algorithm>
#include <vector>

#include "Kernels/QvFilterKernels.h"
#include "Kernels/QvKernelRows.h"
#include "Kernels/Reference/QvFilterReference.h"

#ifndef QV_SELECTION_NETWORK
#define QV_SELECTION_NETWORK
namespace QvKernels {
// One compare-exchange of a sorting network: the smaller value goes to `low`, the
// larger to `high`; `keep` says which of the two are needed later (1 low, 2 high).
struct QvComparator {
    uint8_t low, high, keep;
};
constexpr size_t kMaxNetworkTaps = 64;
}  // namespace QvKernels
#endif

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "Kernels/QvMedianKernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "Kernels/QvKernelVectors-inl.h"

HWY_BEFORE_NAMESPACE();
namespace QvKernels {
namespace HWY_NAMESPACE {
#if HWY_TARGET == HWY_SCALAR
size_t MedianGreyRow(const uint8_t* const*, size_t, const QvComparator*, size_t, size_t, uint8_t*, size_t) {
    return 0;
}
size_t MedianColorRow(const uint32_t* const*, size_t, const QvComparator*, size_t, size_t, uint32_t*, size_t) {
    return 0;
}
#else

// Runs the network over values[] and returns values[position].
template <class V>
HWY_INLINE V SelectByNetwork(V* values, const QvComparator* network, size_t size, size_t position) {
    for (size_t k = 0; k < size; ++k) {
        const QvComparator c = network[k];
        V a = values[c.low], b = values[c.high];
        if (c.keep & 1) values[c.low] = hn::Min(a, b);
        if (c.keep & 2) values[c.high] = hn::Max(a, b);
    }
    return values[position];
}

// Rows of grey bytes: whole vectors, then a last vector overlapping the one before.
size_t MedianGreyRow(const uint8_t* const* taps, size_t tapCount, const QvComparator* network, size_t size,
                     size_t position, uint8_t* dst, size_t count) {
    const DU8 d;
    const size_t n = hn::Lanes(d);
    if (count < n) return 0;
    VU8 values[kMaxNetworkTaps];
    auto one = [&](size_t i) {
        for (size_t t = 0; t < tapCount; ++t) values[t] = hn::LoadU(d, taps[t] + i);
        hn::StoreU(SelectByNetwork(values, network, size, position), d, dst + i);
    };
    size_t i = 0;
    for (; i + n <= count; i += n) one(i);
    if (i < count) one(count - n);
    return count;
}

// Sort keys of frame pixels: grey level in the high byte, tap number in the low byte.
HWY_INLINE hn::Vec<DU16> GreyKeys(const uint32_t* pixels, uint32_t tap) {
    const DU32 d32;
    const hn::Half<DU16> dh;
    auto keys = [&](const uint32_t* p) {
        auto w = hn::LoadU(d32, p);
        auto channel = [&](int shift) { return hn::And(hn::ShiftRightSame(w, shift), hn::Set(d32, 255u)); };
        auto grey = hn::ShiftRight<8>(hn::Add(hn::Add(hn::Mul(channel(16), hn::Set(d32, 77u)),
                                                      hn::Mul(channel(8), hn::Set(d32, 151u))),
                                              hn::Mul(channel(0), hn::Set(d32, 28u))));
        return hn::DemoteTo(dh, hn::BitCast(DI(), hn::Or(hn::ShiftLeft<8>(grey), hn::Set(d32, tap))));
    };
    const size_t n32 = hn::Lanes(d32);
    return hn::Combine(DU16(), keys(pixels + n32), keys(pixels));
}

size_t MedianColorRow(const uint32_t* const* taps, size_t tapCount, const QvComparator* network, size_t size,
                      size_t position, uint32_t* dst, size_t count) {
    const DU16 d;
    const size_t n = hn::Lanes(d);
    if (count < n) return 0;
    hn::Vec<DU16> values[kMaxNetworkTaps];
    HWY_ALIGN uint16_t chosen[hn::MaxLanes(DU16())];
    auto one = [&](size_t i) {
        for (size_t t = 0; t < tapCount; ++t) values[t] = GreyKeys(taps[t] + i, static_cast<uint32_t>(t));
        hn::Store(SelectByNetwork(values, network, size, position), d, chosen);
        for (size_t j = 0; j < n; ++j) dst[i + j] = taps[chosen[j] & 255][i + j];
    };
    size_t i = 0;
    for (; i + n <= count; i += n) one(i);
    if (i < count) one(count - n);
    return count;
}

#endif  // HWY_TARGET == HWY_SCALAR
}  // namespace HWY_NAMESPACE
}  // namespace QvKernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace QvKernels {

HWY_EXPORT(MedianGreyRow);
HWY_EXPORT(MedianColorRow);

namespace {

// Batcher's odd-even merge sort for n values (any n), keeping only the comparators
// that the value ending at `position` depends on.
std::vector<QvComparator> selectionNetwork(int n, int position) {
    std::vector<QvComparator> sorting;
    for (int p = 1; p < n; p <<= 1)
        for (int k = p; k >= 1; k >>= 1)
            for (int j = k % p; j <= n - 1 - k; j += 2 * k)
                for (int i = 0; i <= std::min(k - 1, n - j - k - 1); ++i)
                    if ((i + j) / (2 * p) == (i + j + k) / (2 * p))
                        sorting.push_back({static_cast<uint8_t>(i + j), static_cast<uint8_t>(i + j + k), 3});
    std::vector<bool> needed(n, false);
    needed[position] = true;
    std::vector<QvComparator> selection;
    for (auto c = sorting.rbegin(); c != sorting.rend(); ++c) {
        uint8_t keep = static_cast<uint8_t>((needed[c->low] ? 1 : 0) | (needed[c->high] ? 2 : 0));
        if (!keep) continue;
        selection.push_back({c->low, c->high, keep});
        needed[c->low] = needed[c->high] = true;
    }
    std::reverse(selection.begin(), selection.end());
    return selection;
}

template <class P>
void medianVectors(QvPlane<P> dst, QvPlane<const P> src, const std::vector<QvMaskTap>& taps, double rank,
                   QvRowRange rows) {
    const int position = rankPosition(static_cast<int>(taps.size()), rank);
    rows = Reference::clipRows(rows, dst.height);
    std::vector<Reference::QvRankSample<P>> samples(taps.size());
    int left = 0, right = 0;
    for (const QvMaskTap& tap : taps) {
        left = std::max(left, -tap.dx);
        right = std::max(right, tap.dx);
    }
    const int innerWidth = dst.width - left - right;
    const bool vectors = isByteClass<P>() && taps.size() <= kMaxNetworkTaps && innerWidth > 0;
    const std::vector<QvComparator> network =
        vectors ? selectionNetwork(static_cast<int>(taps.size()), position) : std::vector<QvComparator>();
    std::vector<const P*> sources(taps.size());
    for (int y = rows.begin; y < rows.end; ++y) {
        P* d = dst.row(y);
        int begin = 0, end = 0;
        if (vectors) {
            for (size_t t = 0; t < taps.size(); ++t)
                sources[t] = src.row(wrapCoordinate(y + taps[t].dy, src.height)) + left + taps[t].dx;
            size_t done;
            if constexpr (std::is_same_v<P, bgPix>)
                done = HWY_DYNAMIC_DISPATCH(MedianGreyRow)(reinterpret_cast<const uint8_t* const*>(sources.data()),
                                                           taps.size(), network.data(), network.size(),
                                                           position, componentsOf(d + left), innerWidth);
            else
                done = HWY_DYNAMIC_DISPATCH(MedianColorRow)(reinterpret_cast<const uint32_t* const*>(sources.data()),
                                                            taps.size(), network.data(), network.size(),
                                                            position, reinterpret_cast<uint32_t*>(d + left),
                                                            innerWidth);
            begin = left;
            end = left + static_cast<int>(done);
        }
        for (int x = 0; x < begin; ++x)
            d[x] = Reference::medianPixel(src, taps, position, x, y, true, samples.data());
        for (int x = end; x < dst.width; ++x)
            d[x] = Reference::medianPixel(src, taps, position, x, y, true, samples.data());
    }
}

}  // namespace

#define QV_MEDIAN(P)                                                                                         \
    void medianFilter(QvPlane<P> dst, QvPlane<const P> src, const std::vector<QvMaskTap>& taps, double rank, \
                      QvRowRange rows) {                                                                     \
        medianVectors<P>(dst, src, taps, rank, rows);                                                        \
    }
QV_MEDIAN(bgPix)
QV_MEDIAN(bcPix)
QV_MEDIAN(fgPix)
QV_MEDIAN(fcPix)
#undef QV_MEDIAN

}  // namespace QvKernels
#endif  // HWY_ONCE
