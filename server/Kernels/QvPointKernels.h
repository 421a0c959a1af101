#pragma once
#include "Kernels/QvPixelClasses.h"
#include "Values/QvColor.h"

// Pixel-by-pixel operations other than the four operators, over dst's width and
// height (sources at least that large; dst may be the first source).
namespace QvKernels {

// The number functions on float pictures: every grey value, or red, green and blue of
// a colour pixel (alpha kept), becomes float(f(double(p))): sqrt, log10, fabs, and
// pow(p, exponent).
enum class QvPixelFunction { squareRoot, logarithm, absolute };
void applyFunction(QvPixelFunction function, QvPlane<fgPix> dst, QvPlane<const fgPix> src);
void applyFunction(QvPixelFunction function, QvPlane<fcPix> dst, QvPlane<const fcPix> src);
void raiseToPower(QvPlane<fgPix> dst, QvPlane<const fgPix> src, double exponent);
void raiseToPower(QvPlane<fcPix> dst, QvPlane<const fcPix> src, double exponent);

// Binary minimum and maximum: every dst pixel is the whole pixel (alpha included) of
// a or b whose brightness is smaller (larger); ties, and NaN brightness, take b's.
// Brightness: the grey value; frames the exact 30 R + 59 G + 11 B; image
// 0.3 R + 0.59 G + 0.11 B in double with double constants.
void binaryMinimum(QvPlane<bgPix> dst, QvPlane<const bgPix> a, QvPlane<const bgPix> b);
void binaryMinimum(QvPlane<bcPix> dst, QvPlane<const bcPix> a, QvPlane<const bcPix> b);
void binaryMinimum(QvPlane<fgPix> dst, QvPlane<const fgPix> a, QvPlane<const fgPix> b);
void binaryMinimum(QvPlane<fcPix> dst, QvPlane<const fcPix> a, QvPlane<const fcPix> b);
void binaryMaximum(QvPlane<bgPix> dst, QvPlane<const bgPix> a, QvPlane<const bgPix> b);
void binaryMaximum(QvPlane<bcPix> dst, QvPlane<const bcPix> a, QvPlane<const bcPix> b);
void binaryMaximum(QvPlane<fgPix> dst, QvPlane<const fgPix> a, QvPlane<const fgPix> b);
void binaryMaximum(QvPlane<fcPix> dst, QvPlane<const fcPix> a, QvPlane<const fcPix> b);

// Replace: a pixel within low..high becomes `replacement` (the whole pixel); the others
// are copied. A colour pixel is within when each of red, green and blue on the 0-1
// scale (unitFromByte for bytes) lies in [low, high], or in (low, high) when not
// inclusive, compared in double; a grey pixel compares its grey value with the grey
// bounds (the caller passes the luminances of the bound colours).
void replaceRange(QvPlane<bgPix> dst, QvPlane<const bgPix> src, double low, double high, bool inclusive,
                  bgPix replacement);
void replaceRange(QvPlane<bcPix> dst, QvPlane<const bcPix> src, const QvColor& low, const QvColor& high,
                  bool inclusive, bcPix replacement);
void replaceRange(QvPlane<fgPix> dst, QvPlane<const fgPix> src, double low, double high, bool inclusive,
                  fgPix replacement);
void replaceRange(QvPlane<fcPix> dst, QvPlane<const fcPix> src, const QvColor& low, const QvColor& high,
                  bool inclusive, fcPix replacement);

// Normalize: each grey value, or red, green and blue, becomes (p - low) / (high - low)
// in single precision, with p on the 0-1 scale and the bounds as floats; a component
// whose range high - low is 0 gives 0. Alpha is kept; bytes are stored by byteFromUnit.
void normalizeRange(QvPlane<bgPix> dst, QvPlane<const bgPix> src, double low, double high);
void normalizeRange(QvPlane<bcPix> dst, QvPlane<const bcPix> src, const QvColor& low, const QvColor& high);
void normalizeRange(QvPlane<fgPix> dst, QvPlane<const fgPix> src, double low, double high);
void normalizeRange(QvPlane<fcPix> dst, QvPlane<const fcPix> src, const QvColor& low, const QvColor& high);

}  // namespace QvKernels
