#pragma once
#include "Images/QvPixelStorage.h"

// Window filters. The window of (x, y) spans the kernel's half sizes kx = (w - 1) / 2 and
// ky = (h - 1) / 2 and is mirrored (source (x + dx, y + dy) meets kernel (kx - dx,
// ky - dy)). Source coordinates outside wrap: c < 0 becomes c + size, c >= size
// becomes c - size + 1, and where that still lands outside, c modulo size. Both
// yield to the scheduler once per row.
namespace QvPictureFilters {

// Taps rows outer, columns inner, accumulated in float on the 0-1 scale for every
// component; the kernel is converted to the picture's class. A grey kernel on a
// colour picture keeps the source alpha.
QvPixelStorage convolve(const QvPixelStorage& source, const QvPixelStorage& kernel);

// The number of mask pixels whose grey, red, green or blue is not zero.
int64_t maskCount(const QvPixelStorage& mask);
// Rank-order filter: the samples under the non-zero mask pixels, in mask order,
// sorted stably by grey level (colour pictures move whole pixels), and the one at
// position trunc(N rank) limited to 0..N-1 taken. The mask has at least one non-zero
// pixel.
QvPixelStorage median(const QvPixelStorage& source, const QvPixelStorage& mask, double rank);

}  // namespace QvPictureFilters
