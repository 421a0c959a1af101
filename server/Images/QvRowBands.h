#pragma once
#include <algorithm>

#include "Errors/QvErrors.h"

namespace QvRowBands {

// Rows computed between two yields.
constexpr int kRowsPerBand = 16;

// Calls computeRows(begin, end) for consecutive bands of rows covering [0, height),
// yielding to the scheduler before each band, so a stop request ends an operation on
// a large picture.
template <class F>
void inBands(int height, F computeRows) {
    for (int begin = 0; begin < height; begin += kRowsPerBand) {
        QvYield();
        computeRows(begin, std::min(height, begin + kRowsPerBand));
    }
}

// Rows [begin, end) of a plane.
template <class Plane>
Plane rowsOf(Plane plane, int begin, int end) {
    return plane.window(0, begin, plane.width, end - begin);
}

}  // namespace QvRowBands
