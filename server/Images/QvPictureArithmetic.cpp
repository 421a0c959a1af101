#include "Images/QvPictureArithmetic.h"

#include <algorithm>

#include "Kernels/QvPixelRules.h"

namespace QvPictureArithmetic {

void withConstant(QvPixelOperator op, const QvPixelStorage& left, const QvColor& constant, QvPixelStorage& result) {
    QvWithPixel(left.pixelClass(), [&](auto sample) {
        using P = decltype(sample);
        QvPlane<P> target = result.plane<P>().window(0, 0, left.width(), left.height());
        if constexpr (QvIsGreyPixel<P>)
            QvKernels::combineWithConstant(op, target, left.plane<P>(), QvKernels::luminance(constant));
        else
            QvKernels::combineWithConstant(op, target, left.plane<P>(), constant);
    });
}

void withPicture(QvPixelOperator op, const QvPixelStorage& left, const QvPixelStorage& right, QvPixelStorage& result) {
    int32_t width = std::min(left.width(), right.width()), height = std::min(left.height(), right.height());
    if (width == 0 || height == 0) return;
    QvWithPixel(left.pixelClass(), [&](auto l) {
        QvWithPixel(right.pixelClass(), [&](auto r) {
            using L = decltype(l);
            using R = decltype(r);
            constexpr QvPixelClass leftClass = QvPixelClassOfPixel<L>::value;
            constexpr QvPixelClass rightClass = QvPixelClassOfPixel<R>::value;
            if constexpr (accepts(leftClass, rightClass))
                QvKernels::combinePictures(op, result.plane<L>().window(0, 0, width, height),
                                           left.plane<L>().window(0, 0, width, height),
                                           right.plane<R>().window(0, 0, width, height));
        });
    });
}

}  // namespace QvPictureArithmetic
