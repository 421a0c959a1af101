#pragma once
#include <cmath>
#include <cstdint>
#include <memory>
#include <type_traits>

#include "Find/QvFindSearch.h"

namespace QvFind {

// The difference of two pixels that the search sums. Grey: |s - m|. Frame colour: the
// channel differences weighted 77, 151, 28 and divided by 256 in integers. Image
// colour: the channel differences weighted 0.3, 0.59, 0.11 in single precision. Alpha
// is ignored.
inline int pixelDifference(bgPix s, bgPix m) { return std::abs(int(s.grey) - int(m.grey)); }
inline int pixelDifference(bcPix s, bcPix m) {
    return (std::abs(int(s.red) - int(m.red)) * 77 + std::abs(int(s.green) - int(m.green)) * 151 +
            std::abs(int(s.blue) - int(m.blue)) * 28) >>
           8;
}
inline float pixelDifference(fgPix s, fgPix m) { return std::fabs(s.grey - m.grey); }
inline float pixelDifference(fcPix s, fcPix m) {
    return std::fabs(s.red - m.red) * 0.3f + std::fabs(s.green - m.green) * 0.59f +
           std::fabs(s.blue - m.blue) * 0.11f;
}

// What one unit of a sum is on the 0-1 scale.
template <class P>
constexpr double pixelScale() {
    return std::is_same_v<P, bgPix> || std::is_same_v<P, bcPix> ? 1.0 / 255.0 : 1.0;
}

// The sums of pixel differences of one placement row: for each placement x in [xa, xb)
// of the match's top-left corner at row y, the sum over the overlap with the source.
// Byte classes sum exact integers (held exactly in a double); float classes sum each
// row's differences in double over increasing columns and add the rows in increasing
// order. Every placement asked for overlaps the source by at least one pixel.
template <class P>
class QvFindSums {
public:
    virtual ~QvFindSums() = default;
    virtual void placementRow(int32_t y, int32_t xa, int32_t xb, double* sums) = 0;
};

template <class P>
std::unique_ptr<QvFindSums<P>> makeFindSums(QvFindCore core, QvPlane<const P> source, QvPlane<const P> match);

}  // namespace QvFind
