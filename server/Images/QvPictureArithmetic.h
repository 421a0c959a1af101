#pragma once
#include "Images/QvPixelStorage.h"
#include "Values/QvColor.h"

// The four operators on pictures, writing into `result` (of the left picture's class
// and size; it may be the left picture itself). Byte pictures follow the integer byte
// rules: add and subtract quantise the constant to trunc(255 |c|), its sign choosing
// the direction, and saturate; multiply scales by k = trunc(255 c) (0..65025) as
// min(p k / 255, 255); divide works on the 0-1 scale and stores by the float-to-byte
// rule. Constants never change alpha.
namespace QvPictureArithmetic {

enum class Operator { Add, Subtract, Multiply, Divide };

// Every pixel combined with the colour (grey pictures: its luminance).
void withConstant(Operator op, const QvPixelStorage& left, const QvColor& constant, QvPixelStorage& result);

// Whether the left class accepts a right operand of that class.
bool accepts(QvPixelClass left, QvPixelClass right);

// The overlap of the two pictures combined pixel by pixel; the right pixel is first
// converted to the left class's scale. A grey right operand combines with red, green
// and blue and keeps the left alpha; a colour one combines all four components,
// except that subtraction keeps the left alpha.
void withPicture(Operator op, const QvPixelStorage& left, const QvPixelStorage& right, QvPixelStorage& result);

}  // namespace QvPictureArithmetic
