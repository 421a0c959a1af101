#include "Kernels/QvFilterKernels.h"

#include "Kernels/Reference/QvFilterReference.h"

namespace QvKernels {

int rankPosition(int n, double rank) {
    double position = n * rank;
    if (!(position > 0)) return 0;
    return position >= n ? n - 1 : static_cast<int>(position);
}

#define QV_EVERY_CLASS(P)                                                                                   \
    std::vector<QvMaskTap> maskTaps(QvPlane<const P> mask) { return Reference::maskTaps<P>(mask); }
QV_EVERY_CLASS(bgPix)
QV_EVERY_CLASS(bcPix)
QV_EVERY_CLASS(fgPix)
QV_EVERY_CLASS(fcPix)
#undef QV_EVERY_CLASS

}  // namespace QvKernels
