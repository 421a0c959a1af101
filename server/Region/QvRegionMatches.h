#pragma once
#include <cstddef>
#include <cstdint>

#include "Region/QvRegionPixelTest.h"

namespace QvRegionSearch {

// The match map of a picture window: byte 1 where the pixel matches the test, 0 where
// it does not; row y of the map starts at map + y * mapStride. Vector rows where the
// processor has them, the reference for the pixels left at the end of a row; both
// give the same bytes.
template <class P>
void markMatches(QvPlane<const P> window, const QvPixelTest<P>& test, uint8_t* map, size_t mapStride);

namespace Reference {
template <class P>
void markMatches(QvPlane<const P> window, const QvPixelTest<P>& test, uint8_t* map, size_t mapStride) {
    for (int y = 0; y < window.height; ++y) {
        const P* row = window.row(y);
        uint8_t* marks = map + size_t(y) * mapStride;
        for (int x = 0; x < window.width; ++x) marks[x] = test.matches(row[x]) ? 1 : 0;
    }
}
}  // namespace Reference

}  // namespace QvRegionSearch
