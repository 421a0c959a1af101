// The scan over placements: the sums of one placement row at a time, each turned into
// a score and reported to a collector; the best-fit search with its sub-pixel step and
// the score map built on it.
#include <algorithm>
#include <limits>
#include <type_traits>
#include <vector>

#include "Errors/QvErrors.h"
#include "Find/QvFindBounds.h"
#include "Find/QvFindCollectors.h"
#include "Find/QvFindSearch.h"
#include "Find/QvFindSums.h"
#include "Kernels/QvPixelRules.h"

namespace QvFind {
namespace {

// Scores from sums: the mean difference over the overlapping area on the 0-1 scale
// (1 where an overhang leaves too little overlap), plus the weight's penalty.
template <class P>
class QvPlacementScorer {
public:
    QvPlacementScorer(QvPlane<const P> source, QvPlane<const P> match, const QvFindRange& range,
                      const QvFindWeight& weight)
        : sw_(source.width), sh_(source.height), mw_(match.width), mh_(match.height), range_(range),
          weight_(weight) {}

    float score(int32_t x, int32_t y, double sum) const {
        int64_t width = std::min<int64_t>(int64_t(x) + mw_, sw_) - std::max(x, 0);
        int64_t height = std::min<int64_t>(int64_t(y) + mh_, sh_) - std::max(y, 0);
        int64_t area = width * height;
        double value = range_.overhangGiven && area < range_.minimumOverlap
                           ? 1.0
                           : sum * pixelScale<P>() / static_cast<double>(area);
        if (!weight_.plane.empty()) value = (1.0 - weightAt(x, y)) + value;
        return QvKernels::canonicalNaN(static_cast<float>(value));
    }

private:
    double weightAt(int32_t x, int32_t y) const {
        const QvPlane<const fgPix>& w = weight_.plane;
        int64_t wx = std::clamp<int64_t>(int64_t(x) - weight_.originX, 0, w.width - 1);
        int64_t wy = std::clamp<int64_t>(int64_t(y) - weight_.originY, 0, w.height - 1);
        return w.row(static_cast<int32_t>(wy))[wx].grey;
    }

    int32_t sw_, sh_, mw_, mh_;
    QvFindRange range_;
    QvFindWeight weight_;
};

// The placements of the range that overlap the source by at least one column and one
// row; none when either picture is empty.
QvFindRange overlapping(const QvFindRange& range, int32_t sw, int32_t sh, int32_t mw, int32_t mh) {
    QvFindRange placements = range;
    if (sw <= 0 || sh <= 0 || mw <= 0 || mh <= 0) {
        placements.x1 = placements.x0;
        return placements;
    }
    placements.x0 = std::max(range.x0, 1 - mw);
    placements.y0 = std::max(range.y0, 1 - mh);
    placements.x1 = std::min(range.x1, sw);
    placements.y1 = std::min(range.y1, sh);
    return placements;
}

template <class P>
class QvFindScan {
public:
    QvFindScan(QvFindCore core, QvPlane<const P> source, QvPlane<const P> match, const QvFindRange& range,
               const QvFindWeight& weight)
        : source_(source), match_(match),
          placements_(overlapping(range, source.width, source.height, match.width, match.height)),
          scorer_(source, match, range, weight) {
        if (!placements_.empty()) sums_ = makeFindSums<P>(core, source, match);
    }

    const QvFindRange& placements() const { return placements_; }

    // Reports every placement of `area` (within the overlapping placements) row by row
    // until the collector asks to stop.
    void run(const QvFindRange& area, QvFindCollector& collector) {
        if (area.empty()) return;
        row_.resize(size_t(area.x1 - area.x0));
        for (int32_t y = area.y0; y < area.y1; ++y) {
            QvYield();
            sums_->placementRow(y, area.x0, area.x1, row_.data());
            bool goOn = true;
            for (int32_t x = area.x0; x < area.x1; ++x) goOn = collector.report(x, y, scorer_.score(x, y, row_[x - area.x0]));
            if (!goOn) break;
        }
    }

    // The best-fit scan over every placement. Grey frames skip the placements whose
    // lower bound scores at least the best so far (ties never replace it), or more
    // than a first guess: the placement of the smallest bound, scored beforehand.
    void runBest(QvBestCollector& best) {
        if constexpr (std::is_same_v<P, bgPix>) {
            QvRowSumBounds bounds(source_, match_);
            if (!placements_.empty() && bounds.available()) return runPruned(bounds, best);
        }
        run(placements_, best);
    }

private:
    void runPruned(const QvRowSumBounds& bounds, QvBestCollector& best) {
        const QvFindRange& area = placements_;
        row_.resize(size_t(area.x1 - area.x0));
        bounds_.resize(row_.size());
        const float guess = guessScore(bounds);
        for (int32_t y = area.y0; y < area.y1; ++y) {
            QvYield();
            bounds.placementRow(y, area.x0, area.x1, bounds_.data());
            auto hopeless = [&](int32_t x) {
                float least = scorer_.score(x, y, bounds_[x - area.x0]);
                return least >= best.score() || least > guess;
            };
            bool goOn = true;
            for (int32_t x = area.x0; x < area.x1;) {
                if (hopeless(x)) {
                    ++x;
                    continue;
                }
                int32_t end = x + 1;
                while (end < area.x1 && !hopeless(end)) ++end;
                double* sums = row_.data() + (x - area.x0);
                sums_->placementRow(y, x, end, sums);
                for (; x < end; ++x, ++sums) goOn = best.report(x, y, scorer_.score(x, y, *sums));
            }
            if (!goOn) break;
        }
    }

    // The score of the placement with the smallest bound; infinite when none is known.
    float guessScore(const QvRowSumBounds& bounds) {
        const QvFindRange& area = placements_;
        int32_t guessX = 0, guessY = 0;
        int64_t smallest = -1;
        for (int32_t y = area.y0; y < area.y1; ++y) {
            QvYield();
            bounds.placementRow(y, area.x0, area.x1, bounds_.data());
            for (int32_t x = std::max(area.x0, 0); x < area.x1; ++x) {
                int32_t bound = bounds_[x - area.x0];
                if (y >= 0 && x + int64_t(match_.width) <= source_.width && y + int64_t(match_.height) <= source_.height &&
                    (smallest < 0 || bound < smallest)) {
                    smallest = bound;
                    guessX = x;
                    guessY = y;
                }
            }
        }
        if (smallest < 0) return std::numeric_limits<float>::infinity();
        double sum = 0;
        sums_->placementRow(guessY, guessX, guessX + 1, &sum);
        return scorer_.score(guessX, guessY, sum);
    }

    QvPlane<const P> source_;
    QvPlane<const P> match_;
    QvFindRange placements_;
    QvPlacementScorer<P> scorer_;
    std::unique_ptr<QvFindSums<P>> sums_;
    std::vector<double> row_;
    std::vector<int32_t> bounds_;
};

// Where the minimum lies between three scores a, b, c at -1, 0, 1 (b the smallest): the
// vertex of the parabola through them, within -0.999..0.999; 0 when a neighbour is
// missing or the scores are flat.
double vertexOffset(const QvNeighbourCollector& scores, int dx, int dy) {
    if (!scores.seen(-dx, -dy) || !scores.seen(dx, dy)) return 0;
    double a = scores.score(-dx, -dy), b = scores.score(0, 0), c = scores.score(dx, dy);
    double denominator = ((a + c) / 2 - b) * 4;
    if (denominator == 0) return 0;
    double offset = (a - c) / denominator;
    if (offset != offset) return 0;
    return std::clamp(offset, -0.999, 0.999);
}

}  // namespace

template <class P>
QvFindBest bestPlacement(QvFindCore core, QvPlane<const P> source, QvPlane<const P> match, const QvFindRange& range,
                         const QvFindWeight& weight, bool subPixel) {
    QvFindScan<P> scan(core, source, match, range, weight);
    QvBestCollector best;
    scan.runBest(best);
    QvFindBest result;
    if (!best.found()) return result;
    result = {true, double(best.x()), double(best.y()), best.score()};
    if (!subPixel) return result;

    const QvFindRange& scanned = scan.placements();
    QvFindRange around = scanned;
    around.x0 = std::max(scanned.x0, best.x() - 1);
    around.y0 = std::max(scanned.y0, best.y() - 1);
    around.x1 = std::min(scanned.x1, best.x() + 2);
    around.y1 = std::min(scanned.y1, best.y() + 2);
    QvNeighbourCollector neighbours(best.x(), best.y());
    scan.run(around, neighbours);
    result.x = std::clamp(best.x() + vertexOffset(neighbours, 1, 0), double(scanned.x0), double(scanned.x1 - 1));
    result.y = std::clamp(best.y() + vertexOffset(neighbours, 0, 1), double(scanned.y0), double(scanned.y1 - 1));
    result.score = neighbours.score(0, 0);
    return result;
}

template <class P>
void scoreMap(QvFindCore core, QvPlane<const P> source, QvPlane<const P> match, const QvFindRange& range,
              const QvFindWeight& weight, QvPlane<fgPix> map) {
    QvFindScan<P> scan(core, source, match, range, weight);
    QvMapCollector scores(map, range.x0, range.y0);
    scan.run(scan.placements(), scores);
}

#define QV_FIND_INSTANTIATE(P)                                                                                    \
    template QvFindBest bestPlacement<P>(QvFindCore, QvPlane<const P>, QvPlane<const P>, const QvFindRange&,      \
                                         const QvFindWeight&, bool);                                              \
    template void scoreMap<P>(QvFindCore, QvPlane<const P>, QvPlane<const P>, const QvFindRange&,                 \
                              const QvFindWeight&, QvPlane<fgPix>);
QV_FIND_INSTANTIATE(bgPix)
QV_FIND_INSTANTIATE(bcPix)
QV_FIND_INSTANTIATE(fgPix)
QV_FIND_INSTANTIATE(fcPix)
#undef QV_FIND_INSTANTIATE

}  // namespace QvFind
