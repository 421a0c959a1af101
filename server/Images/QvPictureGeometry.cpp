#include "Images/QvPictureGeometry.h"

#include <algorithm>

#include "Images/QvPictureConversion.h"
#include "Kernels/QvConvertKernels.h"
#include "Kernels/QvFilterKernels.h"
#include "Kernels/QvPixelRules.h"

namespace QvPictureGeometry {
namespace {

// Calls f with the pixel type of the storage.
template <class F>
void withPixelOf(const QvPixelStorage& storage, F f) {
    QvWithPixel(storage.pixelClass(), [&](auto sample) { f(sample); });
}

}  // namespace

QvPixelStorage resize(const QvPixelStorage& source, int32_t width, int32_t height) {
    QvPixelStorage result(source.pixelClass(), width, height);
    if (result.empty()) return result;
    withPixelOf(source, [&](auto sample) {
        using P = decltype(sample);
        if (source.empty()) {
            P black;
            QvKernels::pixelOfColor(QvColor{}, black);
            QvKernels::fillPixels(result.plane<P>(), black);
        } else {
            QvKernels::resizeNearest(result.plane<P>(), source.plane<P>());
        }
    });
    return result;
}

QvPixelStorage crop(const QvPixelStorage& source, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    QvPixelStorage result(source.pixelClass(), x1 - x0, y1 - y0);
    QvPictureConversion::paste(source, result, -int64_t(x0), -int64_t(y0));
    return result;
}

QvPixelStorage grown(const QvPixelStorage& source, int64_t width, int64_t height) {
    QvPixelStorage result(source.pixelClass(), std::max<int64_t>(width, source.width()),
                          std::max<int64_t>(height, source.height()));
    QvPictureConversion::paste(source, result, 0, 0);
    return result;
}

QvPixelStorage interlace(const QvPixelStorage& even, const QvPixelStorage& odd) {
    QvPixelStorage result(even.pixelClass(), even.width(), int64_t(even.height()) + odd.height());
    if (result.empty()) return result;
    withPixelOf(even, [&](auto sample) {
        using P = decltype(sample);
        QvKernels::convertPixels(result.plane<P>().everyOtherRow(0), even.plane<P>());
        QvKernels::convertPixels(result.plane<P>().everyOtherRow(1), odd.plane<P>());
    });
    return result;
}

QvPixelStorage everySecondRow(const QvPixelStorage& source, int32_t first) {
    QvPixelStorage result(source.pixelClass(), source.width(), (int64_t(source.height()) - first + 1) / 2);
    if (result.empty()) return result;
    withPixelOf(source, [&](auto sample) {
        using P = decltype(sample);
        QvKernels::convertPixels(result.plane<P>(), source.plane<P>().everyOtherRow(first));
    });
    return result;
}

QvPixelStorage affine(const QvPixelStorage& source, double a, double b, double c, double d,
                      const QvColor& background) {
    QvPixelStorage result(source.pixelClass(), source.width(), source.height());
    if (result.empty()) return result;
    withPixelOf(source, [&](auto sample) {
        using P = decltype(sample);
        P fill;
        QvKernels::pixelOfColor(background, fill);
        QvKernels::transformAffine(result.plane<P>(), source.plane<P>(), QvKernels::QvAffineMatrix{a, b, c, d}, fill);
    });
    return result;
}

}  // namespace QvPictureGeometry
