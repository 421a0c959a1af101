#pragma once
#include "Images/QvPixelStorage.h"

// Window filters over whole pictures by the filter kernels; both yield to the
// scheduler between bands of rows, so a long filter can be interrupted.
namespace QvPictureFilters {

// The kernel's weights are the kernel picture on the 0-1 scale: grey for a grey
// source or kernel, colour otherwise.
QvPixelStorage convolve(const QvPixelStorage& source, const QvPixelStorage& kernel);

// The number of mask pixels whose grey, red, green or blue is not zero.
int64_t maskCount(const QvPixelStorage& mask);
// The rank-order filter of the non-zero mask pixels; the mask has at least one.
QvPixelStorage median(const QvPixelStorage& source, const QvPixelStorage& mask, double rank);

}  // namespace QvPictureFilters
