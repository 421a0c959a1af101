// Pixel-by-pixel operations other than the four operators: vector rows for whole
// vectors, the reference for the pixels left at the end of a row (and for log and
// pow, whose library functions have no exact vector form).
#include "Kernels/QvPointKernels.h"

#include <cmath>
#include <limits>

#include "Kernels/QvKernelRows.h"
#include "Kernels/Reference/QvPointReference.h"

#ifndef QV_POINT_BOUNDS
#define QV_POINT_BOUNDS
namespace QvKernels {
// Per component (red, green, blue; a grey plane uses the first) the float range that
// replace tests, and the low end and width of the range that normalize rescales.
struct QvPointBounds {
    float atLeast[3], atMost[3];
    float low[3], range[3];
};
}  // namespace QvKernels
#endif

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "Kernels/QvPointKernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "Kernels/QvKernelVectors-inl.h"

HWY_BEFORE_NAMESPACE();
namespace QvKernels {
namespace HWY_NAMESPACE {
#if HWY_TARGET == HWY_SCALAR
size_t FunctionRow(int, int, const float*, float*, size_t) { return 0; }
size_t PickRow(int, bool, const void*, const void*, void*, size_t) { return 0; }
size_t ReplaceRow(int, const void*, void*, size_t, const QvPointBounds*, const void*) { return 0; }
size_t NormalizeRow(int, const void*, void*, size_t, const QvPointBounds*) { return 0; }
#else

using VU32 = hn::Vec<DU32>;
using MF = hn::Mask<DF>;

HWY_INLINE VU32 Channel(VU32 words, int shift) {
    return hn::And(hn::ShiftRightSame(words, shift), hn::Set(DU32(), 255u));
}
HWY_INLINE VF UnitChannel(VU32 words, int shift) {
    return hn::Mul(hn::ConvertTo(DF(), hn::BitCast(DI(), Channel(words, shift))), hn::Set(DF(), kUnitPerByte));
}
// Frame pixel words from unit-scale red, green, blue and the alpha of `words`.
HWY_INLINE VU32 FrameWords(VU32 words, VF red, VF green, VF blue) {
    auto byte = [](VF v) { return hn::BitCast(DU32(), ScaledToByteLanes(hn::Mul(v, hn::Set(DF(), 255.0f)))); };
    return hn::Or(hn::And(words, hn::Set(DU32(), 0xFF000000u)),
                  hn::Or(hn::ShiftLeft<16>(byte(red)), hn::Or(hn::ShiftLeft<8>(byte(green)), byte(blue))));
}

// sqrt and fabs of float components (alpha of colour pixels kept); log has no exact
// vector form and is left to the reference.
size_t FunctionRow(int function, int code, const float* src, float* dst, size_t count) {
    if (static_cast<QvPixelFunction>(function) == QvPixelFunction::logarithm) return 0;
    const DF df;
    const size_t n = hn::Lanes(df);
    const auto keep = AlphaLanes(df, code == kColorFloats ? 0 : -1);
    size_t i = 0;
    for (; i + n <= count; i += n) {
        VF v = hn::LoadU(df, src + i);
        VF result = static_cast<QvPixelFunction>(function) == QvPixelFunction::squareRoot ? hn::Sqrt(v) : hn::Abs(v);
        hn::StoreU(hn::IfThenElse(keep, v, CanonicalNaN(result)), df, dst + i);
    }
    return i;
}

// Colour image brightness 0.3 R + 0.59 G + 0.11 B in double: where a's is smaller
// (larger) than b's, as a float mask.
HWY_INLINE MF ImageBrightnessWins(VF ra, VF ga, VF ba, VF rb, VF gb, VF bb, bool maximum) {
    const DF df;
    const hn::Half<DF> dh;
    const hn::Rebind<double, decltype(dh)> dd;
    auto key = [&](auto r, auto g, auto b) {
        return hn::Add(hn::Add(hn::Mul(hn::Set(dd, 0.3), hn::PromoteTo(dd, r)), hn::Mul(hn::Set(dd, 0.59), hn::PromoteTo(dd, g))),
                       hn::Mul(hn::Set(dd, 0.11), hn::PromoteTo(dd, b)));
    };
    auto wins = [&](auto half) {
        auto ka = key(half(ra), half(ga), half(ba)), kb = key(half(rb), half(gb), half(bb));
        auto won = maximum ? hn::Gt(ka, kb) : hn::Lt(ka, kb);
        return hn::DemoteTo(dh, hn::IfThenElseZero(won, hn::Set(dd, 1.0)));
    };
    VF flags = hn::Combine(df, wins([&](VF v) { return hn::UpperHalf(dh, v); }),
                           wins([&](VF v) { return hn::LowerHalf(dh, v); }));
    return hn::Gt(flags, hn::Zero(df));
}

// Binary minimum (maximum): whole pixels of a where its brightness is smaller (larger)
// than b's, else b's.
size_t PickRow(int code, bool maximum, const void* a, const void* b, void* dst, size_t width) {
    const DF df;
    const size_t n = hn::Lanes(df);
    size_t x = 0;
    for (; x + n <= width; x += n) {
        switch (code) {
        case kGreyBytes: {
            auto pa = hn::LoadU(DQuarterU8(), static_cast<const uint8_t*>(a) + x);
            auto pb = hn::LoadU(DQuarterU8(), static_cast<const uint8_t*>(b) + x);
            hn::StoreU(maximum ? hn::Max(pa, pb) : hn::Min(pa, pb), DQuarterU8(), static_cast<uint8_t*>(dst) + x);
            break;
        }
        case kColorBytes: {
            VU32 pa = hn::LoadU(DU32(), static_cast<const uint32_t*>(a) + x);
            VU32 pb = hn::LoadU(DU32(), static_cast<const uint32_t*>(b) + x);
            auto key = [](VU32 w) {
                return hn::Add(hn::Add(hn::Mul(Channel(w, 16), hn::Set(DU32(), 30u)), hn::Mul(Channel(w, 8), hn::Set(DU32(), 59u))),
                               hn::Mul(Channel(w, 0), hn::Set(DU32(), 11u)));
            };
            auto won = maximum ? hn::Gt(key(pa), key(pb)) : hn::Gt(key(pb), key(pa));
            hn::StoreU(hn::IfThenElse(won, pa, pb), DU32(), static_cast<uint32_t*>(dst) + x);
            break;
        }
        case kGreyFloats: {
            VF pa = hn::LoadU(df, static_cast<const float*>(a) + x), pb = hn::LoadU(df, static_cast<const float*>(b) + x);
            hn::StoreU(hn::IfThenElse(maximum ? hn::Gt(pa, pb) : hn::Lt(pa, pb), pa, pb), df, static_cast<float*>(dst) + x);
            break;
        }
        default: {
            VF aa, ra, ga, ba, ab, rb, gb, bb;
            hn::LoadInterleaved4(df, static_cast<const float*>(a) + 4 * x, aa, ra, ga, ba);
            hn::LoadInterleaved4(df, static_cast<const float*>(b) + 4 * x, ab, rb, gb, bb);
            MF won = ImageBrightnessWins(ra, ga, ba, rb, gb, bb, maximum);
            hn::StoreInterleaved4(hn::IfThenElse(won, aa, ab), hn::IfThenElse(won, ra, rb), hn::IfThenElse(won, ga, gb),
                                  hn::IfThenElse(won, ba, bb), df, static_cast<float*>(dst) + 4 * x);
            break;
        }
        }
    }
    return x;
}

HWY_INLINE MF Within(VF v, const QvPointBounds& bounds, int k) {
    const DF df;
    return hn::And(hn::Ge(v, hn::Set(df, bounds.atLeast[k])), hn::Le(v, hn::Set(df, bounds.atMost[k])));
}

// Pixels within the bounds become the replacement; the others are copied.
size_t ReplaceRow(int code, const void* src, void* dst, size_t width, const QvPointBounds* bounds,
                  const void* replacement) {
    const DF df;
    const size_t n = hn::Lanes(df);
    const VF unit = hn::Set(df, kUnitPerByte);
    size_t x = 0;
    for (; x + n <= width; x += n) {
        switch (code) {
        case kGreyBytes: {
            const uint8_t* s = static_cast<const uint8_t*>(src) + x;
            MF within = Within(hn::Mul(LoadBytesAsFloats(s), unit), *bounds, 0);
            auto flags = hn::DemoteTo(DQuarterU8(), hn::IfThenElseZero(hn::RebindMask(DI(), within), hn::Set(DI(), 255)));
            auto kept = hn::IfThenElse(hn::MaskFromVec(flags), hn::Set(DQuarterU8(), *static_cast<const uint8_t*>(replacement)),
                                       hn::LoadU(DQuarterU8(), s));
            hn::StoreU(kept, DQuarterU8(), static_cast<uint8_t*>(dst) + x);
            break;
        }
        case kColorBytes: {
            VU32 words = hn::LoadU(DU32(), static_cast<const uint32_t*>(src) + x);
            MF within = hn::And(hn::And(Within(UnitChannel(words, 16), *bounds, 0), Within(UnitChannel(words, 8), *bounds, 1)),
                                Within(UnitChannel(words, 0), *bounds, 2));
            hn::StoreU(hn::IfThenElse(hn::RebindMask(DU32(), within),
                                      hn::Set(DU32(), *static_cast<const uint32_t*>(replacement)), words),
                       DU32(), static_cast<uint32_t*>(dst) + x);
            break;
        }
        case kGreyFloats: {
            VF v = hn::LoadU(df, static_cast<const float*>(src) + x);
            hn::StoreU(hn::IfThenElse(Within(v, *bounds, 0), hn::Set(df, *static_cast<const float*>(replacement)), v), df,
                       static_cast<float*>(dst) + x);
            break;
        }
        default: {
            VF alpha, red, green, blue;
            hn::LoadInterleaved4(df, static_cast<const float*>(src) + 4 * x, alpha, red, green, blue);
            MF within = hn::And(hn::And(Within(red, *bounds, 0), Within(green, *bounds, 1)), Within(blue, *bounds, 2));
            const float* with = static_cast<const float*>(replacement);
            hn::StoreInterleaved4(hn::IfThenElse(within, hn::Set(df, with[0]), alpha),
                                  hn::IfThenElse(within, hn::Set(df, with[1]), red),
                                  hn::IfThenElse(within, hn::Set(df, with[2]), green),
                                  hn::IfThenElse(within, hn::Set(df, with[3]), blue), df, static_cast<float*>(dst) + 4 * x);
            break;
        }
        }
    }
    return x;
}

HWY_INLINE VF Rescale(VF v, const QvPointBounds& bounds, int k) {
    const DF df;
    const VF range = hn::Set(df, bounds.range[k]);
    VF result = CanonicalNaN(hn::Div(hn::Sub(v, hn::Set(df, bounds.low[k])), range));
    return hn::IfThenZeroElse(hn::Eq(range, hn::Zero(df)), result);
}

// (p - low) / range per component, alpha kept.
size_t NormalizeRow(int code, const void* src, void* dst, size_t width, const QvPointBounds* bounds) {
    const DF df;
    const size_t n = hn::Lanes(df);
    const VF unit = hn::Set(df, kUnitPerByte);
    size_t x = 0;
    for (; x + n <= width; x += n) {
        switch (code) {
        case kGreyBytes:
            StoreUnitAsBytes(Rescale(hn::Mul(LoadBytesAsFloats(static_cast<const uint8_t*>(src) + x), unit), *bounds, 0),
                             static_cast<uint8_t*>(dst) + x);
            break;
        case kColorBytes: {
            VU32 words = hn::LoadU(DU32(), static_cast<const uint32_t*>(src) + x);
            hn::StoreU(FrameWords(words, Rescale(UnitChannel(words, 16), *bounds, 0),
                                  Rescale(UnitChannel(words, 8), *bounds, 1), Rescale(UnitChannel(words, 0), *bounds, 2)),
                       DU32(), static_cast<uint32_t*>(dst) + x);
            break;
        }
        case kGreyFloats:
            hn::StoreU(Rescale(hn::LoadU(df, static_cast<const float*>(src) + x), *bounds, 0), df,
                       static_cast<float*>(dst) + x);
            break;
        default: {
            VF alpha, red, green, blue;
            hn::LoadInterleaved4(df, static_cast<const float*>(src) + 4 * x, alpha, red, green, blue);
            hn::StoreInterleaved4(alpha, Rescale(red, *bounds, 0), Rescale(green, *bounds, 1), Rescale(blue, *bounds, 2), df,
                                  static_cast<float*>(dst) + 4 * x);
            break;
        }
        }
    }
    return x;
}

#endif  // HWY_TARGET == HWY_SCALAR
}  // namespace HWY_NAMESPACE
}  // namespace QvKernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace QvKernels {

HWY_EXPORT(FunctionRow);
HWY_EXPORT(PickRow);
HWY_EXPORT(ReplaceRow);
HWY_EXPORT(NormalizeRow);

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// The smallest float f with double(f) >= bound (> bound when strict); NaN when none.
float floatAtLeast(double bound, bool strict) {
    if (bound != bound) return kNaN;
    float f = static_cast<float>(bound);
    while (strict ? !(f > bound) : !(f >= bound)) {
        if (f == std::numeric_limits<float>::infinity()) return kNaN;
        f = std::nextafter(f, std::numeric_limits<float>::infinity());
    }
    while (true) {
        float lower = std::nextafter(f, -std::numeric_limits<float>::infinity());
        if (lower == f || !(strict ? lower > bound : lower >= bound)) return f;
        f = lower;
    }
}
// The largest float f with double(f) <= bound (< bound when strict); NaN when none.
float floatAtMost(double bound, bool strict) { return -floatAtLeast(-bound, strict); }

// Whole vectors of a row through `rowFunction`, the rest through the reference.
template <class P, class Row, class Tail>
void forEachRow(QvPlane<P> dst, Row rowFunction, Tail tail) {
    for (int y = 0; y < dst.height; ++y) {
        int x = static_cast<int>(rowFunction(y));
        tail(y, x, dst.width - x);
    }
}

template <class P>
void applyVectors(QvPixelFunction function, QvPlane<P> dst, QvPlane<const P> src) {
    constexpr int components = QvRowLayout<P>::components;
    forEachRow(
        dst,
        [&](int y) {
            return HWY_DYNAMIC_DISPATCH(FunctionRow)(static_cast<int>(function), QvRowLayout<P>::code,
                                                     componentsOf(src.row(y)), componentsOf(dst.row(y)),
                                                     static_cast<size_t>(dst.width) * components) /
                   components;
        },
        [&](int y, int x, int w) { Reference::applyFunction<P>(function, dst.window(x, y, w, 1), src.window(x, y, w, 1)); });
}

template <class P>
void pickVectors(bool maximum, QvPlane<P> dst, QvPlane<const P> a, QvPlane<const P> b) {
    forEachRow(
        dst,
        [&](int y) {
            return HWY_DYNAMIC_DISPATCH(PickRow)(QvRowLayout<P>::code, maximum, a.row(y), b.row(y), dst.row(y), dst.width);
        },
        [&](int y, int x, int w) {
            if (maximum)
                Reference::binaryMaximum<P>(dst.window(x, y, w, 1), a.window(x, y, w, 1), b.window(x, y, w, 1));
            else
                Reference::binaryMinimum<P>(dst.window(x, y, w, 1), a.window(x, y, w, 1), b.window(x, y, w, 1));
        });
}

QvPointBounds pointBounds(const double low[3], const double high[3], bool inclusive) {
    QvPointBounds bounds;
    for (int k = 0; k < 3; ++k) {
        bounds.atLeast[k] = floatAtLeast(low[k], !inclusive);
        bounds.atMost[k] = floatAtMost(high[k], !inclusive);
        bounds.low[k] = static_cast<float>(low[k]);
        bounds.range[k] = static_cast<float>(high[k]) - static_cast<float>(low[k]);
    }
    return bounds;
}

template <class P, class Bound>
void replaceVectors(QvPlane<P> dst, QvPlane<const P> src, const Bound& low, const Bound& high, bool inclusive,
                    P replacement) {
    double lows[3], highs[3];
    if constexpr (std::is_same_v<Bound, QvColor>) {
        lows[0] = low.red, lows[1] = low.green, lows[2] = low.blue;
        highs[0] = high.red, highs[1] = high.green, highs[2] = high.blue;
    } else {
        lows[0] = lows[1] = lows[2] = low;
        highs[0] = highs[1] = highs[2] = high;
    }
    const QvPointBounds bounds = pointBounds(lows, highs, inclusive);
    forEachRow(
        dst,
        [&](int y) {
            return HWY_DYNAMIC_DISPATCH(ReplaceRow)(QvRowLayout<P>::code, src.row(y), dst.row(y), dst.width, &bounds,
                                                    &replacement);
        },
        [&](int y, int x, int w) {
            Reference::replaceRange<P>(dst.window(x, y, w, 1), src.window(x, y, w, 1), low, high, inclusive, replacement);
        });
}

template <class P, class Bound>
void normalizeVectors(QvPlane<P> dst, QvPlane<const P> src, const Bound& low, const Bound& high) {
    double lows[3], highs[3];
    if constexpr (std::is_same_v<Bound, QvColor>) {
        lows[0] = low.red, lows[1] = low.green, lows[2] = low.blue;
        highs[0] = high.red, highs[1] = high.green, highs[2] = high.blue;
    } else {
        lows[0] = lows[1] = lows[2] = low;
        highs[0] = highs[1] = highs[2] = high;
    }
    const QvPointBounds bounds = pointBounds(lows, highs, true);
    forEachRow(
        dst,
        [&](int y) { return HWY_DYNAMIC_DISPATCH(NormalizeRow)(QvRowLayout<P>::code, src.row(y), dst.row(y), dst.width, &bounds); },
        [&](int y, int x, int w) { Reference::normalizeRange<P>(dst.window(x, y, w, 1), src.window(x, y, w, 1), low, high); });
}

}  // namespace

#define QV_FLOAT_CLASS(P)                                                                                  \
    void applyFunction(QvPixelFunction function, QvPlane<P> dst, QvPlane<const P> src) {                   \
        applyVectors<P>(function, dst, src);                                                               \
    }                                                                                                      \
    void raiseToPower(QvPlane<P> dst, QvPlane<const P> src, double exponent) {                             \
        Reference::raiseToPower<P>(dst, src, exponent);                                                    \
    }
QV_FLOAT_CLASS(fgPix)
QV_FLOAT_CLASS(fcPix)
#undef QV_FLOAT_CLASS

#define QV_EVERY_CLASS(P)                                                                                  \
    void binaryMinimum(QvPlane<P> dst, QvPlane<const P> a, QvPlane<const P> b) { pickVectors<P>(false, dst, a, b); } \
    void binaryMaximum(QvPlane<P> dst, QvPlane<const P> a, QvPlane<const P> b) { pickVectors<P>(true, dst, a, b); }
QV_EVERY_CLASS(bgPix)
QV_EVERY_CLASS(bcPix)
QV_EVERY_CLASS(fgPix)
QV_EVERY_CLASS(fcPix)
#undef QV_EVERY_CLASS

#define QV_RANGE(P, Bound)                                                                                 \
    void replaceRange(QvPlane<P> dst, QvPlane<const P> src, Bound low, Bound high, bool inclusive,         \
                      P replacement) {                                                                     \
        replaceVectors<P>(dst, src, low, high, inclusive, replacement);                                    \
    }                                                                                                      \
    void normalizeRange(QvPlane<P> dst, QvPlane<const P> src, Bound low, Bound high) {                     \
        normalizeVectors<P>(dst, src, low, high);                                                          \
    }
QV_RANGE(bgPix, double)
QV_RANGE(fgPix, double)
QV_RANGE(bcPix, const QvColor&)
QV_RANGE(fcPix, const QvColor&)
#undef QV_RANGE

}  // namespace QvKernels
#endif  // HWY_ONCE
