#pragma once
#include "Images/QvPixelStorage.h"
#include "Values/QvColor.h"

// Operations pixel by pixel: alpha, binary extremes, ranges and number functions.
namespace QvPictureChannels {

// The alpha channel of a colour picture as a grey picture of the same depth.
QvPixelStorage alpha(const QvPixelStorage& picture);
// A copy of the colour picture whose alpha, over the overlap, is the mask's grey
// level on the picture's scale.
QvPixelStorage withAlpha(const QvPixelStorage& picture, const QvPixelStorage& mask);
// Per pixel, the pixel of lesser (greater) luminance 0.3 R + 0.59 G + 0.11 B; ties
// take `other`'s, which is converted to the picture's class and covers it.
QvPixelStorage lesser(const QvPixelStorage& picture, const QvPixelStorage& other);
QvPixelStorage greater(const QvPixelStorage& picture, const QvPixelStorage& other);
// Pixels whose red, green and blue lie within low..high on the 0-1 scale (grey
// pictures: the grey between the luminances) take the replacement colour; alpha kept.
QvPixelStorage replaced(const QvPixelStorage& picture, const QvColor& low, const QvColor& high,
                        const QvColor& replacement, bool inclusive);
// Per channel (p - low) / (high - low), 0 where the range is empty; alpha kept.
QvPixelStorage normalized(const QvPixelStorage& picture, const QvColor& low, const QvColor& high);

enum class Function { Sqrt, Log, Abs, Pow };
// The number function applied to each component of a float picture (alpha kept).
QvPixelStorage applied(const QvPixelStorage& picture, Function function, double exponent = 0);

}  // namespace QvPictureChannels
