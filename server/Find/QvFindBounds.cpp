#include "Find/QvFindBounds.h"

#include <algorithm>
#include <limits>

namespace QvFind {

QvRowSumBounds::QvRowSumBounds(QvPlane<const bgPix> source, QvPlane<const bgPix> match) {
    // Every sum stays below 2^31 when the match has fewer than 2^31 / 255 pixels.
    const int64_t largestArea = std::numeric_limits<int32_t>::max() / 255;
    if (match.empty() || int64_t(match.width) * match.height > largestArea) return;
    insideWidth_ = std::max(0, source.width - match.width + 1);
    insideHeight_ = std::max(0, source.height - match.height + 1);
    if (!available()) return;
    matchHeight_ = match.height;
    for (int32_t j = 0; j < match.height; ++j) {
        int32_t sum = 0;
        for (int32_t c = 0; c < match.width; ++c) sum += match.row(j)[c].grey;
        matchRowSums_.push_back(sum);
    }
    // Room for a whole vector read past the last sum.
    constexpr size_t kVectorRoom = 16;
    sourceRowSums_.resize(size_t(insideWidth_) * source.height + kVectorRoom);
    for (int32_t r = 0; r < source.height; ++r) {
        const bgPix* row = source.row(r);
        int32_t* sums = sourceRowSums_.data() + size_t(r) * insideWidth_;
        int32_t sum = 0;
        for (int32_t c = 0; c < match.width; ++c) sum += row[c].grey;
        sums[0] = sum;
        for (int32_t x = 1; x < insideWidth_; ++x) sums[x] = sum += row[x + match.width - 1].grey - row[x - 1].grey;
    }
}

void QvRowSumBounds::placementRow(int32_t y, int32_t xa, int32_t xb, int32_t* bounds) const {
    std::fill(bounds, bounds + (xb - xa), 0);
    if (y < 0 || y >= insideHeight_) return;
    const int32_t first = std::max(xa, 0), end = std::min(xb, insideWidth_);
    if (first >= end) return;
    sumRowBoundDifferences(sourceRowSums_.data() + size_t(y) * insideWidth_ + first, insideWidth_,
                           matchRowSums_.data(), matchHeight_, end - first, bounds + (first - xa));
}

}  // namespace QvFind
