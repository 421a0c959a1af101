#pragma once
#include "Images/QvPixelStorage.h"
#include "Kernels/QvStatisticsKernels.h"
#include "Values/QvColor.h"

// Statistics of whole pictures on the 0-1 scale, by the statistics kernels.
namespace QvPictureStatistics {

QvColor sum(const QvPixelStorage& picture);
// 1e10 in every component for an empty picture.
QvColor average(const QvPixelStorage& picture);
QvColor deviation(const QvPixelStorage& picture);
// The colour of the first darkest (brightest) pixel in row order; black when the
// picture has no pixel to offer.
QvColor darkestColor(const QvPixelStorage& picture);
QvColor brightestColor(const QvPixelStorage& picture);
QvKernels::QvExtremeLocation locateDarkest(const QvPixelStorage& picture, bool subPixel);
QvKernels::QvExtremeLocation locateBrightest(const QvPixelStorage& picture, bool subPixel);
// The mean difference over the overlap of two pictures of one class.
double difference(const QvPixelStorage& a, const QvPixelStorage& b, double threshold);

}  // namespace QvPictureStatistics
