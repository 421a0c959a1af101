#include "Images/QvPictureChannels.h"

#include <algorithm>

#include "Images/QvPictureConversion.h"
#include "Images/QvRowBands.h"
#include "Kernels/QvConvertKernels.h"
#include "Kernels/QvPixelRules.h"
#include "Kernels/QvPointKernels.h"

namespace QvPictureChannels {
namespace {

using QvRowBands::rowsOf;

// A new picture of the source's class and size, filled band by band of rows by
// f(target rows, source rows, first row).
template <class F>
QvPixelStorage produced(const QvPixelStorage& source, F f) {
    QvPixelStorage result(source.pixelClass(), source.width(), source.height());
    QvWithPixel(source.pixelClass(), [&](auto sample) {
        using P = decltype(sample);
        QvRowBands::inBands(result.height(), [&](int begin, int end) {
            f(rowsOf(result.plane<P>(), begin, end), rowsOf(source.plane<P>(), begin, end), begin);
        });
    });
    return result;
}

template <bool wantGreater>
QvPixelStorage extremes(const QvPixelStorage& picture, const QvPixelStorage& other) {
    // An operand of another class is converted first; one of the same class is read as it is.
    const bool sameClass = other.pixelClass() == picture.pixelClass();
    QvPixelStorage converted = sameClass ? QvPixelStorage() : QvPictureConversion::convert(other, picture.pixelClass());
    const QvPixelStorage& operand = sameClass ? other : converted;
    return produced(picture, [&](auto target, auto source, int begin) {
        using P = QvPlanePixel<decltype(target)>;
        QvPlane<const P> b = operand.plane<P>().window(0, begin, target.width, target.height);
        if constexpr (wantGreater)
            QvKernels::binaryMaximum(target, source, b);
        else
            QvKernels::binaryMinimum(target, source, b);
    });
}

template <class Grey, class Color>
QvPixelStorage alphaOf(const QvPixelStorage& picture, QvPixelClass greyClass) {
    QvPixelStorage result(greyClass, picture.width(), picture.height());
    QvRowBands::inBands(result.height(), [&](int begin, int end) {
        QvKernels::extractAlpha(rowsOf(result.plane<Grey>(), begin, end), rowsOf(picture.plane<Color>(), begin, end));
    });
    return result;
}

}  // namespace

QvPixelStorage alpha(const QvPixelStorage& picture) {
    if (QvIsFloat(picture.pixelClass())) return alphaOf<fgPix, fcPix>(picture, QvPixelClass::FloatGrey);
    return alphaOf<bgPix, bcPix>(picture, QvPixelClass::ByteGrey);
}

QvPixelStorage withAlpha(const QvPixelStorage& picture, const QvPixelStorage& mask) {
    QvPixelStorage result = picture.copy();
    int32_t width = std::min(picture.width(), mask.width()), height = std::min(picture.height(), mask.height());
    if (width == 0 || height == 0) return result;
    QvWithPixel(picture.pixelClass(), [&](auto sample) {
        using P = decltype(sample);
        if constexpr (!QvIsGreyPixel<P>) {
            QvWithPixel(mask.pixelClass(), [&](auto m) {
                QvRowBands::inBands(height, [&](int begin, int end) {
                    QvPlane<P> target = result.plane<P>().window(0, begin, width, end - begin);
                    QvKernels::replaceAlpha(target, QvPlane<const P>(target),
                                            mask.plane<decltype(m)>().window(0, begin, width, end - begin));
                });
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
    return produced(picture, [&](auto target, auto source, int) {
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
    return produced(picture, [&](auto target, auto source, int) {
        if constexpr (QvIsGreyPixel<QvPlanePixel<decltype(target)>>)
            QvKernels::normalizeRange(target, source, QvKernels::luminance(low), QvKernels::luminance(high));
        else
            QvKernels::normalizeRange(target, source, low, high);
    });
}

QvPixelStorage applied(const QvPixelStorage& picture, Function function, double exponent) {
    return produced(picture, [&](auto target, auto source, int) {
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
