#pragma once
#include "Kernels/QvPixelClasses.h"
#include "Values/QvColor.h"

// The four arithmetic operators on pictures, over dst's width and height (the
// operands must be at least that large; dst may be the left operand itself, for
// arithmetic in place). Rules, with p the left pixel's component:
//
// With a constant (a number or colour on the 0-1 scale; grey classes take one grey
// value, which the caller makes from a colour by its luminance). Alpha never changes.
//   frame_mono, frame (per component c of the constant):
//     add       p + byteStep(c), limited to 0..255 (a negative c subtracts)
//     subtract  p - byteStep(c), limited to 0..255
//     multiply  multiplyByte(p, byteFactor(c))
//     divide    byteFromUnit(unitFromByte(p) / float(c)) (0/0 gives 0, p/0 gives 255)
//   image_mono, image: p op float(c) in single precision, unclamped.
//
// With a second picture (right): its pixel is first converted to the left class
// (convertPixel). Bytes: add min(p + q, 255); subtract max(p - q, 0); multiply
// p q / 255 (integer, truncating); divide byteFromUnit(unitFromByte(p) / unitFromByte(q)).
// Floats: p op q in single precision, unclamped. A colour right operand combines all
// four components except that subtract keeps the left alpha; a grey right operand
// on a colour left combines red, green and blue and keeps the left alpha.
enum class QvPixelOperator { add, subtract, multiply, divide };

namespace QvKernels {

void combineWithConstant(QvPixelOperator op, QvPlane<bgPix> dst, QvPlane<const bgPix> left, double grey);
void combineWithConstant(QvPixelOperator op, QvPlane<bcPix> dst, QvPlane<const bcPix> left, const QvColor& color);
void combineWithConstant(QvPixelOperator op, QvPlane<fgPix> dst, QvPlane<const fgPix> left, double grey);
void combineWithConstant(QvPixelOperator op, QvPlane<fcPix> dst, QvPlane<const fcPix> left, const QvColor& color);

// The pairs the value types accept, left class first.
void combinePictures(QvPixelOperator op, QvPlane<bgPix> dst, QvPlane<const bgPix> left, QvPlane<const bgPix> right);
void combinePictures(QvPixelOperator op, QvPlane<bcPix> dst, QvPlane<const bcPix> left, QvPlane<const bgPix> right);
void combinePictures(QvPixelOperator op, QvPlane<bcPix> dst, QvPlane<const bcPix> left, QvPlane<const bcPix> right);
void combinePictures(QvPixelOperator op, QvPlane<fgPix> dst, QvPlane<const fgPix> left, QvPlane<const bgPix> right);
void combinePictures(QvPixelOperator op, QvPlane<fgPix> dst, QvPlane<const fgPix> left, QvPlane<const fgPix> right);
void combinePictures(QvPixelOperator op, QvPlane<fcPix> dst, QvPlane<const fcPix> left, QvPlane<const bgPix> right);
void combinePictures(QvPixelOperator op, QvPlane<fcPix> dst, QvPlane<const fcPix> left, QvPlane<const bcPix> right);
void combinePictures(QvPixelOperator op, QvPlane<fcPix> dst, QvPlane<const fcPix> left, QvPlane<const fgPix> right);
void combinePictures(QvPixelOperator op, QvPlane<fcPix> dst, QvPlane<const fcPix> left, QvPlane<const fcPix> right);

}  // namespace QvKernels
