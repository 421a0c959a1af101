#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Fractal/QvEscapeGrid.h"

namespace QvFractal {

// The contour trace that defines the fractal pictures: starting from a seed cell it
// computes the cells along the borders between areas of equal escape count, so the
// inside of each area stays uncomputed (painting fills it from the left). Frame cells
// count as computed, so a trace never leaves the grid. The queue grows as far as a
// trace needs.
class QvContourTracer {
public:
    QvContourTracer(QvEscapeGrid& grid, const QvFractalView& view);

    // Traces from the cell of pixel (x, y), unless that cell is computed.
    void trace(int32_t x, int32_t y);
    // The cell value of pixel (x, y): its escape count, or kInside.
    uint16_t countAt(int32_t x, int32_t y) const;
    // Stores a cell value worked out by countAt.
    void store(int32_t x, int32_t y, uint16_t count) { store(grid_.index(x, y), count); }
    // The least escape count computed so far; 0xFFFFFFFF before the first escape.
    uint32_t minimum() const { return minimum_; }

private:
    // A cell to visit, with its pixel coordinates (which the cell index would only
    // give through divisions) and the direction the trace came from.
    struct Entry {
        uint32_t cell;
        int16_t x;
        int16_t y;
        uint32_t direction;
    };
    // An entry relative to the one being visited.
    struct Move {
        ptrdiff_t cell;
        int16_t dx;
        int16_t dy;
        uint32_t direction;
    };
    // Per direction, the four neighbours in the order they are examined (offsets in
    // cells) and the pair of entries each one enqueues.
    struct Neighbour {
        ptrdiff_t offset;
        Move first;
        Move second;
    };

    void buildNeighbours();
    void push(const Entry& from, const Move& move) {
        queue_.push_back({uint32_t(from.cell + move.cell), int16_t(from.x + move.dx), int16_t(from.y + move.dy),
                          move.direction});
    }
    void store(size_t cell, uint16_t count);

    QvEscapeGrid& grid_;
    QvFractalView view_;
    Neighbour neighbours_[8][4];
    std::vector<Entry> queue_;
    uint32_t minimum_ = 0xFFFFFFFFu;
    uint32_t computedSinceYield_ = 0;
};

// The Mandelbrot grid: traces seeded from the left and right columns, row by row from
// the bottom, then from the top, middle and bottom rows, column by column from the right.
void traceMandelbrot(QvContourTracer& tracer, int32_t width, int32_t height);

// The Julia grid of a square picture: the top half row by row from its bottom, each
// row scanned left to right; low counts are computed directly, and a count of 16 or
// more starts a contour trace. The bottom half is the top turned by 180 degrees (the
// set is symmetric about 0); a first cell of a row left uncomputed is computed then.
void traceJulia(QvContourTracer& tracer, QvEscapeGrid& grid);

}  // namespace QvFractal
