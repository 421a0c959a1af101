#pragma once
#include <algorithm>
#include <cmath>
#include <vector>

#include "Kernels/QvFilterKernels.h"
#include "Kernels/Reference/QvPixelComponents.h"

// Per-pixel definitions of the kernels of QvFilterKernels.h.
namespace QvKernels::Reference {

inline QvRowRange clipRows(QvRowRange rows, int height) {
    return {std::max(rows.begin, 0), std::min(rows.end, height)};
}

// The taps of a convolution kernel in summation order, with per-component weights in
// the memory order of the picture's class.
struct QvWeightedTap {
    int dx, dy;
    float weight[4];
};

template <class P>
std::vector<QvWeightedTap> weightedTaps(QvPlane<const fgPix> kernel) {
    std::vector<QvWeightedTap> taps;
    int kx = (kernel.width - 1) / 2, ky = (kernel.height - 1) / 2;
    for (int dy = -ky; dy <= ky; ++dy)
        for (int dx = -kx; dx <= kx; ++dx) {
            float w = kernel.row(ky - dy)[kx - dx].grey;
            taps.push_back({dx, dy, {w, w, w, w}});
        }
    return taps;
}

template <class P>
std::vector<QvWeightedTap> weightedTaps(QvPlane<const fcPix> kernel) {
    std::vector<QvWeightedTap> taps;
    int kx = (kernel.width - 1) / 2, ky = (kernel.height - 1) / 2;
    for (int dy = -ky; dy <= ky; ++dy)
        for (int dx = -kx; dx <= kx; ++dx) {
            QvWeightedTap tap{dx, dy, {}};
            QvComponents<P>::weights(kernel.row(ky - dy)[kx - dx], tap.weight);
            taps.push_back(tap);
        }
    return taps;
}

// One convolved pixel at (x, y); coordinates wrap only when `wrap` is set.
template <class P>
P convolvePixel(QvPlane<const P> src, const std::vector<QvWeightedTap>& taps, int x, int y, bool wrap,
                bool keepAlpha) {
    using C = QvComponents<P>;
    float sum[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    for (const QvWeightedTap& tap : taps) {
        int sx = x + tap.dx, sy = y + tap.dy;
        if (wrap) {
            sx = wrapCoordinate(sx, src.width);
            sy = wrapCoordinate(sy, src.height);
        }
        float c[4];
        C::read(src.row(sy)[sx], c);
        for (int k = 0; k < C::count; ++k) sum[k] = sum[k] + c[k] * tap.weight[k];
    }
    P result;
    C::write(sum, result);
    if constexpr (C::alpha >= 0)
        if (keepAlpha) result.alpha = src.row(y)[x].alpha;
    return result;
}

template <class P, class K>
void convolve(QvPlane<P> dst, QvPlane<const P> src, QvPlane<const K> kernel, QvRowRange rows) {
    std::vector<QvWeightedTap> taps = weightedTaps<P>(kernel);
    bool keepAlpha = std::is_same_v<K, fgPix>;
    rows = clipRows(rows, dst.height);
    for (int y = rows.begin; y < rows.end; ++y) {
        P* d = dst.row(y);
        for (int x = 0; x < dst.width; ++x) d[x] = convolvePixel(src, taps, x, y, true, keepAlpha);
    }
}

template <class P>
std::vector<QvMaskTap> maskTaps(QvPlane<const P> mask) {
    std::vector<QvMaskTap> taps;
    int cx = (mask.width - 1) / 2, cy = (mask.height - 1) / 2;
    for (int my = 0; my < mask.height; ++my)
        for (int mx = 0; mx < mask.width; ++mx) {
            float c[4];
            QvComponents<P>::read(mask.row(my)[mx], c);
            bool counts = false;
            for (int k = 0; k < QvComponents<P>::count; ++k) counts |= k != QvComponents<P>::alpha && c[k] != 0.0f;
            if (counts) taps.push_back({cx - mx, cy - my});
        }
    return taps;
}

// The key a rank-order filter sorts by.
inline int rankKey(const bgPix& p) { return p.grey; }
inline int rankKey(const bcPix& p) { return greyLevel(p); }
inline float rankKey(const fgPix& p) { return p.grey; }
inline float rankKey(const fcPix& p) { return luminance(p.red, p.green, p.blue); }

template <class P>
struct QvRankSample {
    decltype(rankKey(P{})) key;
    P pixel;
};

// The sample at `position` after a stable insertion sort of samples[0..n).
template <class P>
P selectByRank(QvRankSample<P>* samples, int n, int position) {
    for (int i = 1; i < n; ++i) {
        QvRankSample<P> sample = samples[i];
        int j = i;
        while (j > 0 && samples[j - 1].key > sample.key) {
            samples[j] = samples[j - 1];
            --j;
        }
        samples[j] = sample;
    }
    return samples[position].pixel;
}

template <class P>
P medianPixel(QvPlane<const P> src, const std::vector<QvMaskTap>& taps, int position, int x, int y, bool wrap,
              QvRankSample<P>* samples) {
    int n = 0;
    for (const QvMaskTap& tap : taps) {
        int sx = x + tap.dx, sy = y + tap.dy;
        if (wrap) {
            sx = wrapCoordinate(sx, src.width);
            sy = wrapCoordinate(sy, src.height);
        }
        const P& p = src.row(sy)[sx];
        samples[n++] = {rankKey(p), p};
    }
    return selectByRank(samples, n, position);
}

template <class P>
void medianFilter(QvPlane<P> dst, QvPlane<const P> src, const std::vector<QvMaskTap>& taps, double rank,
                  QvRowRange rows) {
    std::vector<QvRankSample<P>> samples(taps.size());
    int position = rankPosition(static_cast<int>(taps.size()), rank);
    rows = clipRows(rows, dst.height);
    for (int y = rows.begin; y < rows.end; ++y) {
        P* d = dst.row(y);
        for (int x = 0; x < dst.width; ++x) d[x] = medianPixel(src, taps, position, x, y, true, samples.data());
    }
}

// The source position that destination pixel (x, y) samples.
class QvAffineMapping {
public:
    explicit QvAffineMapping(const QvAffineMatrix& m)
        : a_(static_cast<float>(m.a)), b_(static_cast<float>(m.b)), c_(static_cast<float>(m.c)),
          d_(static_cast<float>(m.d)), determinant_(static_cast<float>(m.a * m.d - m.b * m.c)) {}
    float u(float x, float y) const { return (d_ * x - b_ * y) / determinant_; }
    float v(float x, float y) const { return (a_ * y - c_ * x) / determinant_; }

private:
    float a_, b_, c_, d_, determinant_;
};

inline bool isIdentity(const QvAffineMatrix& m) { return m.a == 1 && m.b == 0 && m.c == 0 && m.d == 1; }
inline bool isSingular(const QvAffineMatrix& m) { return m.a * m.d - m.b * m.c == 0; }

// Whether position p in a picture of `size` pixels has a neighbour floor(p) or
// floor(p) + 1 inside it (false for NaN and infinities).
inline bool reaches(float p, int size) { return p >= -1.0f && p < static_cast<float>(size); }

template <class P>
struct QvBilinear;

// Byte pictures: 8-bit weights and a rounded result.
template <class P>
struct QvByteBilinear {
    static P blend(const P& p00, const P& p10, const P& p01, const P& p11, float fx, float fy) {
        int wx = static_cast<int>(fx * 256.0f + 0.5f), wy = static_cast<int>(fy * 256.0f + 0.5f);
        float c00[4], c10[4], c01[4], c11[4], out[4];
        QvComponents<P>::read(p00, c00);
        QvComponents<P>::read(p10, c10);
        QvComponents<P>::read(p01, c01);
        QvComponents<P>::read(p11, c11);
        for (int k = 0; k < QvComponents<P>::count; ++k) {
            int top = int(c00[k]) * (256 - wx) + int(c10[k]) * wx;
            int bottom = int(c01[k]) * (256 - wx) + int(c11[k]) * wx;
            out[k] = static_cast<float>((top * (256 - wy) + bottom * wy + 32768) >> 16);
        }
        P result;
        QvComponents<P>::write(out, result);
        return result;
    }
};
template <>
struct QvBilinear<bgPix> : QvByteBilinear<bgPix> {};
template <>
struct QvBilinear<bcPix> : QvByteBilinear<bcPix> {};

template <class P>
struct QvFloatBilinear {
    static P blend(const P& p00, const P& p10, const P& p01, const P& p11, float fx, float fy) {
        float c00[4], c10[4], c01[4], c11[4], out[4];
        QvComponents<P>::read(p00, c00);
        QvComponents<P>::read(p10, c10);
        QvComponents<P>::read(p01, c01);
        QvComponents<P>::read(p11, c11);
        float gx = 1.0f - fx, gy = 1.0f - fy;
        for (int k = 0; k < QvComponents<P>::count; ++k)
            out[k] = (c00[k] * gx + c10[k] * fx) * gy + (c01[k] * gx + c11[k] * fx) * fy;
        P result;
        QvComponents<P>::write(out, result);
        return result;
    }
};
template <>
struct QvBilinear<fgPix> : QvFloatBilinear<fgPix> {};
template <>
struct QvBilinear<fcPix> : QvFloatBilinear<fcPix> {};

template <class P>
P sampleBilinear(QvPlane<const P> src, float u, float v, const P& background) {
    if (!reaches(u, src.width) || !reaches(v, src.height)) return background;
    float x0f = std::floor(u), y0f = std::floor(v);
    int x0 = static_cast<int>(x0f), y0 = static_cast<int>(y0f);
    auto at = [&](int x, int y) -> const P& {
        return x >= 0 && y >= 0 && x < src.width && y < src.height ? src.row(y)[x] : background;
    };
    return QvBilinear<P>::blend(at(x0, y0), at(x0 + 1, y0), at(x0, y0 + 1), at(x0 + 1, y0 + 1), u - x0f, v - y0f);
}

template <class P>
void transformAffine(QvPlane<P> dst, QvPlane<const P> src, const QvAffineMatrix& matrix, P background) {
    QvAffineMapping mapping(matrix);
    bool singular = isSingular(matrix), identity = isIdentity(matrix);
    for (int y = 0; y < dst.height; ++y) {
        P* d = dst.row(y);
        for (int x = 0; x < dst.width; ++x) {
            if (singular)
                d[x] = background;
            else if (identity)
                d[x] = x < src.width && y < src.height ? src.row(y)[x] : background;
            else
                d[x] = sampleBilinear(src, mapping.u(float(x), float(y)), mapping.v(float(x), float(y)), background);
        }
    }
}

}  // namespace QvKernels::Reference
