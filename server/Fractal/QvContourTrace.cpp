#include "Fractal/QvContourTrace.h"

#include <algorithm>

#include "Errors/QvErrors.h"
#include "Fractal/QvEscapeIteration.h"

namespace QvFractal {

namespace {

// Points computed between two polls of the abort flag.
constexpr uint32_t kPointsPerYield = 4096;
// Entries read from the front of the queue before its storage is reused.
constexpr size_t kQueueSlack = 65536;

enum Side { kLeft, kRight, kUp, kDown };

// The neighbours examined for each direction, in order.
constexpr Side kExamined[8][4] = {
    {kLeft, kRight, kUp, kDown}, {kDown, kUp, kLeft, kRight}, {kRight, kLeft, kDown, kUp},
    {kUp, kDown, kRight, kLeft}, {kLeft, kRight, kDown, kUp}, {kDown, kUp, kRight, kLeft},
    {kRight, kLeft, kUp, kDown}, {kUp, kDown, kLeft, kRight},
};

// The pair of entries a triggering neighbour enqueues: offsets (dx, dy) and directions.
struct PairEntry {
    int dx, dy;
    uint32_t direction;
};
struct Pair {
    PairEntry first, second;
};

Pair pairFor(Side side, uint32_t direction) {
    auto among = [direction](std::initializer_list<uint32_t> set) {
        return std::find(set.begin(), set.end(), direction) != set.end();
    };
    switch (side) {
    case kLeft:
        return among({0, 3, 6, 7}) ? Pair{{-1, 1, 3}, {0, 1, 7}} : Pair{{0, -1, 1}, {-1, -1, 5}};
    case kRight:
        return among({0, 3, 6, 7}) ? Pair{{0, 1, 3}, {1, 1, 7}} : Pair{{1, -1, 1}, {0, -1, 5}};
    case kUp:
        return among({0, 1, 4, 7}) ? Pair{{1, 0, 0}, {1, -1, 4}} : Pair{{-1, -1, 2}, {-1, 0, 6}};
    case kDown: break;
    }
    return among({0, 1, 4, 7}) ? Pair{{1, 1, 0}, {1, 0, 4}} : Pair{{-1, 0, 2}, {-1, 1, 6}};
}

}  // namespace

QvContourTracer::QvContourTracer(QvEscapeGrid& grid, const QvFractalView& view) : grid_(grid), view_(view) {
    buildNeighbours();
}

void QvContourTracer::buildNeighbours() {
    const ptrdiff_t stride = ptrdiff_t(grid_.stride());
    auto offset = [stride](int dx, int dy) { return dy * stride + dx; };
    const ptrdiff_t sideOffsets[4] = {offset(-1, 0), offset(1, 0), offset(0, -1), offset(0, 1)};
    for (uint32_t direction = 0; direction < 8; ++direction)
        for (int i = 0; i < 4; ++i) {
            Side side = kExamined[direction][i];
            Pair pair = pairFor(side, direction);
            auto move = [&](const PairEntry& entry) {
                return Move{offset(entry.dx, entry.dy), int16_t(entry.dx), int16_t(entry.dy), entry.direction};
            };
            neighbours_[direction][i] = {sideOffsets[side], move(pair.first), move(pair.second)};
        }
}

// The seed enqueues itself (direction 1) and its left neighbour (direction 5). Each
// entry whose cell is still uncomputed gets its count k; the first neighbour examined
// triggers when its cell differs from k, the others only when they are computed and
// differ; a triggering neighbour enqueues its pair.
void QvContourTracer::trace(int32_t x, int32_t y) {
    size_t seed = grid_.index(x, y);
    if (grid_[seed] != kUncomputed) return;
    queue_.clear();
    const Entry origin{uint32_t(seed), int16_t(x), int16_t(y), 0};
    push(origin, {0, 0, 0, 1});
    push(origin, {-1, -1, 0, 5});
    for (size_t next = 0; next < queue_.size(); ++next) {
        if (next >= kQueueSlack && next * 2 >= queue_.size()) {
            queue_.erase(queue_.begin(), queue_.begin() + ptrdiff_t(next));
            next = 0;
        }
        const Entry entry = queue_[next];
        if (grid_[entry.cell] != kUncomputed) continue;
        const uint16_t k = countAt(entry.x, entry.y);
        store(entry.cell, k);
        const Neighbour* neighbours = neighbours_[entry.direction];
        for (int i = 0; i < 4; ++i) {
            const Neighbour& n = neighbours[i];
            uint16_t cell = grid_[entry.cell + n.offset];
            if (cell == k || (i > 0 && cell == kUncomputed)) continue;
            push(entry, n.first);
            push(entry, n.second);
        }
    }
}

uint16_t QvContourTracer::countAt(int32_t x, int32_t y) const {
    double re = view_.re(x), im = view_.im(y);
    int64_t count = view_.julia ? escapeCount(re, im, view_.cr, view_.ci, view_.depth)
                                : escapeCount(0.0, 0.0, re, im, view_.depth);
    return count ? uint16_t(count) : kInside;
}

void QvContourTracer::store(size_t cell, uint16_t count) {
    grid_[cell] = count;
    if (count != kInside && count < minimum_) minimum_ = count;
    if (++computedSinceYield_ < kPointsPerYield) return;
    computedSinceYield_ = 0;
    QvYield();
}

void traceMandelbrot(QvContourTracer& tracer, int32_t width, int32_t height) {
    for (int32_t row = height - 1; row >= 0; --row) {
        tracer.trace(0, row);
        tracer.trace(width - 1, row);
    }
    for (int32_t column = width - 2; column >= 1; --column) {
        tracer.trace(column, 0);
        tracer.trace(column, height / 2);
        tracer.trace(column, height - 1);
    }
}

namespace {

// Computes the cells of one row of the Julia grid's top half, left to right: while the
// last value met is below 16 an uncomputed cell is computed, and a count of 16 or more
// (inside included) starts a trace from the still uncomputed cell; after such a value,
// uncomputed cells wait for a computed cell of a smaller value.
void scanJuliaRow(QvContourTracer& tracer, QvEscapeGrid& grid, int32_t row) {
    constexpr uint16_t kTraced = 16;
    uint16_t last = 0;
    for (int32_t column = 0; column < grid.width(); ++column) {
        if (grid.at(column, row) == kUncomputed && last < kTraced) {
            uint16_t count = tracer.countAt(column, row);
            if (count < kTraced)
                tracer.store(column, row, count);
            else
                tracer.trace(column, row);
        }
        if (grid.at(column, row) != kUncomputed) last = grid.at(column, row);
    }
}

}  // namespace

void traceJulia(QvContourTracer& tracer, QvEscapeGrid& grid) {
    const int32_t size = grid.width(), computedRows = (size + 1) / 2;
    for (int32_t column = 0; column < size; ++column) grid.at(column, computedRows) = kFrame;
    for (int32_t row = computedRows - 1; row >= 0; --row) scanJuliaRow(tracer, grid, row);
    for (int32_t row = 0; row < computedRows; ++row)
        for (int32_t column = 0; column < size; ++column)
            if (size - 1 - row != row || size - 1 - column > column)
                grid.at(size - 1 - column, size - 1 - row) = grid.at(column, row);
    for (int32_t row = 0; row < size; ++row)
        if (grid.at(0, row) == kUncomputed) tracer.store(0, row, tracer.countAt(0, row));
}

}  // namespace QvFractal
