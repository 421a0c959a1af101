#include "Kernels/QvStatisticsKernels.h"

#include "Kernels/Reference/QvStatisticsReference.h"

namespace QvKernels {

#define QV_STATISTICS(P)                                                                                         \
    QvColor sumOfPixels(QvPlane<const P> plane) { return Reference::sumOfPixels<P>(plane); }                     \
    QvColor averageOfPixels(QvPlane<const P> plane) { return Reference::averageOfPixels<P>(plane); }             \
    QvColor deviationOfPixels(QvPlane<const P> plane) { return Reference::deviationOfPixels<P>(plane); }         \
    QvPixelPosition darkestPixel(QvPlane<const P> plane) { return Reference::darkestPixel<P>(plane); }           \
    QvPixelPosition brightestPixel(QvPlane<const P> plane) { return Reference::brightestPixel<P>(plane); }       \
    QvExtremeLocation locateDarkest(QvPlane<const P> plane, bool subPixel) {                                     \
        return Reference::locateExtreme<P>(plane, darkestPixel(plane), subPixel);                                \
    }                                                                                                            \
    QvExtremeLocation locateBrightest(QvPlane<const P> plane, bool subPixel) {                                   \
        return Reference::locateExtreme<P>(plane, brightestPixel(plane), subPixel);                              \
    }                                                                                                            \
    double meanDifference(QvPlane<const P> a, QvPlane<const P> b, double threshold) {                            \
        return Reference::meanDifference<P>(a, b, threshold);                                                    \
    }
QV_STATISTICS(bgPix)
QV_STATISTICS(bcPix)
QV_STATISTICS(fgPix)
QV_STATISTICS(fcPix)
#undef QV_STATISTICS

}  // namespace QvKernels
