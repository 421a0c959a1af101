#pragma once
#include <climits>
#include <vector>

#include "Kernels/QvPixelClasses.h"

// Neighbourhood operations: convolution, the rank-order (median) filter and the
// affine transform. dst and src must not share memory.
namespace QvKernels {

// The rows [begin, end) of dst that a call computes (clipped to the plane), so that a
// caller can yield between bands of rows.
struct QvRowRange {
    int begin = 0;
    int end = INT_MAX;
};

// Where a window of half-sizes (hx, hy) reaches outside a picture of `size` pixels,
// coordinate c wraps: c < 0 becomes c + size, c >= size becomes c - size + 1; a
// coordinate that still lies outside (one-pixel pictures, windows larger than the
// picture) is taken modulo size.
inline int wrapCoordinate(int c, int size) {
    if (c >= 0 && c < size) return c;
    c = c < 0 ? c + size : c - size + 1;
    if (c < 0 || c >= size) c = (c % size + size) % size;
    return c;
}

// Convolution of src (same size as dst) with a kernel of weights on the 0-1 scale.
// With kx = (kernel width - 1) / 2 and ky = (kernel height - 1) / 2, each component of
// dst(x, y) is the sum over dy = -ky..ky (outer) and dx = -kx..kx (inner), in that
// order, of src(x + dx, y + dy) * kernel(kx - dx, ky - dy), accumulated in single
// precision from 0 (a product, then an addition; never fused). Byte pictures
// accumulate their 0..255 values and store the sum by byteFromScaled. A grey kernel
// on a colour picture weights red, green and blue and keeps the alpha of src(x, y);
// a colour kernel weights each component, alpha included, by its own component.
void convolve(QvPlane<bgPix> dst, QvPlane<const bgPix> src, QvPlane<const fgPix> kernel, QvRowRange rows = {});
void convolve(QvPlane<bcPix> dst, QvPlane<const bcPix> src, QvPlane<const fgPix> kernel, QvRowRange rows = {});
void convolve(QvPlane<fgPix> dst, QvPlane<const fgPix> src, QvPlane<const fgPix> kernel, QvRowRange rows = {});
void convolve(QvPlane<fcPix> dst, QvPlane<const fcPix> src, QvPlane<const fgPix> kernel, QvRowRange rows = {});
void convolve(QvPlane<bcPix> dst, QvPlane<const bcPix> src, QvPlane<const fcPix> kernel, QvRowRange rows = {});
void convolve(QvPlane<fcPix> dst, QvPlane<const fcPix> src, QvPlane<const fcPix> kernel, QvRowRange rows = {});

// One sample of a rank-order filter: the source pixel at (x + dx, y + dy).
struct QvMaskTap {
    int dx;
    int dy;
};
// The taps of a mask picture: its pixels in row order whose grey, red, green or blue
// is non-zero, mirrored about the centre ((width - 1) / 2, (height - 1) / 2) as in
// convolution (mask pixel (mx, my) samples dx = cx - mx, dy = cy - my).
std::vector<QvMaskTap> maskTaps(QvPlane<const bgPix> mask);
std::vector<QvMaskTap> maskTaps(QvPlane<const bcPix> mask);
std::vector<QvMaskTap> maskTaps(QvPlane<const fgPix> mask);
std::vector<QvMaskTap> maskTaps(QvPlane<const fcPix> mask);

// The 0-based position of rank (a fraction) among n samples: trunc(n * rank), limited
// to 0..n - 1; NaN gives 0.
int rankPosition(int n, double rank);

// Rank-order filter: for each pixel the samples of the taps (coordinates wrapped by
// wrapCoordinate) are sorted ascending by a stable insertion sort (a sample goes
// after every earlier one whose key is not greater) and the one at
// rankPosition(taps, rank) is written. Keys: grey; frames greyLevel; image the
// luminance; colour pixels move whole. taps must not be empty.
void medianFilter(QvPlane<bgPix> dst, QvPlane<const bgPix> src, const std::vector<QvMaskTap>& taps, double rank,
                  QvRowRange rows = {});
void medianFilter(QvPlane<bcPix> dst, QvPlane<const bcPix> src, const std::vector<QvMaskTap>& taps, double rank,
                  QvRowRange rows = {});
void medianFilter(QvPlane<fgPix> dst, QvPlane<const fgPix> src, const std::vector<QvMaskTap>& taps, double rank,
                  QvRowRange rows = {});
void medianFilter(QvPlane<fcPix> dst, QvPlane<const fcPix> src, const std::vector<QvMaskTap>& taps, double rank,
                  QvRowRange rows = {});

// The 2 x 2 matrix mapping a source position (u, v) to (a u + b v, c u + d v).
struct QvAffineMatrix {
    double a, b, c, d;
};
// Affine transform of src into dst. With D = a d - b c (in double): D of 0 fills dst
// with the background; the identity copies src exactly. Otherwise dst(x, y) samples
// src at u = (d x - b y) / D, v = (a y - c x) / D, computed in single precision from
// float(a), float(b), float(c), float(d), float(D) without fused operations, by
// bilinear interpolation between the four pixels around (u, v) with fx = u - floor(u)
// and fy = v - floor(v); a neighbour outside src counts as the background, and a
// non-finite position, or one whose four neighbours all lie outside, gives the
// background itself. Float pictures interpolate each component as
// (p00 (1 - fx) + p10 fx) (1 - fy) + (p01 (1 - fx) + p11 fx) fy. Byte pictures use
// 8-bit weights wx = trunc(fx * 256 + 0.5), wy likewise, and round:
// ((p00 (256 - wx) + p10 wx) (256 - wy) + (p01 (256 - wx) + p11 wx) wy + 32768) >> 16,
// so that a uniform region keeps its value exactly.
void transformAffine(QvPlane<bgPix> dst, QvPlane<const bgPix> src, const QvAffineMatrix& matrix, bgPix background);
void transformAffine(QvPlane<bcPix> dst, QvPlane<const bcPix> src, const QvAffineMatrix& matrix, bcPix background);
void transformAffine(QvPlane<fgPix> dst, QvPlane<const fgPix> src, const QvAffineMatrix& matrix, fgPix background);
void transformAffine(QvPlane<fcPix> dst, QvPlane<const fcPix> src, const QvAffineMatrix& matrix, fcPix background);

}  // namespace QvKernels
