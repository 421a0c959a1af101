// Statistics: vector passes over whole planes that keep the reference's exact order
// (byte sums are exact; float sums keep one partial sum per x mod 16 and component,
// each running over the rows in order); pixels after a row's last whole block are
// added in the same order by the reference's rules.
#include "Kernels/QvStatisticsKernels.h"

#include <algorithm>
#include <limits>

#include "Kernels/QvKernelRows.h"
#include "Kernels/Reference/QvStatisticsReference.h"

#ifndef QV_STATISTICS_PLANE
#define QV_STATISTICS_PLANE
namespace QvKernels {
// A plane as the vector passes see it.
struct QvStatisticsPlane {
    const void* first;
    ptrdiff_t stride;
    int width, height;
    const void* row(int y) const { return static_cast<const char*>(first) + stride * y; }
};
constexpr int kBlock = Reference::QvFloatSums::kLanes;
}  // namespace QvKernels
#endif

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "Kernels/QvStatisticsKernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "Kernels/QvKernelVectors-inl.h"

HWY_BEFORE_NAMESPACE();
namespace QvKernels {
namespace HWY_NAMESPACE {
#if HWY_TARGET == HWY_SCALAR
bool ByteSums(int, QvStatisticsPlane, bool, Reference::QvByteSums*) { return false; }
bool FloatSums(int, QvStatisticsPlane, const double*, double*) { return false; }
bool ExtremePixel(int, bool, QvStatisticsPlane, QvPixelPosition*) { return false; }
bool ByteDifference(int, QvStatisticsPlane, QvStatisticsPlane, int, uint64_t*) { return false; }
bool FloatDifference(int, QvStatisticsPlane, QvStatisticsPlane, double, double*) { return false; }
#else

using VU32 = hn::Vec<DU32>;
using DD = hn::ScalableTag<double>;
using VD = hn::Vec<DD>;
// As many floats as a double vector has lanes.
using DHalfF = hn::Rebind<float, DD>;

HWY_INLINE VU32 Channel(VU32 words, int shift) {
    return hn::And(hn::ShiftRightSame(words, shift), hn::Set(DU32(), 255u));
}
HWY_INLINE uint64_t Total(VU32 v) { return hn::GetLane(hn::SumOfLanes(DU32(), v)); }

// Exact sums, and sums of squares when asked for; a row's totals fit 32-bit lanes (at
// most 32767 pixels of at most 255^2).
bool ByteSums(int code, QvStatisticsPlane plane, bool squares, Reference::QvByteSums* sums) {
    const DU32 d;
    const size_t n = hn::Lanes(d);
    for (int y = 0; y < plane.height; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(plane.row(y));
        VU32 sum[3] = {hn::Zero(d), hn::Zero(d), hn::Zero(d)}, square[3] = {sum[0], sum[0], sum[0]};
        size_t x = 0;
        for (; x + n <= static_cast<size_t>(plane.width); x += n) {
            if (code == kGreyBytes) {
                VU32 grey = hn::PromoteTo(d, hn::LoadU(DQuarterU8(), row + x));
                sum[0] = hn::Add(sum[0], grey);
                if (squares) square[0] = hn::Add(square[0], hn::Mul(grey, grey));
            } else {
                VU32 words = hn::LoadU(d, reinterpret_cast<const uint32_t*>(row) + x);
                for (int k = 0; k < 3; ++k) {
                    VU32 c = Channel(words, 8 * k);
                    sum[k] = hn::Add(sum[k], c);
                    if (squares) square[k] = hn::Add(square[k], hn::Mul(c, c));
                }
            }
        }
        for (int k = 0; k < (code == kGreyBytes ? 1 : 3); ++k) {
            sums->sum[k] += Total(sum[k]);
            sums->squares[k] += Total(square[k]);
        }
        for (; x < static_cast<size_t>(plane.width); ++x) {
            if (code == kGreyBytes) {
                sums->add(0, row[x]);
            } else {
                for (int k = 0; k < 3; ++k) sums->add(k, row[4 * x + k]);
            }
        }
    }
    return true;
}

// Adds f(component) of every component into partial[(x % 16) * components + k], over
// the rows in order: without means f is the value, with means (v - mean[k])^2.
bool FloatSums(int code, QvStatisticsPlane plane, const double* means, double* partial) {
    const DD dd;
    const size_t nd = hn::Lanes(dd);
    const size_t components = code == kGreyFloats ? 1 : 4;
    const size_t block = kBlock * components, vectors = block / nd;
    HWY_ALIGN double meanLanes[12] = {};
    if (means)
        for (size_t i = 0; i < 12; ++i) meanLanes[i] = means[i % components];
    VD acc[4 * kBlock];
    for (size_t j = 0; j < vectors; ++j) acc[j] = hn::LoadU(dd, partial + j * nd);
    auto term = [&](VD v, size_t j) {
        if (!means) return v;
        VD difference = hn::Sub(v, hn::LoadU(dd, meanLanes + (j * nd) % components));
        return hn::Mul(difference, difference);
    };
    for (int y = 0; y < plane.height; ++y) {
        const float* row = static_cast<const float*>(plane.row(y));
        const size_t count = static_cast<size_t>(plane.width) * components;
        size_t i = 0;
        for (; i + block <= count; i += block)
            for (size_t j = 0; j < vectors; ++j)
                acc[j] = hn::Add(acc[j], term(hn::PromoteTo(dd, hn::LoadU(DHalfF(), row + i + j * nd)), j));
        if (i == count) continue;
        for (size_t j = 0; j < vectors; ++j) hn::StoreU(acc[j], dd, partial + j * nd);
        for (size_t e = 0; i + e < count; ++e) {
            double v = row[i + e];
            if (means) {
                double difference = v - means[e % components];
                v = difference * difference;
            }
            partial[e] += v;
        }
        for (size_t j = 0; j < vectors; ++j) acc[j] = hn::LoadU(dd, partial + j * nd);
    }
    for (size_t j = 0; j < vectors; ++j) hn::StoreU(acc[j], dd, partial + j * nd);
    return true;
}

// The brightness of one vector of pixels at x, as floats (the byte keys are exact).
HWY_INLINE VF Brightness(int code, const void* row, size_t x) {
    const DF df;
    switch (code) {
    case kGreyBytes:
        return LoadBytesAsFloats(static_cast<const uint8_t*>(row) + x);
    case kColorBytes: {
        VU32 words = hn::LoadU(DU32(), static_cast<const uint32_t*>(row) + x);
        VU32 sum = hn::Add(hn::Add(hn::Mul(Channel(words, 16), hn::Set(DU32(), 30u)),
                                   hn::Mul(Channel(words, 8), hn::Set(DU32(), 59u))),
                           hn::Mul(Channel(words, 0), hn::Set(DU32(), 11u)));
        return hn::ConvertTo(df, hn::BitCast(DI(), sum));
    }
    case kGreyFloats:
        return hn::LoadU(df, static_cast<const float*>(row) + x);
    default: {
        VF alpha, red, green, blue;
        hn::LoadInterleaved4(df, static_cast<const float*>(row) + 4 * x, alpha, red, green, blue);
        return LuminanceOf(red, green, blue);
    }
    }
}

HWY_INLINE float ScalarBrightness(int code, const void* row, int x) {
    switch (code) {
    case kGreyBytes:
        return static_cast<const bgPix*>(row)[x].grey;
    case kColorBytes:
        return static_cast<float>(brightness(static_cast<const bcPix*>(row)[x]));
    case kGreyFloats:
        return static_cast<const fgPix*>(row)[x].grey;
    default:
        return Reference::orderingBrightness(static_cast<const fcPix*>(row)[x]);
    }
}

// The first pixel with the smallest (largest) brightness, NaN passed over: the extreme
// value first, then the first pixel holding it.
bool ExtremePixel(int code, bool largest, QvStatisticsPlane plane, QvPixelPosition* position) {
    const DF df;
    const size_t n = hn::Lanes(df);
    const float worst = largest ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    VF best = hn::Set(df, worst);
    float bestTail = worst;
    for (int y = 0; y < plane.height; ++y) {
        const void* row = plane.row(y);
        int x = 0;
        for (; x + static_cast<int>(n) <= plane.width; x += static_cast<int>(n)) {
            VF key = Brightness(code, row, x);
            key = hn::IfThenElse(hn::IsNaN(key), hn::Set(df, worst), key);
            best = largest ? hn::Max(best, key) : hn::Min(best, key);
        }
        for (; x < plane.width; ++x) {
            float key = ScalarBrightness(code, row, x);
            if (largest ? key > bestTail : key < bestTail) bestTail = key;
        }
    }
    float extreme = largest ? hn::GetLane(hn::MaxOfLanes(df, best)) : hn::GetLane(hn::MinOfLanes(df, best));
    extreme = largest ? std::max(extreme, bestTail) : std::min(extreme, bestTail);
    *position = QvPixelPosition{};
    for (int y = 0; y < plane.height; ++y) {
        const void* row = plane.row(y);
        int x = 0;
        for (; x + static_cast<int>(n) <= plane.width; x += static_cast<int>(n)) {
            intptr_t first = hn::FindFirstTrue(df, hn::Eq(Brightness(code, row, x), hn::Set(df, extreme)));
            if (first >= 0) {
                *position = {x + static_cast<int>(first), y};
                return true;
            }
        }
        for (; x < plane.width; ++x)
            if (ScalarBrightness(code, row, x) == extreme) {
                *position = {x, y};
                return true;
            }
    }
    return true;
}

// The sum of the exact differences (|dgrey|, or 30 |dR| + 59 |dG| + 11 |dB|) of at least
// `least`, in 32-bit lanes per row.
bool ByteDifference(int code, QvStatisticsPlane a, QvStatisticsPlane b, int least, uint64_t* sum) {
    const DU32 d;
    const size_t n = hn::Lanes(d);
    const VU32 floor = hn::Set(d, static_cast<uint32_t>(least));
    for (int y = 0; y < a.height; ++y) {
        const uint8_t* pa = static_cast<const uint8_t*>(a.row(y));
        const uint8_t* pb = static_cast<const uint8_t*>(b.row(y));
        VU32 total = hn::Zero(d);
        size_t x = 0;
        for (; x + n <= static_cast<size_t>(a.width); x += n) {
            VU32 difference;
            auto absolute = [](VU32 p, VU32 q) { return hn::Sub(hn::Max(p, q), hn::Min(p, q)); };
            if (code == kGreyBytes) {
                difference = absolute(hn::PromoteTo(d, hn::LoadU(DQuarterU8(), pa + x)),
                                      hn::PromoteTo(d, hn::LoadU(DQuarterU8(), pb + x)));
            } else {
                VU32 p = hn::LoadU(d, reinterpret_cast<const uint32_t*>(pa) + x);
                VU32 q = hn::LoadU(d, reinterpret_cast<const uint32_t*>(pb) + x);
                difference = hn::Add(hn::Add(hn::Mul(absolute(Channel(p, 16), Channel(q, 16)), hn::Set(d, 30u)),
                                             hn::Mul(absolute(Channel(p, 8), Channel(q, 8)), hn::Set(d, 59u))),
                                     hn::Mul(absolute(Channel(p, 0), Channel(q, 0)), hn::Set(d, 11u)));
            }
            // difference >= least, as least - 1 < difference in unsigned lanes
            auto counted = hn::Gt(hn::Add(difference, hn::Set(d, 1u)), floor);
            total = hn::Add(total, hn::IfThenElseZero(counted, difference));
        }
        *sum += Total(total);
        for (; x < static_cast<size_t>(a.width); ++x) {
            int difference = code == kGreyBytes ? Reference::pixelDifference(reinterpret_cast<const bgPix*>(pa)[x],
                                                                             reinterpret_cast<const bgPix*>(pb)[x])
                                                : Reference::pixelDifference(reinterpret_cast<const bcPix*>(pa)[x],
                                                                             reinterpret_cast<const bcPix*>(pb)[x]);
            if (difference >= least) *sum += static_cast<uint64_t>(difference);
        }
    }
    return true;
}

// The differences above the threshold added into partial[x % 16], over the rows in order.
bool FloatDifference(int code, QvStatisticsPlane a, QvStatisticsPlane b, double threshold, double* partial) {
    const DF df;
    const DD dd;
    const size_t nd = hn::Lanes(dd), vectors = kBlock / nd, n = hn::Lanes(df);
    VD acc[kBlock];
    for (size_t j = 0; j < vectors; ++j) acc[j] = hn::LoadU(dd, partial + j * nd);
    const VD limit = hn::Set(dd, threshold);
    HWY_ALIGN float differences[kBlock];
    for (int y = 0; y < a.height; ++y) {
        const float* pa = static_cast<const float*>(a.row(y));
        const float* pb = static_cast<const float*>(b.row(y));
        size_t x = 0;
        for (; x + kBlock <= static_cast<size_t>(a.width); x += kBlock) {
            for (size_t k = 0; k < kBlock; k += n) {
                VF difference;
                if (code == kGreyFloats) {
                    difference = hn::Abs(hn::Sub(hn::LoadU(df, pa + x + k), hn::LoadU(df, pb + x + k)));
                } else {
                    VF a0, r0, g0, b0, a1, r1, g1, b1;
                    hn::LoadInterleaved4(df, pa + 4 * (x + k), a0, r0, g0, b0);
                    hn::LoadInterleaved4(df, pb + 4 * (x + k), a1, r1, g1, b1);
                    difference = LuminanceOf(hn::Abs(hn::Sub(r0, r1)), hn::Abs(hn::Sub(g0, g1)),
                                             hn::Abs(hn::Sub(b0, b1)));
                }
                hn::Store(difference, df, differences + k);
            }
            for (size_t j = 0; j < vectors; ++j) {
                VD difference = hn::PromoteTo(dd, hn::Load(DHalfF(), differences + j * nd));
                acc[j] = hn::Add(acc[j], hn::IfThenElseZero(hn::Gt(difference, limit), difference));
            }
        }
        if (x == static_cast<size_t>(a.width)) continue;
        for (size_t j = 0; j < vectors; ++j) hn::StoreU(acc[j], dd, partial + j * nd);
        for (; x < static_cast<size_t>(a.width); ++x) {
            float difference = code == kGreyFloats
                                   ? Reference::pixelDifference(reinterpret_cast<const fgPix*>(pa)[x],
                                                                reinterpret_cast<const fgPix*>(pb)[x])
                                   : Reference::pixelDifference(reinterpret_cast<const fcPix*>(pa)[x],
                                                                reinterpret_cast<const fcPix*>(pb)[x]);
            if (difference > threshold) partial[x % kBlock] += difference;
        }
        for (size_t j = 0; j < vectors; ++j) acc[j] = hn::LoadU(dd, partial + j * nd);
    }
    for (size_t j = 0; j < vectors; ++j) hn::StoreU(acc[j], dd, partial + j * nd);
    return true;
}

#endif  // HWY_TARGET == HWY_SCALAR
}  // namespace HWY_NAMESPACE
}  // namespace QvKernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace QvKernels {

HWY_EXPORT(ByteSums);
HWY_EXPORT(FloatSums);
HWY_EXPORT(ExtremePixel);
HWY_EXPORT(ByteDifference);
HWY_EXPORT(FloatDifference);

namespace {

template <class P>
QvStatisticsPlane statisticsPlane(QvPlane<const P> plane) {
    return {plane.first, plane.stride, plane.empty() ? 0 : plane.width, plane.empty() ? 0 : plane.height};
}

// The vector passes in the place of the reference's pixel-by-pixel sums.
struct QvVectorSums {
    template <class P>
    static Reference::QvByteSums bytes(QvPlane<const P> plane, bool squares) {
        Reference::QvByteSums sums;
        if (!HWY_DYNAMIC_DISPATCH(ByteSums)(QvRowLayout<P>::code, statisticsPlane(plane), squares, &sums))
            return Reference::byteSums(plane);
        if constexpr (std::is_same_v<P, bgPix>) {
            sums.sum[1] = sums.sum[2] = sums.sum[0];
            sums.squares[1] = sums.squares[2] = sums.squares[0];
        }
        sums.count = static_cast<uint64_t>(Reference::pixelCount(plane.width, plane.height));
        return sums;
    }
    template <class P>
    static Reference::QvFloatSums floats(QvPlane<const P> plane, const double* means) {
        constexpr int components = QvRowLayout<P>::components;
        double dense[kBlock * 4] = {};
        if (!HWY_DYNAMIC_DISPATCH(FloatSums)(QvRowLayout<P>::code, statisticsPlane(plane), means, dense))
            return Reference::QvPixelSums::floats(plane, means);
        Reference::QvFloatSums sums;
        for (int lane = 0; lane < kBlock; ++lane)
            for (int k = 0; k < components; ++k) sums.partial[lane][k] = dense[lane * components + k];
        return sums;
    }
};

// The smallest exact difference whose share of the scale exceeds the threshold.
int leastCounted(double threshold, double scale) {
    int low = 0, high = static_cast<int>(scale) + 1;
    while (low < high) {
        int middle = (low + high) / 2;
        if (middle / scale > threshold)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

struct QvVectorDifferenceSums {
    template <class P>
    static uint64_t bytes(QvPlane<const P> a, QvPlane<const P> b, double threshold) {
        uint64_t sum = 0;
        if (!HWY_DYNAMIC_DISPATCH(ByteDifference)(QvRowLayout<P>::code, statisticsPlane(a), statisticsPlane(b),
                                                  leastCounted(threshold, Reference::differenceScale(P{})), &sum))
            return Reference::byteDifferenceSum(a, b, threshold);
        return sum;
    }
    template <class P>
    static double floats(QvPlane<const P> a, QvPlane<const P> b, double threshold) {
        double partial[kBlock] = {};
        if (!HWY_DYNAMIC_DISPATCH(FloatDifference)(QvRowLayout<P>::code, statisticsPlane(a), statisticsPlane(b),
                                                   threshold, partial))
            return Reference::floatDifferenceSum(a, b, threshold);
        double sum = 0;
        for (double s : partial) sum += s;
        return sum;
    }
};

template <class P>
QvPixelPosition extremeVectors(QvPlane<const P> plane, bool largest) {
    QvPixelPosition position;
    if (HWY_DYNAMIC_DISPATCH(ExtremePixel)(QvRowLayout<P>::code, largest, statisticsPlane(plane), &position))
        return position;
    return largest ? Reference::brightestPixel(plane) : Reference::darkestPixel(plane);
}

}  // namespace

#define QV_STATISTICS(P)                                                                                         \
    QvColor sumOfPixels(QvPlane<const P> plane) { return Reference::sumOfPixels<P, QvVectorSums>(plane); }       \
    QvColor averageOfPixels(QvPlane<const P> plane) { return Reference::averageOfPixels<P, QvVectorSums>(plane); } \
    QvColor deviationOfPixels(QvPlane<const P> plane) {                                                          \
        return Reference::deviationOfPixels<P, QvVectorSums>(plane);                                             \
    }                                                                                                            \
    QvPixelPosition darkestPixel(QvPlane<const P> plane) { return extremeVectors<P>(plane, false); }             \
    QvPixelPosition brightestPixel(QvPlane<const P> plane) { return extremeVectors<P>(plane, true); }            \
    QvExtremeLocation locateDarkest(QvPlane<const P> plane, bool subPixel) {                                     \
        return Reference::locateExtreme<P>(plane, darkestPixel(plane), subPixel);                                \
    }                                                                                                            \
    QvExtremeLocation locateBrightest(QvPlane<const P> plane, bool subPixel) {                                   \
        return Reference::locateExtreme<P>(plane, brightestPixel(plane), subPixel);                              \
    }                                                                                                            \
    double meanDifference(QvPlane<const P> a, QvPlane<const P> b, double threshold) {                            \
        return Reference::meanDifference<P, QvVectorDifferenceSums>(a, b, threshold);                            \
    }
QV_STATISTICS(bgPix)
QV_STATISTICS(bcPix)
QV_STATISTICS(fgPix)
QV_STATISTICS(fcPix)
#undef QV_STATISTICS

}  // namespace QvKernels
#endif  // HWY_ONCE
