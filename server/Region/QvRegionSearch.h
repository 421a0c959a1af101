#pragma once
#include <cstdint>
#include <vector>

#include "Kernels/QvPixelClasses.h"

// Connected regions of pixels close to a luminance, grown from seed pixels by a
// breadth-first fill whose neighbourhood is a disc, so regions may bridge small gaps.
struct QvRegionCriteria {
    double value = 0;      // the luminance looked for, 0 to 1
    double tolerance = 0;  // the largest accepted distance from it
    // The weight of a pixel at the tolerance limit; weights fall linearly from 1 at
    // the exact value.
    double edgeValue = 1;
    double radius = 1;  // of the fill's neighbourhood
    double minArea = 1;  // smallest accepted weighted area
    int64_t minWidth = 0;
    int64_t minHeight = 0;
    bool keepPoints = false;
};

// The searched rectangle [left, right) x [top, bottom), which lies inside the picture.
struct QvRegionBounds {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct QvRegionPoint {
    int32_t x;
    int32_t y;
};

// One region found, in picture coordinates.
struct QvRegion {
    double centreX = 0;  // weighted centre
    double centreY = 0;
    double area = 0;  // the sum of the weights
    int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;  // bounding box, inclusive
    std::vector<QvRegionPoint> points;  // in the order the fill met them, when kept
};

namespace QvRegionSearch {

// The whole-pixel reach of a radius: trunc(radius) within -1 (no neighbourhood; NaN
// too) and the larger side of the picture.
int32_t reachOf(double radius, int32_t width, int32_t height);

// The regions of the rectangle, in the order of their seeds (row by row). 8-bit
// pictures compare the grey level / 255 in double (colour through the integer grey
// rule); float pictures compare in float. Weighted sums are taken in double in the
// order the fill meets the pixels. The search yields to the scheduler as it goes.
template <class P>
std::vector<QvRegion> findRegions(QvPlane<const P> picture, QvRegionBounds bounds, const QvRegionCriteria& criteria);

// Copies the source pixel under each point into the cut-out, whose top-left pixel is
// the source's (left, top); every point lies inside the cut-out.
template <class P>
void copyPoints(QvPlane<const P> source, QvPlane<P> cutOut, const std::vector<QvRegionPoint>& points, int32_t left,
                int32_t top) {
    for (const QvRegionPoint& point : points) cutOut.row(point.y - top)[point.x - left] = source.row(point.y)[point.x];
}

}  // namespace QvRegionSearch
