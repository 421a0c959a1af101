#include "Kernels/QvFilterKernels.h"

#include "Kernels/Reference/QvFilterReference.h"

namespace QvKernels {

int wrapCoordinate(int c, int size) {
    if (c < 0)
        c += size;
    else if (c >= size)
        c = c - size + 1;
    if (c < 0 || c >= size) c = (c % size + size) % size;
    return c;
}

int rankPosition(int n, double rank) {
    double position = n * rank;
    if (!(position > 0)) return 0;
    return position >= n ? n - 1 : static_cast<int>(position);
}

#define QV_EVERY_CLASS(P)                                                                                   \
    std::vector<QvMaskTap> maskTaps(QvPlane<const P> mask) { return Reference::maskTaps<P>(mask); }         \
    void medianFilter(QvPlane<P> dst, QvPlane<const P> src, const std::vector<QvMaskTap>& taps, double rank, \
                      QvRowRange rows) {                                                                    \
        Reference::medianFilter<P>(dst, src, taps, rank, rows);                                             \
    }                                                                                                       \
    void transformAffine(QvPlane<P> dst, QvPlane<const P> src, const QvAffineMatrix& matrix, P background) { \
        Reference::transformAffine<P>(dst, src, matrix, background);                                        \
    }
QV_EVERY_CLASS(bgPix)
QV_EVERY_CLASS(bcPix)
QV_EVERY_CLASS(fgPix)
QV_EVERY_CLASS(fcPix)
#undef QV_EVERY_CLASS

}  // namespace QvKernels
