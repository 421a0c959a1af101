#pragma once
#include "Kernels/QvPixelClasses.h"

// Whole-rectangle copies, fills and class conversions. Each converts the pixels of
// src into dst over dst's width and height (src must be at least that large) by the
// per-pixel convertPixel rules of QvPixelRules.h. A frame row and a 32-bit ARGB row
// share one layout, so QvArgbPlane turns a gworld into a frame plane for these.
// dst and src must not overlap unless they are the same rectangle of the same class.
namespace QvKernels {

void convertPixels(QvPlane<bgPix> dst, QvPlane<const bgPix> src);
void convertPixels(QvPlane<bgPix> dst, QvPlane<const bcPix> src);
void convertPixels(QvPlane<bgPix> dst, QvPlane<const fgPix> src);
void convertPixels(QvPlane<bgPix> dst, QvPlane<const fcPix> src);
void convertPixels(QvPlane<bcPix> dst, QvPlane<const bgPix> src);
void convertPixels(QvPlane<bcPix> dst, QvPlane<const bcPix> src);
void convertPixels(QvPlane<bcPix> dst, QvPlane<const fgPix> src);
void convertPixels(QvPlane<bcPix> dst, QvPlane<const fcPix> src);
void convertPixels(QvPlane<fgPix> dst, QvPlane<const bgPix> src);
void convertPixels(QvPlane<fgPix> dst, QvPlane<const bcPix> src);
void convertPixels(QvPlane<fgPix> dst, QvPlane<const fgPix> src);
void convertPixels(QvPlane<fgPix> dst, QvPlane<const fcPix> src);
void convertPixels(QvPlane<fcPix> dst, QvPlane<const bgPix> src);
void convertPixels(QvPlane<fcPix> dst, QvPlane<const bcPix> src);
void convertPixels(QvPlane<fcPix> dst, QvPlane<const fgPix> src);
void convertPixels(QvPlane<fcPix> dst, QvPlane<const fcPix> src);

// Every pixel of dst becomes value.
void fillPixels(QvPlane<bgPix> dst, bgPix value);
void fillPixels(QvPlane<bcPix> dst, bcPix value);
void fillPixels(QvPlane<fgPix> dst, fgPix value);
void fillPixels(QvPlane<fcPix> dst, fcPix value);

// Nearest-neighbour resampling of the whole of src onto the whole of dst: pixel
// (x, y) of a w x h dst takes src pixel (x * W / w, y * H / h) of the W x H src, in
// exact integer arithmetic. src must not be empty.
void resizeNearest(QvPlane<bgPix> dst, QvPlane<const bgPix> src);
void resizeNearest(QvPlane<bcPix> dst, QvPlane<const bcPix> src);
void resizeNearest(QvPlane<fgPix> dst, QvPlane<const fgPix> src);
void resizeNearest(QvPlane<fcPix> dst, QvPlane<const fcPix> src);

// Alpha channels: extractAlpha writes the alpha of every src pixel as a grey pixel.
// replaceAlpha writes src's red, green and blue with the alpha taken from the mask
// pixel at the same position converted to dst's grey class (the mask of any class,
// at least dst's size; dst may be src).
void extractAlpha(QvPlane<bgPix> dst, QvPlane<const bcPix> src);
void extractAlpha(QvPlane<fgPix> dst, QvPlane<const fcPix> src);
void replaceAlpha(QvPlane<bcPix> dst, QvPlane<const bcPix> src, QvPlane<const bgPix> mask);
void replaceAlpha(QvPlane<bcPix> dst, QvPlane<const bcPix> src, QvPlane<const bcPix> mask);
void replaceAlpha(QvPlane<bcPix> dst, QvPlane<const bcPix> src, QvPlane<const fgPix> mask);
void replaceAlpha(QvPlane<bcPix> dst, QvPlane<const bcPix> src, QvPlane<const fcPix> mask);
void replaceAlpha(QvPlane<fcPix> dst, QvPlane<const fcPix> src, QvPlane<const bgPix> mask);
void replaceAlpha(QvPlane<fcPix> dst, QvPlane<const fcPix> src, QvPlane<const bcPix> mask);
void replaceAlpha(QvPlane<fcPix> dst, QvPlane<const fcPix> src, QvPlane<const fgPix> mask);
void replaceAlpha(QvPlane<fcPix> dst, QvPlane<const fcPix> src, QvPlane<const fcPix> mask);

}  // namespace QvKernels
