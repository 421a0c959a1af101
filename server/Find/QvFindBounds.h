#pragma once
#include <cstdint>
#include <vector>

#include "Kernels/QvPixelClasses.h"

namespace QvFind {

// Lower bounds of the sums of grey byte differences, from row sums: for a placement
// whose match lies wholly inside the source, the sum over the match rows j of
// |sum of the source row under match row j - sum of match row j| never exceeds the
// placement's sum of absolute differences. A best-fit search skips the placements
// whose bound already shows that they cannot win.
class QvRowSumBounds {
public:
    QvRowSumBounds(QvPlane<const bgPix> source, QvPlane<const bgPix> match);

    // False when no placement lies wholly inside the source (or the match is too large
    // for 32-bit sums), so that no bound is known.
    bool available() const { return insideWidth_ > 0 && insideHeight_ > 0; }
    // For placement row y, the bounds of the placements [xa, xb); 0 where the match
    // does not lie wholly inside the source.
    void placementRow(int32_t y, int32_t xa, int32_t xb, int32_t* bounds) const;

private:
    int32_t insideWidth_ = 0, insideHeight_ = 0;  // placements wholly inside: [0, w) x [0, h)
    int32_t matchHeight_ = 0;
    std::vector<int32_t> sourceRowSums_;  // per source row, the sums of every window of the match's width
    std::vector<int32_t> matchRowSums_;
};

// bounds[i] = sum over j < rows of |rowSums[j * stride + i] - matchRowSums[j]|, for i
// below count, in vectors where the processor has them.
void sumRowBoundDifferences(const int32_t* rowSums, ptrdiff_t stride, const int32_t* matchRowSums, int32_t rows,
                            int32_t count, int32_t* bounds);

}  // namespace QvFind
