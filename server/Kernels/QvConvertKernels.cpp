#include "Kernels/QvConvertKernels.h"

#include "Kernels/Reference/QvConvertReference.h"

namespace QvKernels {

#define QV_CONVERT(D, S) \
    void convertPixels(QvPlane<D> dst, QvPlane<const S> src) { Reference::convertPixels<D, S>(dst, src); }
QV_CONVERT(bgPix, bgPix)
QV_CONVERT(bgPix, bcPix)
QV_CONVERT(bgPix, fgPix)
QV_CONVERT(bgPix, fcPix)
QV_CONVERT(bcPix, bgPix)
QV_CONVERT(bcPix, bcPix)
QV_CONVERT(bcPix, fgPix)
QV_CONVERT(bcPix, fcPix)
QV_CONVERT(fgPix, bgPix)
QV_CONVERT(fgPix, bcPix)
QV_CONVERT(fgPix, fgPix)
QV_CONVERT(fgPix, fcPix)
QV_CONVERT(fcPix, bgPix)
QV_CONVERT(fcPix, bcPix)
QV_CONVERT(fcPix, fgPix)
QV_CONVERT(fcPix, fcPix)
#undef QV_CONVERT

#define QV_PER_CLASS(P)                                                                                    \
    void fillPixels(QvPlane<P> dst, P value) { Reference::fillPixels(dst, value); }                        \
    void resizeNearest(QvPlane<P> dst, QvPlane<const P> src) { Reference::resizeNearest<P>(dst, src); }
QV_PER_CLASS(bgPix)
QV_PER_CLASS(bcPix)
QV_PER_CLASS(fgPix)
QV_PER_CLASS(fcPix)
#undef QV_PER_CLASS

void extractAlpha(QvPlane<bgPix> dst, QvPlane<const bcPix> src) { Reference::extractAlpha<bgPix, bcPix>(dst, src); }
void extractAlpha(QvPlane<fgPix> dst, QvPlane<const fcPix> src) { Reference::extractAlpha<fgPix, fcPix>(dst, src); }

#define QV_REPLACE_ALPHA(C, M)                                                           \
    void replaceAlpha(QvPlane<C> dst, QvPlane<const C> src, QvPlane<const M> mask) { \
        Reference::replaceAlpha<C, M>(dst, src, mask);                                   \
    }
QV_REPLACE_ALPHA(bcPix, bgPix)
QV_REPLACE_ALPHA(bcPix, bcPix)
QV_REPLACE_ALPHA(bcPix, fgPix)
QV_REPLACE_ALPHA(bcPix, fcPix)
QV_REPLACE_ALPHA(fcPix, bgPix)
QV_REPLACE_ALPHA(fcPix, bcPix)
QV_REPLACE_ALPHA(fcPix, fgPix)
QV_REPLACE_ALPHA(fcPix, fcPix)
#undef QV_REPLACE_ALPHA

}  // namespace QvKernels
