// The match map in vector lanes (Highway, runtime dispatch): grey levels against their
// matching range, frame pixels through the integer grey rule in 16-bit lanes, floats
// through the distance to the value as the reference computes it.
#include "Region/QvRegionMatches.h"

#include <cstring>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "Region/QvRegionMatches.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "Kernels/QvKernelVectors-inl.h"

HWY_BEFORE_NAMESPACE();
namespace QvRegionSearch {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Each function marks the whole vectors of a row and returns how many pixels it did;
// the single-lane target leaves every pixel to the reference.
#if HWY_TARGET == HWY_SCALAR
size_t MatchGreyBytes(const uint8_t*, size_t, int, int, uint8_t*) { return 0; }
size_t MatchColorBytes(const uint8_t*, size_t, int, int, uint8_t*) { return 0; }
size_t MatchGreyFloats(const float*, size_t, float, float, uint8_t*) { return 0; }
size_t MatchColorFloats(const float*, size_t, float, float, uint8_t*) { return 0; }
#else
using DU8 = hn::ScalableTag<uint8_t>;
using DF = hn::ScalableTag<float>;

// Levels within lowest..highest (which are in order) stay the same when clamped to them.
HWY_INLINE hn::Vec<DU8> InRange(hn::Vec<DU8> levels, int lowest, int highest) {
    const DU8 d;
    auto clamped = hn::Min(hn::Max(levels, hn::Set(d, uint8_t(lowest))), hn::Set(d, uint8_t(highest)));
    auto inside = hn::Eq(clamped, levels);
    return hn::IfThenElseZero(inside, hn::Set(d, uint8_t{1}));
}

size_t MatchGreyBytes(const uint8_t* levels, size_t count, int lowest, int highest, uint8_t* marks) {
    const DU8 d;
    const size_t lanes = hn::Lanes(d);
    size_t x = 0;
    for (; x + lanes <= count; x += lanes) hn::StoreU(InRange(hn::LoadU(d, levels + x), lowest, highest), d, marks + x);
    return x;
}

// (77 R + 151 G + 28 B) >> 8 of one half of the pixels, in 16-bit lanes.
template <class DH>
HWY_INLINE auto GreyLevels(DH dh, hn::Vec<DH> blue, hn::Vec<DH> green, hn::Vec<DH> red) {
    const hn::Rebind<uint16_t, DH> d16;
    auto sum = hn::Add(hn::Add(hn::Mul(hn::PromoteTo(d16, red), hn::Set(d16, uint16_t{77})),
                               hn::Mul(hn::PromoteTo(d16, green), hn::Set(d16, uint16_t{151}))),
                       hn::Mul(hn::PromoteTo(d16, blue), hn::Set(d16, uint16_t{28})));
    return hn::DemoteTo(dh, hn::BitCast(hn::Rebind<int16_t, DH>(), hn::ShiftRight<8>(sum)));
}

size_t MatchColorBytes(const uint8_t* pixels, size_t count, int lowest, int highest, uint8_t* marks) {
    const DU8 d;
    const hn::Half<DU8> dh;
    const size_t lanes = hn::Lanes(d);
    size_t x = 0;
    for (; x + lanes <= count; x += lanes) {
        hn::Vec<DU8> blue, green, red, alpha;
        hn::LoadInterleaved4(d, pixels + 4 * x, blue, green, red, alpha);
        auto lower = GreyLevels(dh, hn::LowerHalf(dh, blue), hn::LowerHalf(dh, green), hn::LowerHalf(dh, red));
        auto upper = GreyLevels(dh, hn::UpperHalf(dh, blue), hn::UpperHalf(dh, green), hn::UpperHalf(dh, red));
        hn::StoreU(InRange(hn::Combine(d, upper, lower), lowest, highest), d, marks + x);
    }
    return x;
}

// 1 in the byte of each lane whose luminance lies within the tolerance of the value.
HWY_INLINE void StoreFloatMatches(hn::Vec<DF> luminance, float value, float tolerance, uint8_t* marks) {
    const DF d;
    const hn::RebindToSigned<DF> di;
    auto inside = hn::Le(hn::Abs(hn::Sub(luminance, hn::Set(d, value))), hn::Set(d, tolerance));
    auto ones = hn::IfThenElseZero(hn::RebindMask(di, inside), hn::Set(di, 1));
    hn::StoreU(hn::DemoteTo(QvKernels::HWY_NAMESPACE::DQuarterU8(), ones), QvKernels::HWY_NAMESPACE::DQuarterU8(),
               marks);
}

size_t MatchGreyFloats(const float* greys, size_t count, float value, float tolerance, uint8_t* marks) {
    const DF d;
    const size_t lanes = hn::Lanes(d);
    size_t x = 0;
    for (; x + lanes <= count; x += lanes) StoreFloatMatches(hn::LoadU(d, greys + x), value, tolerance, marks + x);
    return x;
}

size_t MatchColorFloats(const float* pixels, size_t count, float value, float tolerance, uint8_t* marks) {
    const DF d;
    const size_t lanes = hn::Lanes(d);
    size_t x = 0;
    for (; x + lanes <= count; x += lanes) {
        hn::Vec<DF> alpha, red, green, blue;
        hn::LoadInterleaved4(d, pixels + 4 * x, alpha, red, green, blue);
        StoreFloatMatches(QvKernels::HWY_NAMESPACE::LuminanceOf(red, green, blue), value, tolerance, marks + x);
    }
    return x;
}
#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace HWY_NAMESPACE
}  // namespace QvRegionSearch
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace QvRegionSearch {

HWY_EXPORT(MatchGreyBytes);
HWY_EXPORT(MatchColorBytes);
HWY_EXPORT(MatchGreyFloats);
HWY_EXPORT(MatchColorFloats);

namespace {

// How many pixels at the start of a row the vector form marked. No grey level
// matching marks the whole row at once.
size_t vectorRow(const QvPixelTest<bgPix>& test, const bgPix* row, size_t count, uint8_t* marks) {
    if (test.lowest() > test.highest()) return std::memset(marks, 0, count), count;
    return HWY_DYNAMIC_DISPATCH(MatchGreyBytes)(&row->grey, count, test.lowest(), test.highest(), marks);
}
size_t vectorRow(const QvPixelTest<bcPix>& test, const bcPix* row, size_t count, uint8_t* marks) {
    if (test.lowest() > test.highest()) return std::memset(marks, 0, count), count;
    return HWY_DYNAMIC_DISPATCH(MatchColorBytes)(&row->blue, count, test.lowest(), test.highest(), marks);
}
size_t vectorRow(const QvPixelTest<fgPix>& test, const fgPix* row, size_t count, uint8_t* marks) {
    return HWY_DYNAMIC_DISPATCH(MatchGreyFloats)(&row->grey, count, test.value(), test.tolerance(), marks);
}
size_t vectorRow(const QvPixelTest<fcPix>& test, const fcPix* row, size_t count, uint8_t* marks) {
    return HWY_DYNAMIC_DISPATCH(MatchColorFloats)(&row->alpha, count, test.value(), test.tolerance(), marks);
}

}  // namespace

template <class P>
void markMatches(QvPlane<const P> window, const QvPixelTest<P>& test, uint8_t* map, size_t mapStride) {
    for (int y = 0; y < window.height; ++y) {
        uint8_t* marks = map + size_t(y) * mapStride;
        int done = int(vectorRow(test, window.row(y), size_t(window.width), marks));
        Reference::markMatches(window.window(done, y, window.width - done, 1), test, marks + done, mapStride);
    }
}

template void markMatches<bgPix>(QvPlane<const bgPix>, const QvPixelTest<bgPix>&, uint8_t*, size_t);
template void markMatches<bcPix>(QvPlane<const bcPix>, const QvPixelTest<bcPix>&, uint8_t*, size_t);
template void markMatches<fgPix>(QvPlane<const fgPix>, const QvPixelTest<fgPix>&, uint8_t*, size_t);
template void markMatches<fcPix>(QvPlane<const fcPix>, const QvPixelTest<fcPix>&, uint8_t*, size_t);

}  // namespace QvRegionSearch
#endif  // HWY_ONCE
