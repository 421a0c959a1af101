#pragma once
#include "Kernels/QvPixelClasses.h"
#include "Values/QvColor.h"

// Statistics over every pixel of a plane, on the 0-1 scale; grey planes give (s, s, s).
// Byte planes sum exactly in 64-bit integers and divide once at the end. Float planes
// sum in double in one fixed order, so that every processor gives the same bits:
// sixteen partial sums, one for each x mod 16, each running over the rows in order,
// then added together from the partial sum of x mod 16 = 0 to 15.
namespace QvKernels {

QvColor sumOfPixels(QvPlane<const bgPix> plane);
QvColor sumOfPixels(QvPlane<const bcPix> plane);
QvColor sumOfPixels(QvPlane<const fgPix> plane);
QvColor sumOfPixels(QvPlane<const fcPix> plane);

// The sums divided by the pixel count; 1e10 in every component for an empty plane.
QvColor averageOfPixels(QvPlane<const bgPix> plane);
QvColor averageOfPixels(QvPlane<const bcPix> plane);
QvColor averageOfPixels(QvPlane<const fgPix> plane);
QvColor averageOfPixels(QvPlane<const fcPix> plane);

// sqrt(sum of (p - mean)^2 / count) per component; 0 for an empty plane. Bytes
// compute it from exact integer sums of p and p^2.
QvColor deviationOfPixels(QvPlane<const bgPix> plane);
QvColor deviationOfPixels(QvPlane<const bcPix> plane);
QvColor deviationOfPixels(QvPlane<const fgPix> plane);
QvColor deviationOfPixels(QvPlane<const fcPix> plane);

// The first pixel in row order whose brightness is the smallest (darkest) or the
// largest (brightest). Brightness: the grey value; frames the exact integer
// 30 R + 59 G + 11 B; image the luminance. Pixels whose brightness is NaN are passed
// over; (-1, -1) when no pixel is left.
struct QvPixelPosition {
    int x = -1;
    int y = -1;
};
QvPixelPosition darkestPixel(QvPlane<const bgPix> plane);
QvPixelPosition darkestPixel(QvPlane<const bcPix> plane);
QvPixelPosition darkestPixel(QvPlane<const fgPix> plane);
QvPixelPosition darkestPixel(QvPlane<const fcPix> plane);
QvPixelPosition brightestPixel(QvPlane<const bgPix> plane);
QvPixelPosition brightestPixel(QvPlane<const bcPix> plane);
QvPixelPosition brightestPixel(QvPlane<const fgPix> plane);
QvPixelPosition brightestPixel(QvPlane<const fcPix> plane);

// The darkest (brightest) pixel as {x, y, luminance}, luminance by pixelLuminance.
// With subPixel, x and y are each refined by the parabola through the luminances
// a, b, c before, at and after the pixel on that axis: offset (a - c) / (((a + c) / 2
// - b) * 4), limited to -0.999..0.999, and 0 at a border or when the denominator is
// 0. {-1, -1, 0} when no pixel qualifies.
struct QvExtremeLocation {
    double x = -1;
    double y = -1;
    double luminance = 0;
};
QvExtremeLocation locateDarkest(QvPlane<const bgPix> plane, bool subPixel);
QvExtremeLocation locateDarkest(QvPlane<const bcPix> plane, bool subPixel);
QvExtremeLocation locateDarkest(QvPlane<const fgPix> plane, bool subPixel);
QvExtremeLocation locateDarkest(QvPlane<const fcPix> plane, bool subPixel);
QvExtremeLocation locateBrightest(QvPlane<const bgPix> plane, bool subPixel);
QvExtremeLocation locateBrightest(QvPlane<const bcPix> plane, bool subPixel);
QvExtremeLocation locateBrightest(QvPlane<const fgPix> plane, bool subPixel);
QvExtremeLocation locateBrightest(QvPlane<const fcPix> plane, bool subPixel);

// The mean difference of a and b over a's width and height (b at least that large):
// each pixel contributes its difference d when d > threshold and 0 otherwise, and the
// sum is divided by the pixel count (0 for an empty plane). d on the 0-1 scale: grey
// |p - q|; frames (30 |dR| + 59 |dG| + 11 |dB|) / 25500 from exact integers; image
// the luminance of |dR|, |dG|, |dB| computed in single precision.
double meanDifference(QvPlane<const bgPix> a, QvPlane<const bgPix> b, double threshold);
double meanDifference(QvPlane<const bcPix> a, QvPlane<const bcPix> b, double threshold);
double meanDifference(QvPlane<const fgPix> a, QvPlane<const fgPix> b, double threshold);
double meanDifference(QvPlane<const fcPix> a, QvPlane<const fcPix> b, double threshold);

}  // namespace QvKernels
