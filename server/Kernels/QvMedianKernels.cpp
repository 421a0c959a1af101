// The rank-order filter: a selection network in vectors over the pixels whose samples
// lie inside the picture, and over the border pixels packed side by side with their
// wrapped samples. Colour pictures sort their keys together with the tap number, so
// that equal keys keep their tap order as the stable sort does, then fetch whole
// pixels. Pictures narrower than a vector, masks of more than 64 taps and vectors with
// NaN keys use the reference.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "Kernels/QvConvertKernels.h"
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

// The 19 compare-exchanges that leave the median of nine values at place 4 (the
// common 3 x 3 median), with what each must keep worked out at compile time.
constexpr int kMedianOf9Comparators = 19;
constexpr std::array<QvComparator, kMedianOf9Comparators> medianOf9() {
    constexpr uint8_t pairs[kMedianOf9Comparators][2] = {{1, 2}, {4, 5}, {7, 8}, {0, 1}, {3, 4}, {6, 7}, {1, 2},
                                                         {4, 5}, {7, 8}, {0, 3}, {5, 8}, {4, 7}, {3, 6}, {1, 4},
                                                         {2, 5}, {4, 7}, {4, 2}, {6, 4}, {4, 2}};
    std::array<QvComparator, kMedianOf9Comparators> network{};
    bool needed[9] = {false, false, false, false, true, false, false, false, false};
    for (int k = kMedianOf9Comparators - 1; k >= 0; --k) {
        uint8_t low = pairs[k][0], high = pairs[k][1];
        uint8_t keep = static_cast<uint8_t>((needed[low] ? 1 : 0) | (needed[high] ? 2 : 0));
        network[k] = {low, high, keep};
        if (keep) needed[low] = needed[high] = true;
    }
    return network;
}
constexpr std::array<QvComparator, kMedianOf9Comparators> kMedianOf9 = medianOf9();
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
size_t MedianColorRow(const uint32_t* const*, const uint8_t* const*, size_t, const QvComparator*, size_t, size_t,
                      uint32_t*, size_t) {
    return 0;
}
size_t MedianFloatRow(int, const float* const*, size_t, const QvComparator*, size_t, size_t, float*, size_t) {
    return 0;
}
#else

// Runs the network over values[] and returns values[position]. The fixed median of
// nine runs unrolled, so that the compiler keeps its places in registers.
template <class V>
HWY_INLINE V SelectByNetwork(V* values, const QvComparator* network, size_t size, size_t position) {
    auto exchange = [](V* places, const QvComparator& c) {
        V a = places[c.low], b = places[c.high];
        if (c.keep & 1) places[c.low] = hn::Min(a, b);
        if (c.keep & 2) places[c.high] = hn::Max(a, b);
    };
    if (network == kMedianOf9.data()) {
        V places[9];
        for (size_t t = 0; t < 9; ++t) places[t] = values[t];
#pragma GCC unroll 19
        for (int k = 0; k < kMedianOf9Comparators; ++k) exchange(places, kMedianOf9[k]);
        return places[4];
    }
    for (size_t k = 0; k < size; ++k) exchange(values, network[k]);
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

// Frame rows: keys are the grey level (greys[t], worked out once per source row) in the
// high byte and the tap number in the low byte; the chosen tap's whole pixel is gathered.
size_t MedianColorRow(const uint32_t* const* taps, const uint8_t* const* greys, size_t tapCount,
                      const QvComparator* network, size_t size, size_t position, uint32_t* dst, size_t count) {
    const DU16 d;
    const hn::Rebind<uint8_t, DU16> d8;
    const size_t n = hn::Lanes(d);
    if (count < n) return 0;
    const DI di;
    const hn::Half<DU16> dh;
    const size_t n32 = hn::Lanes(di);
    // Where each tap's pixels lie, in words from the first tap's.
    HWY_ALIGN int32_t offsets[kMaxNetworkTaps];
    for (size_t t = 0; t < tapCount; ++t) {
        ptrdiff_t offset = taps[t] - taps[0];
        if (offset < INT32_MIN + 1 || offset > INT32_MAX - static_cast<ptrdiff_t>(count)) return 0;
        offsets[t] = static_cast<int32_t>(offset);
    }
    const int32_t* first = reinterpret_cast<const int32_t*>(taps[0]);
    hn::Vec<DU16> values[kMaxNetworkTaps];
    auto one = [&](size_t i) {
        for (size_t t = 0; t < tapCount; ++t)
            values[t] = hn::Or(hn::ShiftLeft<8>(hn::PromoteTo(d, hn::LoadU(d8, greys[t] + i))),
                               hn::Set(d, static_cast<uint16_t>(t)));
        const auto chosen = hn::And(SelectByNetwork(values, network, size, position), hn::Set(d, uint16_t{255}));
        const hn::Vec<DI> halves[2] = {hn::BitCast(di, hn::PromoteTo(DU32(), hn::LowerHalf(dh, chosen))),
                                       hn::BitCast(di, hn::PromoteTo(DU32(), hn::UpperHalf(dh, chosen)))};
        for (size_t h = 0; h < 2; ++h) {
            const size_t x = i + h * n32;
            auto index = hn::Add(hn::GatherIndex(di, offsets, halves[h]), hn::Iota(di, static_cast<int32_t>(x)));
            hn::StoreU(hn::BitCast(DU32(), hn::GatherIndex(di, first, index)), DU32(), dst + x);
        }
    };
    size_t i = 0;
    for (; i + n <= count; i += n) one(i);
    if (i < count) one(count - n);
    return count;
}

// Runs the network over (key, tap) pairs, ordered by key and then by tap, so that the
// pair ending at `position` is the sample a stable sort puts there; returns its tap.
HWY_INLINE hn::Vec<DI> SelectPairsByNetwork(VF* keys, hn::Vec<DI>* taps, const QvComparator* network, size_t size,
                                            size_t position) {
    const DF df;
    for (size_t k = 0; k < size; ++k) {
        const QvComparator c = network[k];
        const VF lowKey = keys[c.low], highKey = keys[c.high];
        const hn::Vec<DI> lowTap = taps[c.low], highTap = taps[c.high];
        const auto swap = hn::Or(hn::Lt(highKey, lowKey),
                                 hn::And(hn::Eq(highKey, lowKey), hn::RebindMask(df, hn::Lt(highTap, lowTap))));
        const auto swapTaps = hn::RebindMask(DI(), swap);
        if (c.keep & 1) {
            keys[c.low] = hn::IfThenElse(swap, highKey, lowKey);
            taps[c.low] = hn::IfThenElse(swapTaps, highTap, lowTap);
        }
        if (c.keep & 2) {
            keys[c.high] = hn::IfThenElse(swap, lowKey, highKey);
            taps[c.high] = hn::IfThenElse(swapTaps, lowTap, highTap);
        }
    }
    return taps[position];
}

// The reference's stable insertion sort for one pixel, where NaN keys make the vector
// order differ from it.
template <class P>
HWY_INLINE P MedianOfOnePixel(const P* const* taps, size_t tapCount, size_t position, size_t x) {
    Reference::QvRankSample<P> samples[kMaxNetworkTaps];
    for (size_t t = 0; t < tapCount; ++t) samples[t] = {Reference::rankKey(taps[t][x]), taps[t][x]};
    return Reference::selectByRank(samples, static_cast<int>(tapCount), static_cast<int>(position));
}

// Rows of image_mono (kGreyFloats) or image pixels. Image_mono sorts values with a
// min/max network, image sorts (luminance, tap) pairs and fetches whole pixels; a
// vector holding a NaN key, or for image_mono a negative zero (which a min/max network
// would not keep in tap order), takes the reference's sort pixel by pixel.
size_t MedianFloatRow(int code, const float* const* taps, size_t tapCount, const QvComparator* network, size_t size,
                      size_t position, float* dst, size_t count) {
    const DF df;
    const DI di;
    const size_t n = hn::Lanes(df);
    if (count < n) return 0;
    VF keys[kMaxNetworkTaps];
    hn::Vec<DI> tapNumbers[kMaxNetworkTaps];
    HWY_ALIGN int32_t chosen[hn::MaxLanes(DI())];
    const auto negativeZero = hn::Set(DU32(), 0x80000000u);
    auto one = [&](size_t x) {
        auto awkward = hn::FirstN(df, 0);
        for (size_t t = 0; t < tapCount; ++t) {
            if (code == kGreyFloats) {
                keys[t] = hn::LoadU(df, taps[t] + x);
                awkward = hn::Or(awkward, hn::RebindMask(df, hn::Eq(hn::BitCast(DU32(), keys[t]), negativeZero)));
            } else {
                VF alpha, red, green, blue;
                hn::LoadInterleaved4(df, taps[t] + 4 * x, alpha, red, green, blue);
                keys[t] = LuminanceOf(red, green, blue);
                tapNumbers[t] = hn::Set(di, static_cast<int32_t>(t));
            }
            awkward = hn::Or(awkward, hn::IsNaN(keys[t]));
        }
        if (!hn::AllFalse(df, awkward)) {
            for (size_t j = 0; j < n; ++j) {
                if (code == kGreyFloats)
                    dst[x + j] = MedianOfOnePixel(reinterpret_cast<const fgPix* const*>(taps), tapCount, position, x + j).grey;
                else
                    reinterpret_cast<fcPix*>(dst)[x + j] =
                        MedianOfOnePixel(reinterpret_cast<const fcPix* const*>(taps), tapCount, position, x + j);
            }
        } else if (code == kGreyFloats) {
            hn::StoreU(SelectByNetwork(keys, network, size, position), df, dst + x);
        } else {
            hn::Store(SelectPairsByNetwork(keys, tapNumbers, network, size, position), di, chosen);
            for (size_t j = 0; j < n; ++j)
                reinterpret_cast<fcPix*>(dst)[x + j] = reinterpret_cast<const fcPix*>(taps[chosen[j]])[x + j];
        }
    };
    size_t x = 0;
    for (; x + n <= count; x += n) one(x);
    if (x < count) one(count - n);
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
HWY_EXPORT(MedianFloatRow);

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

// Runs the vector rows over `width` pixels whose samples start at sources[t] (and, for
// frames, whose grey levels start at greys[t]); false when that is narrower than a vector.
// A selection network and its length.
struct QvNetwork {
    const QvComparator* comparators;
    size_t size;
};

template <class P>
bool medianRowVectors(P* d, int width, const std::vector<const P*>& sources, const std::vector<const uint8_t*>& greys,
                      QvNetwork network, int position) {
    size_t done;
    if constexpr (std::is_same_v<P, bgPix>)
        done = HWY_DYNAMIC_DISPATCH(MedianGreyRow)(reinterpret_cast<const uint8_t* const*>(sources.data()),
                                                   sources.size(), network.comparators, network.size, position,
                                                   componentsOf(d), width);
    else if constexpr (std::is_same_v<P, bcPix>)
        done = HWY_DYNAMIC_DISPATCH(MedianColorRow)(reinterpret_cast<const uint32_t* const*>(sources.data()),
                                                    greys.data(), sources.size(), network.comparators, network.size,
                                                    position, reinterpret_cast<uint32_t*>(d), width);
    else
        done = HWY_DYNAMIC_DISPATCH(MedianFloatRow)(QvRowLayout<P>::code,
                                                    reinterpret_cast<const float* const*>(sources.data()),
                                                    sources.size(), network.comparators, network.size, position,
                                                    componentsOf(d), width);
    return done > 0;
}

// The border pixels of a row (whose samples wrap) packed side by side, with their
// samples tap by tap, so that they too run as one vector.
template <class P>
class QvBorderPack {
public:
    static constexpr int kWidth = 64;  // at least a vector of any class on any target

    QvBorderPack(QvPlane<const P> src, const std::vector<QvMaskTap>& taps, int left, int right)
        : src_(src), taps_(taps), samples_(taps.size() * kWidth), greys_(taps.size() * kWidth) {
        for (int x = 0; x < std::min(left, src.width); ++x) columns_.push_back(x);
        for (int x = std::max(left, src.width - right); x < src.width; ++x) columns_.push_back(x);
        for (size_t t = 0; t < taps.size(); ++t) {
            sampleRows_.push_back(&samples_[t * kWidth]);
            greyRows_.push_back(&greys_[t * kWidth]);
        }
    }
    bool fits() const { return static_cast<int>(columns_.size()) <= kWidth; }

    // The border pixels of row y through the vector rows; false when those cannot run.
    bool run(P* d, int y, QvNetwork network, int position) {
        for (size_t t = 0; t < taps_.size(); ++t) {
            const P* row = src_.row(wrapCoordinate(y + taps_[t].dy, src_.height));
            for (size_t k = 0; k < columns_.size(); ++k) {
                P sample = row[wrapCoordinate(columns_[k] + taps_[t].dx, src_.width)];
                samples_[t * kWidth + k] = sample;
                if constexpr (std::is_same_v<P, bcPix>) greys_[t * kWidth + k] = greyLevel(sample);
            }
        }
        P results[kWidth];
        if (!medianRowVectors(results, kWidth, sampleRows_, greyRows_, network, position)) return false;
        for (size_t k = 0; k < columns_.size(); ++k) d[columns_[k]] = results[k];
        return true;
    }

private:
    QvPlane<const P> src_;
    const std::vector<QvMaskTap>& taps_;
    std::vector<int> columns_;
    std::vector<P> samples_;
    std::vector<uint8_t> greys_;
    std::vector<const P*> sampleRows_;
    std::vector<const uint8_t*> greyRows_;
};

// The grey levels of the source rows a band of frame rows reads, each worked out once.
class QvGreyRows {
public:
    explicit QvGreyRows(QvPlane<const bcPix> src) : src_(src), greyOfRow_(src.height) {}
    const uint8_t* row(int y) {
        std::unique_ptr<bgPix[]>& grey = greyOfRow_[y];
        if (!grey) {
            grey.reset(new bgPix[src_.width]);
            convertPixels(QvPlane<bgPix>{grey.get(), src_.width, src_.width, 1}, src_.window(0, y, src_.width, 1));
        }
        return &grey[0].grey;
    }

private:
    QvPlane<const bcPix> src_;
    std::vector<std::unique_ptr<bgPix[]>> greyOfRow_;
};

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
    const bool vectors = taps.size() <= kMaxNetworkTaps && innerWidth > 0 && rows.begin < rows.end;
    const bool medianOf9 = taps.size() == 9 && position == 4;
    const std::vector<QvComparator> batcher =
        vectors && !medianOf9 ? selectionNetwork(static_cast<int>(taps.size()), position) : std::vector<QvComparator>();
    const QvNetwork network = medianOf9 ? QvNetwork{kMedianOf9.data(), kMedianOf9.size()}
                                        : QvNetwork{batcher.data(), batcher.size()};
    std::optional<QvGreyRows> greyRows;
    std::optional<QvBorderPack<P>> border;
    if (vectors) {
        if constexpr (std::is_same_v<P, bcPix>) greyRows.emplace(src);
        border.emplace(src, taps, left, right);
    }
    std::vector<const P*> sources(taps.size());
    std::vector<const uint8_t*> greys(taps.size());
    for (int y = rows.begin; y < rows.end; ++y) {
        P* d = dst.row(y);
        bool inner = false, edges = false;
        if (vectors) {
            for (size_t t = 0; t < taps.size(); ++t) {
                int sourceRow = wrapCoordinate(y + taps[t].dy, src.height);
                sources[t] = src.row(sourceRow) + left + taps[t].dx;
                if (greyRows) greys[t] = greyRows->row(sourceRow) + left + taps[t].dx;
            }
            inner = medianRowVectors(d + left, innerWidth, sources, greys, network, position);
            edges = inner && border->fits() && border->run(d, y, network, position);
        }
        auto reference = [&](int from, int to) {
            for (int x = from; x < to; ++x) d[x] = Reference::medianPixel(src, taps, position, x, y, true, samples.data());
        };
        if (!inner) {
            reference(0, dst.width);
        } else if (!edges) {
            reference(0, left);
            reference(left + innerWidth, dst.width);
        }
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
