// The affine transform: vector rows gather the four neighbours of each position for
// frames, image_mono and image pictures; frame_mono and pictures too large for 32-bit
// gather indexes use the reference.
#include <algorithm>

#include "Kernels/QvConvertKernels.h"
#include "Kernels/QvFilterKernels.h"
#include "Kernels/QvKernelRows.h"
#include "Kernels/Reference/QvFilterReference.h"

#ifndef QV_AFFINE_SOURCE
#define QV_AFFINE_SOURCE
namespace QvKernels {
// What a vector row needs to know of the transform and its source.
struct QvAffineSource {
    const void* first;
    int32_t strideWords;  // stride in 32-bit words
    int width, height;
    float a, b, c, d, determinant;
};
}  // namespace QvKernels
#endif

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "Kernels/QvAffineKernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "Kernels/QvKernelVectors-inl.h"

HWY_BEFORE_NAMESPACE();
namespace QvKernels {
namespace HWY_NAMESPACE {
#if HWY_TARGET == HWY_SCALAR
size_t AffineRow(int, const QvAffineSource*, int, const void*, void*, size_t) { return 0; }
#else

using VI = hn::Vec<DI>;
using MF = hn::Mask<DF>;

// The four neighbours of the positions of one vector of destination pixels.
struct QvNeighbours {
    MF inside;         // at least one neighbour inside (and the position finite)
    VF fx, fy;         // fractional parts
    VI index[4];       // word index of (x0, y0), (x0 + 1, y0), (x0, y0 + 1), (x0 + 1, y0 + 1); 0 when outside
    hn::Mask<DI> valid[4];
};

HWY_INLINE QvNeighbours Neighbours(const QvAffineSource& s, int y, size_t x, int wordsPerPixel) {
    const DF df;
    const DI di;
    const VF xf = hn::Add(hn::Iota(df, 0.0f), hn::Set(df, static_cast<float>(x)));
    const VF yf = hn::Set(df, static_cast<float>(y));
    const VF determinant = hn::Set(df, s.determinant);
    VF u = hn::Div(hn::Sub(hn::Mul(hn::Set(df, s.d), xf), hn::Mul(hn::Set(df, s.b), yf)), determinant);
    VF v = hn::Div(hn::Sub(hn::Mul(hn::Set(df, s.a), yf), hn::Mul(hn::Set(df, s.c), xf)), determinant);
    QvNeighbours n;
    const VF minusOne = hn::Set(df, -1.0f);
    n.inside = hn::And(hn::And(hn::Ge(u, minusOne), hn::Lt(u, hn::Set(df, static_cast<float>(s.width)))),
                       hn::And(hn::Ge(v, minusOne), hn::Lt(v, hn::Set(df, static_cast<float>(s.height)))));
    u = hn::IfThenElseZero(n.inside, u);
    v = hn::IfThenElseZero(n.inside, v);
    const VF x0f = hn::Floor(u), y0f = hn::Floor(v);
    n.fx = hn::Sub(u, x0f);
    n.fy = hn::Sub(v, y0f);
    const VI x0 = hn::ConvertTo(di, x0f), y0 = hn::ConvertTo(di, y0f), one = hn::Set(di, 1);
    const auto inside = hn::RebindMask(di, n.inside);
    const VI minus = hn::Set(di, -1);
    const auto left = hn::Gt(x0, minus), top = hn::Gt(y0, minus);
    const auto right = hn::Gt(hn::Set(di, s.width), hn::Add(x0, one));
    const auto bottom = hn::Gt(hn::Set(di, s.height), hn::Add(y0, one));
    n.valid[0] = hn::And(inside, hn::And(left, top));
    n.valid[1] = hn::And(inside, hn::And(right, top));
    n.valid[2] = hn::And(inside, hn::And(left, bottom));
    n.valid[3] = hn::And(inside, hn::And(right, bottom));
    const VI base = hn::Add(hn::Mul(y0, hn::Set(di, s.strideWords)), hn::Mul(x0, hn::Set(di, wordsPerPixel)));
    const VI step = hn::Set(di, wordsPerPixel), down = hn::Set(di, s.strideWords);
    const VI corner[4] = {base, hn::Add(base, step), hn::Add(base, down), hn::Add(hn::Add(base, down), step)};
    for (int k = 0; k < 4; ++k) n.index[k] = hn::IfThenElseZero(n.valid[k], corner[k]);
    return n;
}

// Frames: 8-bit weights per pixel, components blended in 32-bit lanes and rounded.
HWY_INLINE hn::Vec<DU32> BlendFrame(const QvAffineSource& s, const QvNeighbours& n, uint32_t background) {
    const DI di;
    const DU32 du;
    const int32_t* words = static_cast<const int32_t*>(s.first);
    VI p[4];
    for (int k = 0; k < 4; ++k)
        p[k] = hn::IfThenElse(n.valid[k], hn::GatherIndex(di, words, n.index[k]),
                              hn::Set(di, static_cast<int32_t>(background)));
    const VF half = hn::Set(DF(), 0.5f), scale = hn::Set(DF(), 256.0f);
    const VI wx = hn::ConvertTo(di, hn::Add(hn::Mul(n.fx, scale), half));
    const VI wy = hn::ConvertTo(di, hn::Add(hn::Mul(n.fy, scale), half));
    const VI full = hn::Set(di, 256), gx = hn::Sub(full, wx), gy = hn::Sub(full, wy);
    hn::Vec<DU32> result = hn::Zero(du);
    for (int shift = 0; shift < 32; shift += 8) {
        auto channel = [&](VI word) {
            return hn::BitCast(di, hn::And(hn::ShiftRightSame(hn::BitCast(du, word), shift), hn::Set(du, 255u)));
        };
        VI top = hn::Add(hn::Mul(channel(p[0]), gx), hn::Mul(channel(p[1]), wx));
        VI bottom = hn::Add(hn::Mul(channel(p[2]), gx), hn::Mul(channel(p[3]), wx));
        VI blended = hn::ShiftRight<16>(hn::Add(hn::Add(hn::Mul(top, gy), hn::Mul(bottom, wy)), hn::Set(di, 32768)));
        result = hn::Or(result, hn::ShiftLeftSame(hn::BitCast(du, blended), shift));
    }
    return hn::IfThenElse(hn::RebindMask(du, n.inside), result, hn::Set(du, background));
}

// Float components: (p00 gx + p10 fx) gy + (p01 gx + p11 fx) fy, in that order.
HWY_INLINE VF BlendFloats(const float* first, const QvNeighbours& n, int component, float background) {
    const DF df;
    const DI di;
    const VF fill = hn::Set(df, background);
    VF p[4];
    for (int k = 0; k < 4; ++k)
        p[k] = hn::IfThenElse(hn::RebindMask(df, n.valid[k]),
                              hn::GatherIndex(df, first, hn::Add(n.index[k], hn::Set(di, component))), fill);
    const VF one = hn::Set(df, 1.0f), gx = hn::Sub(one, n.fx), gy = hn::Sub(one, n.fy);
    VF blended = hn::Add(hn::Mul(hn::Add(hn::Mul(p[0], gx), hn::Mul(p[1], n.fx)), gy),
                         hn::Mul(hn::Add(hn::Mul(p[2], gx), hn::Mul(p[3], n.fx)), n.fy));
    return hn::IfThenElse(n.inside, CanonicalNaN(blended), fill);
}

// One row y of `width` destination pixels of class `code`; returns the pixels done
// (all, the last vector overlapping the one before, or none when fewer than a vector).
size_t AffineRow(int code, const QvAffineSource* source, int y, const void* background, void* dst, size_t width) {
    const DF df;
    const size_t n = hn::Lanes(df);
    if (width < n) return 0;
    const QvAffineSource& s = *source;
    auto one = [&](size_t x) {
        if (code == kColorBytes) {
            QvNeighbours near = Neighbours(s, y, x, 1);
            hn::StoreU(BlendFrame(s, near, *static_cast<const uint32_t*>(background)), DU32(),
                       static_cast<uint32_t*>(dst) + x);
        } else if (code == kGreyFloats) {
            QvNeighbours near = Neighbours(s, y, x, 1);
            hn::StoreU(BlendFloats(static_cast<const float*>(s.first), near, 0, *static_cast<const float*>(background)),
                       df, static_cast<float*>(dst) + x);
        } else {
            QvNeighbours near = Neighbours(s, y, x, 4);
            const float* fill = static_cast<const float*>(background);
            const float* first = static_cast<const float*>(s.first);
            hn::StoreInterleaved4(BlendFloats(first, near, 0, fill[0]), BlendFloats(first, near, 1, fill[1]),
                                  BlendFloats(first, near, 2, fill[2]), BlendFloats(first, near, 3, fill[3]), df,
                                  static_cast<float*>(dst) + 4 * x);
        }
    };
    size_t x = 0;
    for (; x + n <= width; x += n) one(x);
    if (x < width) one(width - n);
    return width;
}

#endif  // HWY_TARGET == HWY_SCALAR
}  // namespace HWY_NAMESPACE
}  // namespace QvKernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace QvKernels {

HWY_EXPORT(AffineRow);

namespace {

// Whether the vector rows can address every source pixel with 32-bit word indexes.
template <class P>
bool gathersReach(QvPlane<const P> src) {
    return src.stride % 4 == 0 && src.stride / 4 * static_cast<int64_t>(src.height) < (int64_t{1} << 31);
}

template <class P>
void transformVectors(QvPlane<P> dst, QvPlane<const P> src, const QvAffineMatrix& matrix, P background) {
    if (Reference::isIdentity(matrix)) {
        const int width = std::min(dst.width, src.width), height = std::min(dst.height, src.height);
        convertPixels(dst.window(0, 0, width, height), src.window(0, 0, width, height));
        fillPixels(dst.window(width, 0, dst.width - width, height), background);
        fillPixels(dst.window(0, height, dst.width, dst.height - height), background);
        return;
    }
    if (Reference::isSingular(matrix) || src.empty()) {
        fillPixels(dst, background);
        return;
    }
    if (std::is_same_v<P, bgPix> || !gathersReach(src)) {
        Reference::transformAffine(dst, src, matrix, background);
        return;
    }
    const QvAffineSource source{src.first,
                                static_cast<int32_t>(src.stride / 4),
                                src.width,
                                src.height,
                                static_cast<float>(matrix.a),
                                static_cast<float>(matrix.b),
                                static_cast<float>(matrix.c),
                                static_cast<float>(matrix.d),
                                static_cast<float>(matrix.a * matrix.d - matrix.b * matrix.c)};
    const Reference::QvAffineMapping mapping(matrix);
    for (int y = 0; y < dst.height; ++y) {
        P* d = dst.row(y);
        int x = static_cast<int>(
            HWY_DYNAMIC_DISPATCH(AffineRow)(QvRowLayout<P>::code, &source, y, &background, d, dst.width));
        for (; x < dst.width; ++x)
            d[x] = Reference::sampleBilinear(src, mapping.u(float(x), float(y)), mapping.v(float(x), float(y)),
                                             background);
    }
}

}  // namespace

#define QV_AFFINE(P)                                                                                        \
    void transformAffine(QvPlane<P> dst, QvPlane<const P> src, const QvAffineMatrix& matrix, P background) { \
        transformVectors<P>(dst, src, matrix, background);                                                  \
    }
QV_AFFINE(bgPix)
QV_AFFINE(bcPix)
QV_AFFINE(fgPix)
QV_AFFINE(fcPix)
#undef QV_AFFINE

}  // namespace QvKernels
#endif  // HWY_ONCE
