#include "Images/QvPictureChannels.h"

#include <algorithm>

#include "Images/QvPictureConversion.h"
#include "Kernels/QvConvertKernels.h"
#include "Kernels/QvPixelRules.h"
#include "Kernels/QvPointKernels.h"

namespace QvPictureChannels {
namespace {

// A new picture of the source's class and size, filled by f(target plane, source plane).
template <class F>
QvPixelStorage produced(const QvPixelStorage& source, F f) {
    QvPixelStorage result(source.pixelClass(), source.width(), source.height());
    QvWithPixel(source.pixelClass(), [&](auto sample) {
        using P = decltype(sample);
        f(result.plane<P>(), source.plane<P>());
    });
    return result;
}

template <bool wantGreater>
QvPixelStorage extremes(const QvPixelStorage& picture, const QvPixelStorage& other) {
    QvPixelStorage converted = QvPictureConversion::convert(other, picture.pixelClass());
    return produced(picture, [&](auto target, auto source) {
        using P = QvPlanePixel<decltype(target)>;
        QvPlane<const P> b = converted.plane<P>();
        if constexpr (wantGreater)
            QvKernels::binaryMaximum(target, source, b);
        else
            QvKernels::binaryMinimum(target, source, b);
    });
}

}  // namespace

QvPixelStorage alpha(const QvPixelStorage& picture) {
    if (QvIsFloat(picture.pixelClass())) {
        QvPixelStorage result(QvPixelClass::FloatGrey, picture.width(), picture.height());
        QvKernels::extractAlpha(result.plane<fgPix>(), picture.plane<fcPix>());
        return result;
    }
    QvPixelStorage result(QvPixelClass::ByteGrey, picture.width(), picture.height());
    QvKernels::extractAlpha(result.plane<bgPix>(), picture.plane<bcPix>());
    return result;
}

QvPixelStorage withAlpha(const QvPixelStorage& picture, const QvPixelStorage& mask) {
    QvPixelStorage result = picture.copy();
    int32_t width = std::min(picture.width(), mask.width()), height = std::min(picture.height(), mask.height());
    if (width == 0 || height == 0) return result;
    QvWithPixel(picture.pixelClass(), [&](auto sample) {
        using P = decltype(sample);
        if constexpr (!QvIsGreyPixel<P>) {
            QvWithPixel(mask.pixelClass(), [&](auto m) {
                QvPlane<P> target = result.plane<P>().window(0, 0, width, height);
                QvKernels::replaceAlpha(target, QvPlane<const P>(target),
                                        mask.plane<decltype(m)>().window(0, 0, width, height));
            });
        }
    });
    return result;
}

QvPixelStorage lesser(const QvPixelStorage& picture, const QvPixelStorage& other) {
    return extremes<false>(picture, other);
}

QvPixelStorage greater(const QvPixelStorage& picture, const QvPixelStorage& other) {
    return extremes<true>(picture, other);
}

QvPixelStorage replaced(const QvPixelStorage& picture, const QvColor& low, const QvColor& high,
                        const QvColor& replacement, bool inclusive) {
    return produced(picture, [&](auto target, auto source) {
        using P = QvPlanePixel<decltype(target)>;
        P with;
        QvKernels::pixelOfColor(replacement, with);
        if constexpr (QvIsGreyPixel<P>)
            QvKernels::replaceRange(target, source, QvKernels::luminance(low), QvKernels::luminance(high), inclusive,
                                    with);
        else
            QvKernels::replaceRange(target, source, low, high, inclusive, with);
    });
}

QvPixelStorage normalized(const QvPixelStorage& picture, const QvColor& low, const QvColor& high) {
    return produced(picture, [&](auto target, auto source) {
        if constexpr (QvIsGreyPixel<QvPlanePixel<decltype(target)>>)
            QvKernels::normalizeRange(target, source, QvKernels::luminance(low), QvKernels::luminance(high));
        else
            QvKernels::normalizeRange(target, source, low, high);
    });
}

QvPixelStorage applied(const QvPixelStorage& picture, Function function, double exponent) {
    return produced(picture, [&](auto target, auto source) {
        if constexpr (!QvIsBytePixel<QvPlanePixel<decltype(target)>>) {
            switch (function) {
            case Function::Sqrt: return QvKernels::applyFunction(QvKernels::QvPixelFunction::squareRoot, target, source);
            case Function::Log: return QvKernels::applyFunction(QvKernels::QvPixelFunction::logarithm, target, source);
            case Function::Abs: return QvKernels::applyFunction(QvKernels::QvPixelFunction::absolute, target, source);
            case Function::Pow: return QvKernels::raiseToPower(target, source, exponent);
            }
        }
    });
}

}  // namespace QvPictureChannels
