#include "Images/QvPictureStatistics.h"

#include <algorithm>

#include "Kernels/QvPixelRules.h"

namespace QvPictureStatistics {
namespace {

template <class F>
auto onPlane(const QvPixelStorage& picture, F f) {
    return QvWithPixel(picture.pixelClass(), [&](auto sample) { return f(picture.plane<decltype(sample)>()); });
}

template <class P>
QvColor colorAt(QvPlane<const P> plane, QvKernels::QvPixelPosition at) {
    if (at.x < 0) return {};
    return QvKernels::colorOfPixel(plane.row(at.y)[at.x]);
}

}  // namespace

QvColor sum(const QvPixelStorage& picture) {
    return onPlane(picture, [](auto plane) { return QvKernels::sumOfPixels(plane); });
}

QvColor average(const QvPixelStorage& picture) {
    return onPlane(picture, [](auto plane) { return QvKernels::averageOfPixels(plane); });
}

QvColor deviation(const QvPixelStorage& picture) {
    return onPlane(picture, [](auto plane) { return QvKernels::deviationOfPixels(plane); });
}

QvColor darkestColor(const QvPixelStorage& picture) {
    return onPlane(picture, [](auto plane) { return colorAt(plane, QvKernels::darkestPixel(plane)); });
}

QvColor brightestColor(const QvPixelStorage& picture) {
    return onPlane(picture, [](auto plane) { return colorAt(plane, QvKernels::brightestPixel(plane)); });
}

QvKernels::QvExtremeLocation locateDarkest(const QvPixelStorage& picture, bool subPixel) {
    return onPlane(picture, [&](auto plane) { return QvKernels::locateDarkest(plane, subPixel); });
}

QvKernels::QvExtremeLocation locateBrightest(const QvPixelStorage& picture, bool subPixel) {
    return onPlane(picture, [&](auto plane) { return QvKernels::locateBrightest(plane, subPixel); });
}

double difference(const QvPixelStorage& a, const QvPixelStorage& b, double threshold) {
    int32_t width = std::min(a.width(), b.width()), height = std::min(a.height(), b.height());
    return QvWithPixel(a.pixelClass(), [&](auto sample) {
        using P = decltype(sample);
        return QvKernels::meanDifference(a.plane<P>().window(0, 0, width, height),
                                         b.plane<P>().window(0, 0, width, height), threshold);
    });
}

}  // namespace QvPictureStatistics
