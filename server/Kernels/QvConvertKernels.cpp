// Copies, fills and class conversions: vector rows for whole vectors, the reference
// for the pixels left at the end of a row; same-class copies are row copies.
#include "Kernels/QvConvertKernels.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Kernels/QvKernelRows.h"
#include "Kernels/Reference/QvConvertReference.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "Kernels/QvConvertKernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "Kernels/QvKernelVectors-inl.h"

HWY_BEFORE_NAMESPACE();
namespace QvKernels {
namespace HWY_NAMESPACE {
#if HWY_TARGET == HWY_SCALAR
size_t ConvertRow(int, int, const void*, void*, size_t) { return 0; }
size_t ExtractAlphaRow(int, const void*, void*, size_t) { return 0; }
size_t InsertAlphaRow(int, const void*, const void*, void*, size_t) { return 0; }
#else

using VU32 = hn::Vec<DU32>;

// One component of frame pixel words (0 blue, 1 green, 2 red, 3 alpha) as 32-bit lanes.
template <int kComponent>
HWY_INLINE VU32 ComponentOf(VU32 words) {
    return hn::And(hn::ShiftRight<8 * kComponent>(words), hn::Set(DU32(), 255u));
}
HWY_INLINE VF UnitComponent(VU32 component) {
    return hn::Mul(hn::ConvertTo(DF(), hn::BitCast(DI(), component)), hn::Set(DF(), kUnitPerByte));
}
// Opaque grey frame pixels from grey levels in 32-bit lanes.
HWY_INLINE VU32 GreyWords(VU32 grey) {
    return hn::Or(hn::Or(grey, hn::ShiftLeft<8>(grey)), hn::Or(hn::ShiftLeft<16>(grey), hn::Set(DU32(), 0xFF000000u)));
}
HWY_INLINE void StoreWords(VU32 words, void* dst) { hn::StoreU(words, DU32(), static_cast<uint32_t*>(dst)); }
HWY_INLINE VU32 LoadWords(const void* src) { return hn::LoadU(DU32(), static_cast<const uint32_t*>(src)); }

// Byte vector that turns blue, green, red, alpha into alpha, red, green, blue (and back).
HWY_INLINE VU8 ReversePixelBytes(VU8 bytes) {
    const DU8 d;
    auto index = hn::Xor(hn::And(hn::Iota(d, 0), hn::Set(d, uint8_t{15})), hn::Set(d, uint8_t{3}));
    return hn::TableLookupBytes(bytes, index);
}

// Every grey of `grey` (one per pixel) as an opaque colour pixel: four vectors.
class QvGreySpreader {
public:
    QvGreySpreader() {
        const DI di;
        const size_t n = hn::Lanes(di);
        for (size_t k = 0; k < 4; ++k)
            for (size_t j = 0; j < n; ++j) lanes_[k][j] = static_cast<int32_t>(k * n / 4 + j / 4);
    }
    void store(VF grey, VF otherLanes, float* dst) const {
        const DF df;
        const size_t n = hn::Lanes(df);
        const auto alpha = AlphaLanes(df, 0);
        for (size_t k = 0; k < 4; ++k) {
            VF spread = hn::TableLookupLanes(grey, hn::SetTableIndices(df, lanes_[k]));
            hn::StoreU(hn::IfThenElse(alpha, otherLanes, spread), df, dst + k * n);
        }
    }
    // As store, but keeping red, green and blue of dst and writing the grey as alpha.
    void storeAlpha(VF grey, const float* src, float* dst) const {
        const DF df;
        const size_t n = hn::Lanes(df);
        const auto alpha = AlphaLanes(df, 0);
        for (size_t k = 0; k < 4; ++k) {
            VF spread = hn::TableLookupLanes(grey, hn::SetTableIndices(df, lanes_[k]));
            hn::StoreU(hn::IfThenElse(alpha, spread, hn::LoadU(df, src + k * n)), df, dst + k * n);
        }
    }

private:
    HWY_ALIGN int32_t lanes_[4][hn::MaxLanes(DI())];
};

// Converts whole vectors of pixels of class `from` at src into class `to` at dst;
// returns the pixels done.
size_t ConvertRow(int from, int to, const void* src, void* dst, size_t width) {
    const DF df;
    const size_t n = hn::Lanes(df);
    const VF unit = hn::Set(df, kUnitPerByte), one = hn::Set(df, 1.0f);
    const uint8_t* bytes = static_cast<const uint8_t*>(src);
    const float* floats = static_cast<const float*>(src);
    uint8_t* outBytes = static_cast<uint8_t*>(dst);
    float* outFloats = static_cast<float*>(dst);
    HWY_ALIGN uint8_t staged[hn::MaxLanes(DU8())];
    QvGreySpreader spreader;
    size_t x = 0;
    for (; x + n <= width; x += n) {
        switch (from * 4 + to) {
        case kGreyBytes * 4 + kColorBytes:
            StoreWords(GreyWords(hn::PromoteTo(DU32(), hn::LoadU(DQuarterU8(), bytes + x))), outBytes + 4 * x);
            break;
        case kGreyBytes * 4 + kGreyFloats:
            hn::StoreU(hn::Mul(LoadBytesAsFloats(bytes + x), unit), df, outFloats + x);
            break;
        case kGreyBytes * 4 + kColorFloats:
            spreader.store(hn::Mul(LoadBytesAsFloats(bytes + x), unit), one, outFloats + 4 * x);
            break;
        case kColorBytes * 4 + kGreyBytes: {
            VU32 words = LoadWords(bytes + 4 * x);
            VU32 sum = hn::Add(hn::Add(hn::Mul(ComponentOf<2>(words), hn::Set(DU32(), 77u)),
                                       hn::Mul(ComponentOf<1>(words), hn::Set(DU32(), 151u))),
                               hn::Mul(ComponentOf<0>(words), hn::Set(DU32(), 28u)));
            hn::StoreU(hn::DemoteTo(DQuarterU8(), hn::BitCast(DI(), hn::ShiftRight<8>(sum))), DQuarterU8(), outBytes + x);
            break;
        }
        case kColorBytes * 4 + kGreyFloats: {
            VU32 words = LoadWords(bytes + 4 * x);
            hn::StoreU(LuminanceOf(UnitComponent(ComponentOf<2>(words)), UnitComponent(ComponentOf<1>(words)),
                                   UnitComponent(ComponentOf<0>(words))),
                       df, outFloats + x);
            break;
        }
        case kColorBytes * 4 + kColorFloats:
            hn::Store(ReversePixelBytes(hn::LoadU(DU8(), bytes + 4 * x)), DU8(), staged);
            for (size_t k = 0; k < 4; ++k)
                hn::StoreU(hn::Mul(LoadBytesAsFloats(staged + k * n), unit), df, outFloats + 4 * x + k * n);
            break;
        case kGreyFloats * 4 + kGreyBytes:
            StoreUnitAsBytes(hn::LoadU(df, floats + x), outBytes + x);
            break;
        case kGreyFloats * 4 + kColorBytes: {
            VF scaled = hn::Mul(hn::LoadU(df, floats + x), hn::Set(df, 255.0f));
            StoreWords(GreyWords(hn::BitCast(DU32(), ScaledToByteLanes(scaled))), outBytes + 4 * x);
            break;
        }
        case kGreyFloats * 4 + kColorFloats:
            spreader.store(hn::LoadU(df, floats + x), one, outFloats + 4 * x);
            break;
        case kColorFloats * 4 + kGreyBytes:
        case kColorFloats * 4 + kGreyFloats: {
            VF alpha, red, green, blue;
            hn::LoadInterleaved4(df, floats + 4 * x, alpha, red, green, blue);
            VF grey = LuminanceOf(red, green, blue);
            if (to == kGreyFloats)
                hn::StoreU(grey, df, outFloats + x);
            else
                StoreUnitAsBytes(grey, outBytes + x);
            break;
        }
        case kColorFloats * 4 + kColorBytes:
            for (size_t k = 0; k < 4; ++k) StoreUnitAsBytes(hn::LoadU(df, floats + 4 * x + k * n), staged + k * n);
            hn::StoreU(ReversePixelBytes(hn::Load(DU8(), staged)), DU8(), outBytes + 4 * x);
            break;
        default:
            return 0;
        }
    }
    return x;
}

// The alpha of colour pixels (kColorBytes or kColorFloats) as grey pixels.
size_t ExtractAlphaRow(int from, const void* src, void* dst, size_t width) {
    const DF df;
    const size_t n = hn::Lanes(df);
    size_t x = 0;
    for (; x + n <= width; x += n) {
        if (from == kColorBytes) {
            VU32 alpha = ComponentOf<3>(LoadWords(static_cast<const uint8_t*>(src) + 4 * x));
            hn::StoreU(hn::DemoteTo(DQuarterU8(), hn::BitCast(DI(), alpha)), DQuarterU8(),
                       static_cast<uint8_t*>(dst) + x);
        } else {
            VF alpha, red, green, blue;
            hn::LoadInterleaved4(df, static_cast<const float*>(src) + 4 * x, alpha, red, green, blue);
            hn::StoreU(alpha, df, static_cast<float*>(dst) + x);
        }
    }
    return x;
}

// Colour pixels of src with the alpha taken from grey pixels of the matching class.
size_t InsertAlphaRow(int to, const void* src, const void* alpha, void* dst, size_t width) {
    const DF df;
    const size_t n = hn::Lanes(df);
    QvGreySpreader spreader;
    size_t x = 0;
    for (; x + n <= width; x += n) {
        if (to == kColorBytes) {
            VU32 words = hn::And(LoadWords(static_cast<const uint8_t*>(src) + 4 * x), hn::Set(DU32(), 0x00FFFFFFu));
            VU32 grey = hn::PromoteTo(DU32(), hn::LoadU(DQuarterU8(), static_cast<const uint8_t*>(alpha) + x));
            StoreWords(hn::Or(words, hn::ShiftLeft<24>(grey)), static_cast<uint8_t*>(dst) + 4 * x);
        } else {
            spreader.storeAlpha(hn::LoadU(df, static_cast<const float*>(alpha) + x),
                                static_cast<const float*>(src) + 4 * x, static_cast<float*>(dst) + 4 * x);
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

HWY_EXPORT(ConvertRow);
HWY_EXPORT(ExtractAlphaRow);
HWY_EXPORT(InsertAlphaRow);

namespace {

template <class P>
void copyRows(QvPlane<P> dst, QvPlane<const P> src) {
    size_t rowBytes = static_cast<size_t>(dst.width) * sizeof(P);
    if (dst.empty()) return;
    if (dst.stride == src.stride && static_cast<size_t>(dst.stride) == rowBytes) {
        std::memmove(dst.first, src.first, rowBytes * dst.height);
        return;
    }
    for (int y = 0; y < dst.height; ++y) std::memmove(dst.row(y), src.row(y), rowBytes);
}

template <class D, class S>
void convertVectors(QvPlane<D> dst, QvPlane<const S> src) {
    if constexpr (std::is_same_v<D, S>) {
        copyRows(dst, src);
    } else {
        for (int y = 0; y < dst.height; ++y) {
            int x = static_cast<int>(
                HWY_DYNAMIC_DISPATCH(ConvertRow)(QvRowLayout<S>::code, QvRowLayout<D>::code, src.row(y), dst.row(y), dst.width));
            Reference::convertPixels<D, S>(dst.window(x, y, dst.width - x, 1), src.window(x, y, dst.width - x, 1));
        }
    }
}

template <class G, class C>
void extractVectors(QvPlane<G> dst, QvPlane<const C> src) {
    for (int y = 0; y < dst.height; ++y) {
        int x = static_cast<int>(HWY_DYNAMIC_DISPATCH(ExtractAlphaRow)(QvRowLayout<C>::code, src.row(y), dst.row(y), dst.width));
        Reference::extractAlpha<G, C>(dst.window(x, y, dst.width - x, 1), src.window(x, y, dst.width - x, 1));
    }
}

// Nearest-neighbour resampling with the source columns worked out once per call.
template <class P>
void resizeRows(QvPlane<P> dst, QvPlane<const P> src) {
    std::vector<int> columns(static_cast<size_t>(std::max(dst.width, 0)));
    for (int x = 0; x < dst.width; ++x) columns[x] = static_cast<int>(int64_t{x} * src.width / dst.width);
    for (int y = 0; y < dst.height; ++y) {
        P* d = dst.row(y);
        const P* s = src.row(static_cast<int>(int64_t{y} * src.height / dst.height));
        for (int x = 0; x < dst.width; ++x) d[x] = s[columns[x]];
    }
}

constexpr int kPieceWidth = 512;

template <class C, class M>
void replaceAlphaVectors(QvPlane<C> dst, QvPlane<const C> src, QvPlane<const M> mask) {
    using G = typename Reference::QvGreyClass<C>::type;
    G alpha[kPieceWidth];
    for (int y = 0; y < dst.height; ++y) {
        int x = 0;
        for (int done = kPieceWidth; x < dst.width && done == kPieceWidth;) {
            int piece = std::min(kPieceWidth, dst.width - x);
            convertPixels(QvPlane<G>{alpha, 0, piece, 1}, mask.window(x, y, piece, 1));
            done = static_cast<int>(
                HWY_DYNAMIC_DISPATCH(InsertAlphaRow)(QvRowLayout<C>::code, src.row(y) + x, alpha, dst.row(y) + x, piece));
            x += done;
        }
        Reference::replaceAlpha<C, M>(dst.window(x, y, dst.width - x, 1), src.window(x, y, dst.width - x, 1),
                                      mask.window(x, y, dst.width - x, 1));
    }
}

}  // namespace

#define QV_CONVERT(D, S) \
    void convertPixels(QvPlane<D> dst, QvPlane<const S> src) { convertVectors<D, S>(dst, src); }
QV_CONVERT(bgPix, bgPix)
QV_CONVERT(bgPix, bcPix)
QV_CONVERT(bgPix, fgPix)
QV_CONVERT(bgPix, fcPix)
QV_CONVERT(bcPix, bgPix)
QV_CONVERT(bcPix, bcPix)
QV_CONVERT(bcPix, fgPix)
QV_CONVERT(bcPix, fcPix)
QV_CONVERT(fgPix, bgPix)
QV_CONVERT(fgPix, bcPix)
QV_CONVERT(fgPix, fgPix)
QV_CONVERT(fgPix, fcPix)
QV_CONVERT(fcPix, bgPix)
QV_CONVERT(fcPix, bcPix)
QV_CONVERT(fcPix, fgPix)
QV_CONVERT(fcPix, fcPix)
#undef QV_CONVERT

#define QV_PER_CLASS(P)                                                                                    \
    void fillPixels(QvPlane<P> dst, P value) { Reference::fillPixels(dst, value); }                        \
    void resizeNearest(QvPlane<P> dst, QvPlane<const P> src) { resizeRows<P>(dst, src); }
QV_PER_CLASS(bgPix)
QV_PER_CLASS(bcPix)
QV_PER_CLASS(fgPix)
QV_PER_CLASS(fcPix)
#undef QV_PER_CLASS

void extractAlpha(QvPlane<bgPix> dst, QvPlane<const bcPix> src) { extractVectors<bgPix, bcPix>(dst, src); }
void extractAlpha(QvPlane<fgPix> dst, QvPlane<const fcPix> src) { extractVectors<fgPix, fcPix>(dst, src); }

#define QV_REPLACE_ALPHA(C, M)                                                           \
    void replaceAlpha(QvPlane<C> dst, QvPlane<const C> src, QvPlane<const M> mask) { \
        replaceAlphaVectors<C, M>(dst, src, mask);                                       \
    }
QV_REPLACE_ALPHA(bcPix, bgPix)
QV_REPLACE_ALPHA(bcPix, bcPix)
QV_REPLACE_ALPHA(bcPix, fgPix)
QV_REPLACE_ALPHA(bcPix, fcPix)
QV_REPLACE_ALPHA(fcPix, bgPix)
QV_REPLACE_ALPHA(fcPix, bcPix)
QV_REPLACE_ALPHA(fcPix, fgPix)
QV_REPLACE_ALPHA(fcPix, fcPix)
#undef QV_REPLACE_ALPHA

}  // namespace QvKernels
#endif  // HWY_ONCE
