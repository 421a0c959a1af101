#pragma once
#include "Images/QvPixelStorage.h"
#include "Values/QvColor.h"

// Pictures resampled, cut, woven and transformed.
namespace QvPictureGeometry {

// Nearest neighbour: pixel (x, y) takes source (trunc(x W / w), trunc(y H / h)). An
// empty source gives opaque black.
QvPixelStorage resize(const QvPixelStorage& source, int32_t width, int32_t height);
// The rectangle [x0, x1) x [y0, y1), which lies inside the source.
QvPixelStorage crop(const QvPixelStorage& source, int32_t x0, int32_t y0, int32_t x1, int32_t y1);
// A copy grown (with zero pixels) to at least width x height.
QvPixelStorage grown(const QvPixelStorage& source, int64_t width, int64_t height);
// Rows of `even` at 0, 2, 4 ... and of `odd` at 1, 3, 5 ...; same class and width.
QvPixelStorage interlace(const QvPixelStorage& even, const QvPixelStorage& odd);
// Every second row from `first`.
QvPixelStorage everySecondRow(const QvPixelStorage& source, int32_t first);
// The picture under the matrix (a b; c d), sampled bilinearly by the affine kernel;
// the background (opaque) fills what no source pixel covers.
QvPixelStorage affine(const QvPixelStorage& source, double a, double b, double c, double d,
                      const QvColor& background);

}  // namespace QvPictureGeometry
