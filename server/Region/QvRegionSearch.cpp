#include "Region/QvRegionSearch.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "Errors/QvErrors.h"
#include "Region/QvRegionMatches.h"

namespace {

// Pixels examined between two polls of the abort flag.
constexpr int64_t kCellsPerYield = int64_t(1) << 20;

// The disc of the fill: for each row offset dy in -R..R, the largest column offset dx
// with dx^2 + dy^2 <= R2 (negative where the row misses the disc).
std::vector<int32_t> discHalfWidths(int32_t reach, double radius) {
    std::vector<int32_t> halfWidths;
    if (reach < 0) return halfWidths;
    double squared = std::min(std::trunc(radius * radius), 2.0 * reach * reach + 1.0);
    int64_t reachSquared = int64_t(squared);
    for (int64_t dy = -reach; dy <= reach; ++dy) {
        int64_t room = reachSquared - dy * dy;
        if (room < 0) {
            halfWidths.push_back(-1);
            continue;
        }
        int64_t dx = int64_t(std::sqrt(double(room)));
        while (dx * dx > room) --dx;
        while ((dx + 1) * (dx + 1) <= room) ++dx;
        halfWidths.push_back(int32_t(std::min<int64_t>(dx, reach)));
    }
    return halfWidths;
}

// The state of one pixel of the searched rectangle in the match map.
enum : uint8_t { kNoMatch = 0, kMatch = 1, kJoined = 2 };

template <class P>
class RegionSearcher {
public:
    RegionSearcher(QvPlane<const P> picture, QvRegionBounds bounds, const QvRegionCriteria& criteria)
        : picture_(picture), bounds_(bounds), criteria_(criteria), test_(criteria),
          reach_(QvRegionSearch::reachOf(criteria.radius, picture.width, picture.height)),
          halfWidths_(discHalfWidths(reach_, criteria.radius)), mapStride_(size_t(bounds.right - bounds.left)),
          map_(new uint8_t[mapStride_ * size_t(bounds.bottom - bounds.top)]) {
        QvRegionSearch::markMatches(picture.window(bounds.left, bounds.top, bounds.right - bounds.left,
                                                   bounds.bottom - bounds.top),
                                    test_, map_.get(), mapStride_);
    }

    // Seeds in row order: every pixel that matches and has not joined a region yet.
    std::vector<QvRegion> search() {
        std::vector<QvRegion> regions;
        for (int32_t y = bounds_.top; y < bounds_.bottom; ++y) {
            QvYield();
            const uint8_t* marks = mapRow(y);
            for (int32_t x = bounds_.left; x < bounds_.right; ++x) {
                const void* seed = std::memchr(marks + x, kMatch, size_t(bounds_.right - x));
                if (!seed) break;
                x = int32_t(static_cast<const uint8_t*>(seed) - marks);
                fill(x, y, regions);
            }
        }
        return regions;
    }

private:
    // The match map of row y, indexed by picture column.
    uint8_t* mapRow(int32_t y) { return map_.get() + mapStride_ * size_t(y - bounds_.top) - bounds_.left; }

    // Grows the region of the seed breadth first: each pixel taken from the queue adds
    // the matching pixels of its disc that have not joined yet, row by row. The seed
    // joins when it is met as its own neighbour. The running values live in locals
    // (the map's byte stores would otherwise make the compiler reload them).
    void fill(int32_t seedX, int32_t seedY, std::vector<QvRegion>& regions) {
        int32_t minX = seedX, maxX = seedX, minY = seedY, maxY = seedY;
        const int64_t originX = int64_t(seedX) + 100, originY = int64_t(seedY) + 100;
        double sumX = 0, sumY = 0, area = 0;
        if (queue_.empty()) queue_.resize(1024);
        QvRegionPoint* queue = queue_.data();
        size_t size = 1, capacity = queue_.size();
        queue[0] = {seedX, seedY};
        for (size_t next = 0; next < size; ++next) {
            const QvRegionPoint centre = queue[next];
            int32_t firstRow = std::max(centre.y - reach_, bounds_.top);
            int32_t lastRow = std::min(centre.y + reach_, bounds_.bottom - 1);
            for (int32_t y = firstRow; y <= lastRow; ++y) {
                int32_t half = halfWidths_[size_t(y - centre.y + reach_)];
                if (half < 0) continue;
                int32_t first = std::max(centre.x - half, bounds_.left);
                int32_t last = std::min(centre.x + half, bounds_.right - 1);
                countCells(last - first + 1);
                uint8_t* marks = mapRow(y);
                for (int32_t x = first; x <= last; ++x) {
                    if (marks[x] != kMatch) continue;
                    marks[x] = kJoined;
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                    minY = std::min(minY, y);
                    maxY = std::max(maxY, y);
                    if (size == capacity) queue = grownQueue(capacity);
                    queue[size++] = {x, y};
                    double weight = test_.weight(picture_.row(y)[x]);
                    sumX += double(x - originX) * weight;
                    sumY += double(y - originY) * weight;
                    area += weight;
                }
            }
        }
        QvRegion region;
        region.minX = minX;
        region.maxX = maxX;
        region.minY = minY;
        region.maxY = maxY;
        region.area = area;
        if (!accepted(region)) return;
        region.centreX = sumX / area + double(originX);
        region.centreY = sumY / area + double(originY);
        if (criteria_.keepPoints) region.points.assign(queue + 1, queue + size);
        regions.push_back(std::move(region));
    }

    // Doubles the queue, keeping its entries.
    QvRegionPoint* grownQueue(size_t& capacity) {
        queue_.resize(2 * capacity);
        capacity = queue_.size();
        return queue_.data();
    }

    bool accepted(const QvRegion& region) const {
        return criteria_.minArea <= region.area && region.area > 0 &&
               criteria_.minWidth <= int64_t(region.maxX) - region.minX + 1 &&
               criteria_.minHeight <= int64_t(region.maxY) - region.minY + 1;
    }

    void countCells(int64_t cells) {
        cellsSinceYield_ += cells;
        if (cellsSinceYield_ < kCellsPerYield) return;
        cellsSinceYield_ = 0;
        QvYield();
    }

    QvPlane<const P> picture_;
    QvRegionBounds bounds_;
    const QvRegionCriteria& criteria_;
    QvRegionSearch::QvPixelTest<P> test_;
    int32_t reach_;
    std::vector<int32_t> halfWidths_;
    size_t mapStride_;
    std::unique_ptr<uint8_t[]> map_;
    // Every pixel of the current region in the order it joined, after the seed; it
    // grows as far as the region needs.
    std::vector<QvRegionPoint> queue_;
    int64_t cellsSinceYield_ = 0;
};

}  // namespace

namespace QvRegionSearch {

int32_t reachOf(double radius, int32_t width, int32_t height) {
    double limit = std::max(width, height);
    if (!(radius > -1.0)) return -1;
    return int32_t(std::min(std::trunc(radius), limit));
}

template <class P>
std::vector<QvRegion> findRegions(QvPlane<const P> picture, QvRegionBounds bounds, const QvRegionCriteria& criteria) {
    if (bounds.right <= bounds.left || bounds.bottom <= bounds.top) return {};
    return RegionSearcher<P>(picture, bounds, criteria).search();
}

template std::vector<QvRegion> findRegions<bgPix>(QvPlane<const bgPix>, QvRegionBounds, const QvRegionCriteria&);
template std::vector<QvRegion> findRegions<bcPix>(QvPlane<const bcPix>, QvRegionBounds, const QvRegionCriteria&);
template std::vector<QvRegion> findRegions<fgPix>(QvPlane<const fgPix>, QvRegionBounds, const QvRegionCriteria&);
template std::vector<QvRegion> findRegions<fcPix>(QvPlane<const fcPix>, QvRegionBounds, const QvRegionCriteria&);

}  // namespace QvRegionSearch
