// Vector helpers shared by the kernels, compiled once per dispatch target (included
// from inside each kernel file's foreach_target section, so no include guard of the
// usual kind).
#if defined(QV_KERNEL_VECTORS_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef QV_KERNEL_VECTORS_INL_H_
#undef QV_KERNEL_VECTORS_INL_H_
#else
#define QV_KERNEL_VECTORS_INL_H_
#endif

#include <hwy/highway.h>

#include "Kernels/QvPixelRules.h"

// The single-lane target (processors without SSSE3) gains nothing over the reference:
// kernel files give it rows that do nothing, and these helpers are not built for it.
#if HWY_TARGET != HWY_SCALAR
HWY_BEFORE_NAMESPACE();
namespace QvKernels {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using DF = hn::ScalableTag<float>;
using DI = hn::ScalableTag<int32_t>;
using DU32 = hn::ScalableTag<uint32_t>;
using DU8 = hn::ScalableTag<uint8_t>;
using DU16 = hn::ScalableTag<uint16_t>;
using DI16 = hn::ScalableTag<int16_t>;
// As many bytes as a float vector has lanes.
using DQuarterU8 = hn::Rebind<uint8_t, DF>;
using VF = hn::Vec<DF>;
using VU8 = hn::Vec<DU8>;

// Bytes as floats on the 0..255 scale.
HWY_INLINE VF LoadBytesAsFloats(const uint8_t* p) {
    return hn::ConvertTo(DF(), hn::PromoteTo(DI(), hn::LoadU(DQuarterU8(), p)));
}

// byteFromScaled: truncated towards zero, NaN and negatives 0, 255 and above 255.
HWY_INLINE hn::Vec<DI> ScaledToByteLanes(VF v) {
    const DF df;
    VF positive = hn::IfThenElseZero(hn::Gt(v, hn::Zero(df)), v);
    return hn::ConvertTo(DI(), hn::Min(positive, hn::Set(df, 255.0f)));
}
HWY_INLINE void StoreScaledAsBytes(VF v, uint8_t* p) {
    hn::StoreU(hn::DemoteTo(DQuarterU8(), ScaledToByteLanes(v)), DQuarterU8(), p);
}

// canonicalNaN on a vector.
template <class V>
HWY_INLINE V CanonicalNaN(V v) {
    const hn::DFromV<V> d;
    return hn::IfThenElse(hn::IsNaN(v), hn::Set(d, static_cast<hn::TFromV<V>>(kDefaultNaN)), v);
}

// Floats as bytes by the float-to-byte rule (0-1 scale).
HWY_INLINE void StoreUnitAsBytes(VF v, uint8_t* p) { StoreScaledAsBytes(hn::Mul(v, hn::Set(DF(), 255.0f)), p); }

// luminance(): single-precision weights, products and sum in double, one rounding.
HWY_INLINE VF LuminanceOf(VF red, VF green, VF blue) {
    const DF df;
    const hn::Half<DF> dh;
    const hn::Rebind<double, decltype(dh)> dd;
    const auto wr = hn::Set(dd, static_cast<double>(0.30f)), wg = hn::Set(dd, static_cast<double>(0.59f)),
               wb = hn::Set(dd, static_cast<double>(0.11f));
    auto half = [&](auto r, auto g, auto b) {
        auto sum = hn::Add(hn::Add(hn::Mul(wr, hn::PromoteTo(dd, r)), hn::Mul(wg, hn::PromoteTo(dd, g))),
                           hn::Mul(wb, hn::PromoteTo(dd, b)));
        return hn::DemoteTo(dh, sum);
    };
    return CanonicalNaN(
        hn::Combine(df, half(hn::UpperHalf(dh, red), hn::UpperHalf(dh, green), hn::UpperHalf(dh, blue)),
                    half(hn::LowerHalf(dh, red), hn::LowerHalf(dh, green), hn::LowerHalf(dh, blue))));
}

// The lanes that hold component `alphaIndex` of pixels of four components, when a
// vector covers whole pixels; none when alphaIndex is negative.
template <class D>
HWY_INLINE hn::Mask<D> AlphaLanes(D d, int alphaIndex) {
    const hn::RebindToUnsigned<D> du;
    using U = hn::TFromD<decltype(du)>;
    auto component = hn::And(hn::Iota(du, 0), hn::Set(du, U{3}));
    return hn::RebindMask(d, hn::Eq(component, hn::Set(du, static_cast<U>(alphaIndex < 0 ? 4 : alphaIndex))));
}

// A vector repeating `pattern` (four values) across its lanes.
template <class D, class T>
HWY_INLINE hn::Vec<D> RepeatPattern(D d, const T* pattern) {
    HWY_ALIGN T lanes[hn::MaxLanes(D())];
    for (size_t i = 0; i < hn::Lanes(d); ++i) lanes[i] = pattern[i % 4];
    return hn::Load(d, lanes);
}

}  // namespace HWY_NAMESPACE
}  // namespace QvKernels
HWY_AFTER_NAMESPACE();
#endif  // HWY_TARGET != HWY_SCALAR

#endif  // QV_KERNEL_VECTORS_INL_H_
