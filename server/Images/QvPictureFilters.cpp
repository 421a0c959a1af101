#include "Images/QvPictureFilters.h"

#include "Images/QvPictureConversion.h"
#include "Images/QvRowBands.h"
#include "Kernels/QvFilterKernels.h"

namespace QvPictureFilters {
namespace {

template <class F>
void inBands(int height, F computeRows) {
    QvRowBands::inBands(height, [&](int begin, int end) { computeRows(QvKernels::QvRowRange{begin, end}); });
}

std::vector<QvKernels::QvMaskTap> tapsOf(const QvPixelStorage& mask) {
    return QvWithPixel(mask.pixelClass(), [&](auto m) { return QvKernels::maskTaps(mask.plane<decltype(m)>()); });
}

}  // namespace

QvPixelStorage convolve(const QvPixelStorage& source, const QvPixelStorage& kernel) {
    QvPixelStorage result(source.pixelClass(), source.width(), source.height());
    if (result.empty() || kernel.empty()) return result;
    bool greyWeights = !QvIsColor(source.pixelClass()) || !QvIsColor(kernel.pixelClass());
    QvPixelStorage weights =
        QvPictureConversion::convert(kernel, greyWeights ? QvPixelClass::FloatGrey : QvPixelClass::FloatColor);
    QvWithPixel(source.pixelClass(), [&](auto sample) {
        using P = decltype(sample);
        inBands(result.height(), [&](QvKernels::QvRowRange rows) {
            if (greyWeights)
                QvKernels::convolve(result.plane<P>(), source.plane<P>(), weights.plane<fgPix>(), rows);
            else if constexpr (!QvIsGreyPixel<P>)
                QvKernels::convolve(result.plane<P>(), source.plane<P>(), weights.plane<fcPix>(), rows);
        });
    });
    return result;
}

int64_t maskCount(const QvPixelStorage& mask) { return int64_t(tapsOf(mask).size()); }

QvPixelStorage median(const QvPixelStorage& source, const QvPixelStorage& mask, double rank) {
    QvPixelStorage result(source.pixelClass(), source.width(), source.height());
    std::vector<QvKernels::QvMaskTap> taps = tapsOf(mask);
    if (result.empty() || taps.empty()) return result;
    QvWithPixel(source.pixelClass(), [&](auto sample) {
        using P = decltype(sample);
        inBands(result.height(), [&](QvKernels::QvRowRange rows) {
            QvKernels::medianFilter(result.plane<P>(), source.plane<P>(), taps, rank, rows);
        });
    });
    return result;
}

}  // namespace QvPictureFilters
