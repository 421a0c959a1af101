#include "Kernels/QvPointKernels.h"

#include "Kernels/Reference/QvPointReference.h"

namespace QvKernels {

#define QV_FLOAT_CLASS(P)                                                                                  \
    void applyFunction(QvPixelFunction function, QvPlane<P> dst, QvPlane<const P> src) {                   \
        Reference::applyFunction<P>(function, dst, src);                                                   \
    }                                                                                                      \
    void raiseToPower(QvPlane<P> dst, QvPlane<const P> src, double exponent) {                             \
        Reference::raiseToPower<P>(dst, src, exponent);                                                    \
    }
QV_FLOAT_CLASS(fgPix)
QV_FLOAT_CLASS(fcPix)
#undef QV_FLOAT_CLASS

#define QV_EVERY_CLASS(P)                                                                                  \
    void binaryMinimum(QvPlane<P> dst, QvPlane<const P> a, QvPlane<const P> b) {                           \
        Reference::binaryMinimum<P>(dst, a, b);                                                            \
    }                                                                                                      \
    void binaryMaximum(QvPlane<P> dst, QvPlane<const P> a, QvPlane<const P> b) {                           \
        Reference::binaryMaximum<P>(dst, a, b);                                                            \
    }
QV_EVERY_CLASS(bgPix)
QV_EVERY_CLASS(bcPix)
QV_EVERY_CLASS(fgPix)
QV_EVERY_CLASS(fcPix)
#undef QV_EVERY_CLASS

#define QV_GREY_CLASS(P)                                                                                   \
    void replaceRange(QvPlane<P> dst, QvPlane<const P> src, double low, double high, bool inclusive,       \
                      P replacement) {                                                                     \
        Reference::replaceRange<P>(dst, src, low, high, inclusive, replacement);                           \
    }                                                                                                      \
    void normalizeRange(QvPlane<P> dst, QvPlane<const P> src, double low, double high) {                   \
        Reference::normalizeRange<P>(dst, src, low, high);                                                 \
    }
#define QV_COLOR_CLASS(P)                                                                                  \
    void replaceRange(QvPlane<P> dst, QvPlane<const P> src, const QvColor& low, const QvColor& high,       \
                      bool inclusive, P replacement) {                                                     \
        Reference::replaceRange<P>(dst, src, low, high, inclusive, replacement);                           \
    }                                                                                                      \
    void normalizeRange(QvPlane<P> dst, QvPlane<const P> src, const QvColor& low, const QvColor& high) {   \
        Reference::normalizeRange<P>(dst, src, low, high);                                                 \
    }
QV_GREY_CLASS(bgPix)
QV_GREY_CLASS(fgPix)
QV_COLOR_CLASS(bcPix)
QV_COLOR_CLASS(fcPix)
#undef QV_GREY_CLASS
#undef QV_COLOR_CLASS

}  // namespace QvKernels
