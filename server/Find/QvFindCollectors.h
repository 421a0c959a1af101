#pragma once
#include <cstdint>

#include "Find/QvFindSearch.h"

// What a scan keeps of the scores it reports, placement by placement in row order.
namespace QvFind {

class QvFindCollector {
public:
    virtual ~QvFindCollector() = default;
    // The score of placement (x, y); the answer to the last report of a row decides
    // whether the next row is scanned.
    virtual bool report(int32_t x, int32_t y, float score) = 0;
};

// The smallest score: a later placement replaces the best only when strictly smaller,
// so the first of equal scores wins; a perfect fit stops the scan after its row.
class QvBestCollector final : public QvFindCollector {
public:
    bool report(int32_t x, int32_t y, float score) override {
        if (score < best_) {
            best_ = score;
            x_ = x;
            y_ = y;
        }
        return best_ != 0;
    }
    bool found() const { return best_ < 1; }
    int32_t x() const { return x_; }
    int32_t y() const { return y_; }
    float score() const { return static_cast<float>(best_); }

private:
    double best_ = 1e99;
    int32_t x_ = 0, y_ = 0;
};

// Every score, at (x - x0, y - y0) of a map the size of the range.
class QvMapCollector final : public QvFindCollector {
public:
    QvMapCollector(QvPlane<fgPix> map, int32_t x0, int32_t y0) : map_(map), x0_(x0), y0_(y0) {}
    bool report(int32_t x, int32_t y, float score) override {
        map_.row(y - y0_)[x - x0_].grey = score;
        return true;
    }

private:
    QvPlane<fgPix> map_;
    int32_t x0_, y0_;
};

// The scores of the 3 x 3 placements around a centre, and which of them were scanned.
class QvNeighbourCollector final : public QvFindCollector {
public:
    QvNeighbourCollector(int32_t centreX, int32_t centreY) : centreX_(centreX), centreY_(centreY) {}
    bool report(int32_t x, int32_t y, float score) override {
        int32_t i = x - centreX_ + 1, j = y - centreY_ + 1;
        if (i >= 0 && i < 3 && j >= 0 && j < 3) {
            scores_[j][i] = score;
            seen_[j][i] = true;
        }
        return true;
    }
    // Offsets -1, 0, 1 from the centre.
    bool seen(int dx, int dy) const { return seen_[dy + 1][dx + 1]; }
    float score(int dx, int dy) const { return scores_[dy + 1][dx + 1]; }

private:
    int32_t centreX_, centreY_;
    float scores_[3][3] = {};
    bool seen_[3][3] = {};
};

}  // namespace QvFind
