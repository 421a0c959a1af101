#pragma once
#include <cstdint>

#include "Kernels/QvPixelClasses.h"

// Block-matching search of a small picture (the match) in a larger one (the source):
// every candidate placement of the match's top-left corner is scored by the mean
// absolute pixel difference over the area where match and source overlap (0 a perfect
// fit, 1 the worst for pixels on the 0-1 scale), optionally penalised by a weight
// picture. Both pictures are of one pixel class and already reduced to the grid the
// search runs on; all coordinates here are in that grid.
namespace QvFind {

// How the sums of pixel differences are computed. Every core gives the same scores,
// bit for bit: `reference` is the plain per-pixel loop, `vectors` uses the widest
// vectors the processor has, `narrowVectors` the same arrangement in 128-bit vectors.
enum class QvFindCore { reference, vectors, narrowVectors };

// Which placements are scored and how little overlap still counts.
struct QvFindRange {
    int32_t x0 = 0, y0 = 0;  // first placement
    int32_t x1 = 0, y1 = 0;  // end of the placements (exclusive)
    // With an overhang allowed, placements overlapping fewer pixels than this score 1.
    bool overhangGiven = false;
    int64_t minimumOverlap = 0;

    bool empty() const { return x1 <= x0 || y1 <= y0; }
};

// A penalty picture: placement (x, y) adds 1 minus the weight's value at (x - originX,
// y - originY), the position clamped to the picture. An empty plane means no weight.
struct QvFindWeight {
    QvPlane<const fgPix> plane;
    int32_t originX = 0, originY = 0;
};

// The outcome of a best-fit search: the placement with the smallest score (the first in
// row order among equal ones) refined to fractions of a pixel on request. `found` is
// false when no placement scored below 1; the rest is then {0, 0, 1}.
struct QvFindBest {
    bool found = false;
    double x = 0, y = 0;
    float score = 1;
};

// The best placement. Without sub-pixel refinement the scan stops after the row in
// which a perfect fit (score 0) turned up. Calls QvYield once per placement row.
template <class P>
QvFindBest bestPlacement(QvFindCore core, QvPlane<const P> source, QvPlane<const P> match, const QvFindRange& range,
                         const QvFindWeight& weight, bool subPixel);

// Writes the score of every placement that overlaps the source at (x - x0, y - y0) of
// the map, whose size is the range's; the caller fills the map with 1 first.
template <class P>
void scoreMap(QvFindCore core, QvPlane<const P> source, QvPlane<const P> match, const QvFindRange& range,
              const QvFindWeight& weight, QvPlane<fgPix> map);

}  // namespace QvFind
