// The four operators on pictures: vector rows for whole vectors, the reference for
// the pixels left at the end of a row.
#include "Kernels/QvArithmeticKernels.h"

#include <algorithm>

#include "Kernels/QvConvertKernels.h"
#include "Kernels/QvKernelRows.h"
#include "Kernels/Reference/QvArithmeticReference.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "Kernels/QvArithmeticKernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "Kernels/QvKernelVectors-inl.h"

// The lanes of a byte constant: four components in memory order, alpha untouched.
#ifndef QV_BYTE_CONSTANT_LANES
#define QV_BYTE_CONSTANT_LANES
namespace QvKernels {
struct QvByteConstantLanes {
    uint8_t raise[4];
    uint8_t lower[4];
    uint32_t factor[4];
    float divisor[4];
    int alphaIndex;
};
}  // namespace QvKernels
#endif

HWY_BEFORE_NAMESPACE();
namespace QvKernels {
namespace HWY_NAMESPACE {
#if HWY_TARGET == HWY_SCALAR
size_t CombineByteRows(int, const uint8_t*, const uint8_t*, uint8_t*, size_t, int) { return 0; }
size_t CombineFloatRows(int, const float*, const float*, float*, size_t, int) { return 0; }
size_t ByteConstantRow(int, const uint8_t*, uint8_t*, size_t, const QvByteConstantLanes*) { return 0; }
size_t FloatConstantRow(int, const float*, float*, size_t, const float*, int) { return 0; }
#else

// a * b / 255 in integers, truncating (products up to 65025 in 16-bit lanes).
HWY_INLINE VU8 MultiplyBytes(VU8 a, VU8 b) {
    const DU8 d8;
    const hn::Half<DU8> dh;
    const hn::Rebind<uint16_t, decltype(dh)> d16;
    const hn::Rebind<int16_t, decltype(dh)> di16;
    const auto magic = hn::Set(d16, uint16_t{0x8081});
    auto divide = [&](auto x, auto y) {
        auto product = hn::Mul(hn::PromoteTo(d16, x), hn::PromoteTo(d16, y));
        auto quotient = hn::ShiftRight<7>(hn::MulHigh(product, magic));
        return hn::DemoteTo(dh, hn::BitCast(di16, quotient));
    };
    auto lower = divide(hn::LowerHalf(dh, a), hn::LowerHalf(dh, b));
    auto upper = divide(hn::UpperHalf(dh, a), hn::UpperHalf(dh, b));
    return hn::Combine(d8, upper, lower);
}

// byteFromUnit(unitFromByte(a) / unitFromByte(b)) for a vector of bytes.
HWY_INLINE void DivideBytes(const uint8_t* a, const uint8_t* b, uint8_t* out) {
    const DF df;
    const size_t nf = hn::Lanes(df);
    const VF unit = hn::Set(df, kUnitPerByte), scale = hn::Set(df, 255.0f);
    for (size_t k = 0; k < 4; ++k) {
        VF quotient = hn::Div(hn::Mul(LoadBytesAsFloats(a + k * nf), unit), hn::Mul(LoadBytesAsFloats(b + k * nf), unit));
        StoreScaledAsBytes(hn::Mul(quotient, scale), out + k * nf);
    }
}

// Byte rows of `count` components; components at alphaIndex (of four) keep the left value.
size_t CombineByteRows(int op, const uint8_t* HWY_RESTRICT left, const uint8_t* HWY_RESTRICT right,
                       uint8_t* dst, size_t count, int alphaIndex) {
    const DU8 d;
    const size_t n = hn::Lanes(d);
    const auto keep = AlphaLanes(d, alphaIndex);
    HWY_ALIGN uint8_t quotient[hn::MaxLanes(DU8())];
    size_t i = 0;
    for (; i + n <= count; i += n) {
        VU8 a = hn::LoadU(d, left + i), b = hn::LoadU(d, right + i), result;
        switch (static_cast<QvPixelOperator>(op)) {
        case QvPixelOperator::add:
            result = hn::SaturatedAdd(a, b);
            break;
        case QvPixelOperator::subtract:
            result = hn::SaturatedSub(a, b);
            break;
        case QvPixelOperator::multiply:
            result = MultiplyBytes(a, b);
            break;
        default:
            DivideBytes(left + i, right + i, quotient);
            result = hn::Load(d, quotient);
            break;
        }
        hn::StoreU(hn::IfThenElse(keep, a, result), d, dst + i);
    }
    return i;
}

size_t CombineFloatRows(int op, const float* HWY_RESTRICT left, const float* HWY_RESTRICT right, float* dst,
                        size_t count, int alphaIndex) {
    const DF d;
    const size_t n = hn::Lanes(d);
    const auto keep = AlphaLanes(d, alphaIndex);
    size_t i = 0;
    for (; i + n <= count; i += n) {
        VF a = hn::LoadU(d, left + i), b = hn::LoadU(d, right + i), result;
        switch (static_cast<QvPixelOperator>(op)) {
        case QvPixelOperator::add:
            result = hn::Add(a, b);
            break;
        case QvPixelOperator::subtract:
            result = hn::Sub(a, b);
            break;
        case QvPixelOperator::multiply:
            result = hn::Mul(a, b);
            break;
        default:
            result = hn::Div(a, b);
            break;
        }
        hn::StoreU(hn::IfThenElse(keep, a, CanonicalNaN(result)), d, dst + i);
    }
    return i;
}

// min(p k / 255, 255) for a quarter vector of bytes, in 32-bit lanes.
HWY_INLINE void MultiplyByFactor(const uint8_t* p, hn::Vec<DU32> factor, uint8_t* out) {
    const DU32 d32;
    auto product = hn::Min(hn::Mul(hn::PromoteTo(d32, hn::LoadU(DQuarterU8(), p)), factor), hn::Set(d32, 65025u));
    auto quotient = hn::ShiftRight<23>(hn::Mul(product, hn::Set(d32, 0x8081u)));
    hn::StoreU(hn::DemoteTo(DQuarterU8(), hn::BitCast(DI(), quotient)), DQuarterU8(), out);
}

size_t ByteConstantRow(int op, const uint8_t* left, uint8_t* dst, size_t count, const QvByteConstantLanes* constant) {
    const DU8 d;
    const DF df;
    const size_t n = hn::Lanes(d), nf = hn::Lanes(df);
    const auto keep = AlphaLanes(d, constant->alphaIndex);
    const VU8 raise = RepeatPattern(d, constant->raise), lower = RepeatPattern(d, constant->lower);
    const auto factor = RepeatPattern(DU32(), constant->factor);
    const VF divisor = RepeatPattern(df, constant->divisor);
    const VF unit = hn::Set(df, kUnitPerByte), scale = hn::Set(df, 255.0f);
    HWY_ALIGN uint8_t lanes[hn::MaxLanes(DU8())];
    size_t i = 0;
    for (; i + n <= count; i += n) {
        VU8 a = hn::LoadU(d, left + i), result;
        switch (static_cast<QvPixelOperator>(op)) {
        case QvPixelOperator::add:
        case QvPixelOperator::subtract:
            result = hn::SaturatedSub(hn::SaturatedAdd(a, raise), lower);
            break;
        case QvPixelOperator::multiply:
            for (size_t k = 0; k < 4; ++k) MultiplyByFactor(left + i + k * nf, factor, lanes + k * nf);
            result = hn::Load(d, lanes);
            break;
        default:
            for (size_t k = 0; k < 4; ++k) {
                VF quotient = hn::Div(hn::Mul(LoadBytesAsFloats(left + i + k * nf), unit), divisor);
                StoreScaledAsBytes(hn::Mul(quotient, scale), lanes + k * nf);
            }
            result = hn::Load(d, lanes);
            break;
        }
        hn::StoreU(hn::IfThenElse(keep, a, result), d, dst + i);
    }
    return i;
}

size_t FloatConstantRow(int op, const float* left, float* dst, size_t count, const float* pattern, int alphaIndex) {
    const DF d;
    const size_t n = hn::Lanes(d);
    const auto keep = AlphaLanes(d, alphaIndex);
    const VF b = RepeatPattern(d, pattern);
    size_t i = 0;
    for (; i + n <= count; i += n) {
        VF a = hn::LoadU(d, left + i), result;
        switch (static_cast<QvPixelOperator>(op)) {
        case QvPixelOperator::add:
            result = hn::Add(a, b);
            break;
        case QvPixelOperator::subtract:
            result = hn::Sub(a, b);
            break;
        case QvPixelOperator::multiply:
            result = hn::Mul(a, b);
            break;
        default:
            result = hn::Div(a, b);
            break;
        }
        hn::StoreU(hn::IfThenElse(keep, a, CanonicalNaN(result)), d, dst + i);
    }
    return i;
}

#endif  // HWY_TARGET == HWY_SCALAR
}  // namespace HWY_NAMESPACE
}  // namespace QvKernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace QvKernels {

HWY_EXPORT(CombineByteRows);
HWY_EXPORT(CombineFloatRows);
HWY_EXPORT(ByteConstantRow);
HWY_EXPORT(FloatConstantRow);

namespace {

// Pixels done by the vector rows of one row of `width` pixels of class L.
template <class L>
int combineRow(QvPixelOperator op, const L* left, const L* right, L* dst, int width, int alphaIndex) {
    size_t count = static_cast<size_t>(width) * QvRowLayout<L>::components, done;
    if constexpr (isByteClass<L>())
        done = HWY_DYNAMIC_DISPATCH(CombineByteRows)(static_cast<int>(op), componentsOf(left), componentsOf(right),
                                                     componentsOf(dst), count, alphaIndex);
    else
        done = HWY_DYNAMIC_DISPATCH(CombineFloatRows)(static_cast<int>(op), componentsOf(left), componentsOf(right),
                                                      componentsOf(dst), count, alphaIndex);
    return static_cast<int>(done / QvRowLayout<L>::components);
}

// Right operands of another class are converted a piece of a row at a time.
constexpr int kPieceWidth = 512;

template <class L, class R>
void combineVectors(QvPixelOperator op, QvPlane<L> dst, QvPlane<const L> left, QvPlane<const R> right) {
    int alphaIndex = Reference::keepsLeftAlpha<R>(op) ? QvRowLayout<L>::alpha : -1;
    L converted[std::is_same_v<L, R> ? 1 : kPieceWidth];
    for (int y = 0; y < dst.height; ++y) {
        int x = 0;
        if constexpr (std::is_same_v<L, R>) {
            x = combineRow(op, left.row(y), right.row(y), dst.row(y), dst.width, alphaIndex);
        } else {
            for (int done = kPieceWidth; x < dst.width && done == kPieceWidth;) {
                int piece = std::min(kPieceWidth, dst.width - x);
                convertPixels(QvPlane<L>{converted, 0, piece, 1}, right.window(x, y, piece, 1));
                done = combineRow(op, left.row(y) + x, converted, dst.row(y) + x, piece, alphaIndex);
                x += done;
            }
        }
        Reference::combinePictures<L, R>(op, dst.window(x, y, dst.width - x, 1), left.window(x, y, dst.width - x, 1),
                                         right.window(x, y, dst.width - x, 1));
    }
}

QvByteConstantLanes byteConstant(QvPixelOperator op, const double values[3], int alphaIndex) {
    QvByteConstantLanes lanes{};
    for (int k = 0; k < 4; ++k) {
        double c = values[k < 3 ? k : 0];
        int step = op == QvPixelOperator::subtract ? -byteStep(c) : byteStep(c);
        bool alpha = k == alphaIndex;
        lanes.raise[k] = static_cast<uint8_t>(alpha ? 0 : std::max(step, 0));
        lanes.lower[k] = static_cast<uint8_t>(alpha ? 0 : std::max(-step, 0));
        lanes.factor[k] = static_cast<uint32_t>(byteFactor(c));
        lanes.divisor[k] = static_cast<float>(c);
    }
    lanes.alphaIndex = alphaIndex;
    return lanes;
}

template <class P, class Tail>
void forEachRowOfBytes(QvPixelOperator op, QvPlane<P> dst, QvPlane<const P> left, const QvByteConstantLanes& lanes,
                       Tail tail) {
    for (int y = 0; y < dst.height; ++y) {
        size_t done = HWY_DYNAMIC_DISPATCH(ByteConstantRow)(static_cast<int>(op), componentsOf(left.row(y)),
                                                            componentsOf(dst.row(y)),
                                                            size_t(dst.width) * QvRowLayout<P>::components, &lanes);
        int x = static_cast<int>(done / QvRowLayout<P>::components);
        tail(dst.window(x, y, dst.width - x, 1), left.window(x, y, dst.width - x, 1));
    }
}

template <class P, class Tail>
void forEachRowOfFloats(QvPixelOperator op, QvPlane<P> dst, QvPlane<const P> left, const float pattern[4], Tail tail) {
    for (int y = 0; y < dst.height; ++y) {
        size_t done = HWY_DYNAMIC_DISPATCH(FloatConstantRow)(static_cast<int>(op), componentsOf(left.row(y)),
                                                             componentsOf(dst.row(y)),
                                                             size_t(dst.width) * QvRowLayout<P>::components, pattern,
                                                             QvRowLayout<P>::alpha);
        int x = static_cast<int>(done / QvRowLayout<P>::components);
        tail(dst.window(x, y, dst.width - x, 1), left.window(x, y, dst.width - x, 1));
    }
}

}  // namespace

void combineWithConstant(QvPixelOperator op, QvPlane<bgPix> dst, QvPlane<const bgPix> left, double grey) {
    double values[3] = {grey, grey, grey};
    forEachRowOfBytes(op, dst, left, byteConstant(op, values, -1), [&](auto d, auto l) {
        Reference::combineWithConstant(op, d, l, grey);
    });
}

void combineWithConstant(QvPixelOperator op, QvPlane<bcPix> dst, QvPlane<const bcPix> left, const QvColor& color) {
    double values[3] = {color.blue, color.green, color.red};
    forEachRowOfBytes(op, dst, left, byteConstant(op, values, 3), [&](auto d, auto l) {
        Reference::combineWithConstant(op, d, l, color);
    });
}

void combineWithConstant(QvPixelOperator op, QvPlane<fgPix> dst, QvPlane<const fgPix> left, double grey) {
    float c = static_cast<float>(grey);
    float pattern[4] = {c, c, c, c};
    forEachRowOfFloats(op, dst, left, pattern, [&](auto d, auto l) { Reference::combineWithConstant(op, d, l, grey); });
}

void combineWithConstant(QvPixelOperator op, QvPlane<fcPix> dst, QvPlane<const fcPix> left, const QvColor& color) {
    float pattern[4] = {0.0f, static_cast<float>(color.red), static_cast<float>(color.green),
                        static_cast<float>(color.blue)};
    forEachRowOfFloats(op, dst, left, pattern, [&](auto d, auto l) { Reference::combineWithConstant(op, d, l, color); });
}

#define QV_COMBINE(L, R)                                                                                       \
    void combinePictures(QvPixelOperator op, QvPlane<L> dst, QvPlane<const L> left, QvPlane<const R> right) { \
        combineVectors<L, R>(op, dst, left, right);                                                            \
    }
QV_COMBINE(bgPix, bgPix)
QV_COMBINE(bcPix, bgPix)
QV_COMBINE(bcPix, bcPix)
QV_COMBINE(fgPix, bgPix)
QV_COMBINE(fgPix, fgPix)
QV_COMBINE(fcPix, bgPix)
QV_COMBINE(fcPix, bcPix)
QV_COMBINE(fcPix, fgPix)
QV_COMBINE(fcPix, fcPix)
#undef QV_COMBINE

}  // namespace QvKernels
#endif  // HWY_ONCE
