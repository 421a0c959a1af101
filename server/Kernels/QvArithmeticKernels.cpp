#include "Kernels/QvArithmeticKernels.h"

#include "Kernels/Reference/QvArithmeticReference.h"

namespace QvKernels {

void combineWithConstant(QvPixelOperator op, QvPlane<bgPix> dst, QvPlane<const bgPix> left, double grey) {
    Reference::combineWithConstant(op, dst, left, grey);
}
void combineWithConstant(QvPixelOperator op, QvPlane<bcPix> dst, QvPlane<const bcPix> left, const QvColor& color) {
    Reference::combineWithConstant(op, dst, left, color);
}
void combineWithConstant(QvPixelOperator op, QvPlane<fgPix> dst, QvPlane<const fgPix> left, double grey) {
    Reference::combineWithConstant(op, dst, left, grey);
}
void combineWithConstant(QvPixelOperator op, QvPlane<fcPix> dst, QvPlane<const fcPix> left, const QvColor& color) {
    Reference::combineWithConstant(op, dst, left, color);
}

#define QV_COMBINE(L, R)                                                                                       \
    void combinePictures(QvPixelOperator op, QvPlane<L> dst, QvPlane<const L> left, QvPlane<const R> right) { \
        Reference::combinePictures<L, R>(op, dst, left, right);                                                \
    }
QV_COMBINE(bgPix, bgPix)
QV_COMBINE(bcPix, bgPix)
QV_COMBINE(bcPix, bcPix)
QV_COMBINE(fgPix, bgPix)
QV_COMBINE(fgPix, fgPix)
QV_COMBINE(fcPix, bgPix)
QV_COMBINE(fcPix, bcPix)
QV_COMBINE(fcPix, fgPix)
QV_COMBINE(fcPix, fcPix)
#undef QV_COMBINE

}  // namespace QvKernels
