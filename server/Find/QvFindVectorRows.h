#pragma once
#include <cstddef>
#include <cstdint>

// The pictures of a search as the vector cores read them: rows with room before and
// after (kRoomBytes, zero), so that whole vectors may be loaded across either end of a
// row; float colour sources split into red, green and blue planes.
namespace QvFind {

constexpr size_t kRoomBytes = 128;

struct QvFindVectorRows {
    int classCode = 0;  // QvKernels::QvClassCode of the pixels
    bool narrow = false;  // 128-bit vectors instead of the widest
    int32_t sourceWidth = 0, sourceHeight = 0, matchWidth = 0, matchHeight = 0;
    // Column 0 of row 0 of each source plane (one, or red, green, blue for float colour).
    const uint8_t* source[3] = {};
    ptrdiff_t sourceStride = 0;
    const uint8_t* match = nullptr;
    ptrdiff_t matchStride = 0;
};

// The sums of QvFindSums::placementRow computed in vectors; false when the processor
// offers no vector target, and nothing was written.
bool sumPlacementRowInVectors(const QvFindVectorRows& rows, int32_t y, int32_t xa, int32_t xb, double* sums);

}  // namespace QvFind
