#pragma once
#include "Images/QvPixelStorage.h"
#include "Kernels/QvArithmeticKernels.h"
#include "Values/QvColor.h"

// The four operators on whole pictures, by the byte and float rules of the arithmetic
// kernels, writing into `result` (of the left picture's class and at least its size;
// it may be the left picture itself).
namespace QvPictureArithmetic {

// Every pixel combined with the colour; grey pictures take its luminance.
void withConstant(QvPixelOperator op, const QvPixelStorage& left, const QvColor& constant, QvPixelStorage& result);

// Whether the left class accepts a right operand of that class (a grey picture takes
// no colour operand, a frame no float one).
constexpr bool accepts(QvPixelClass left, QvPixelClass right) {
    return (QvIsColor(left) || !QvIsColor(right)) && (QvIsFloat(left) || !QvIsFloat(right));
}

// The overlap of the two pictures combined pixel by pixel; pixels of the result
// outside it are left alone. The pair must be accepted.
void withPicture(QvPixelOperator op, const QvPixelStorage& left, const QvPixelStorage& right, QvPixelStorage& result);

}  // namespace QvPictureArithmetic
