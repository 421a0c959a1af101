// Fractal pictures: the traced grids against a plain transcription of the contour
// trace (never against brute force, which differs from the trace in a few pixels by
// design), the colour tables, and the painting between contours.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "Fractal/QvEscapeIteration.h"
#include "Fractal/QvFractalPictures.h"
#include "KernelPictures.h"

using namespace QvFractal;

namespace {

// The escape iteration exactly as described: n counts down from the depth.
uint16_t referenceCount(double zr, double zi, double cr, double ci, int depth) {
    if (depth < 1) return 0xFFFF;
    int n = depth;
    while (true) {
        if (zr * zr + zi * zi > 4) return uint16_t(depth - n + 1);
        n = n - 1;
        double nextZi = 2 * zr * zi + ci;
        double nextZr = zr * zr - zi * zi + cr;
        zr = nextZr;
        zi = nextZi;
        if (n < 1) return 0xFFFF;
    }
}

// The contour trace transcribed as plainly as possible: cells addressed by (x, y), a
// queue of (x, y, direction), the neighbour orders and pairs spelled out.
class ReferenceTrace {
public:
    ReferenceTrace(int width, int height, std::function<uint16_t(int, int)> count)
        : width_(width), height_(height), cells_(size_t(width + 2) * (height + 2), 0), count_(std::move(count)) {
        for (int x = -1; x <= width; ++x) cell(x, -1) = cell(x, height) = 0xFFFE;
        for (int y = -1; y <= height; ++y) cell(-1, y) = cell(width, y) = 0xFFFE;
    }

    uint16_t& cell(int x, int y) { return cells_[size_t(y + 1) * (width_ + 2) + size_t(x + 1)]; }
    uint16_t compute(int x, int y) {
        uint16_t k = count_(x, y);
        if (k != 0xFFFF && k < minimum) minimum = k;
        return k;
    }

    void trace(int x, int y) {
        if (cell(x, y) != 0) return;
        std::deque<std::tuple<int, int, int>> queue{{x, y, 1}, {x - 1, y, 5}};
        static const char* const kOrder[8] = {"LRUD", "DULR", "RLDU", "UDRL", "LRDU", "DURL", "RLUD", "UDLR"};
        while (!queue.empty()) {
            auto [qx, qy, d] = queue.front();
            queue.pop_front();
            if (cell(qx, qy) != 0) continue;
            uint16_t k = cell(qx, qy) = compute(qx, qy);
            auto among = [d = d](const std::string& set) { return set.find(char('0' + d)) != std::string::npos; };
            for (int i = 0; i < 4; ++i) {
                char side = kOrder[d][i];
                int nx = qx + (side == 'L' ? -1 : side == 'R' ? 1 : 0), ny = qy + (side == 'U' ? -1 : side == 'D' ? 1 : 0);
                uint16_t n = cell(nx, ny);
                if (i == 0 ? n == k : (n == 0 || n == k)) continue;
                switch (side) {
                case 'L':
                    if (among("0367")) queue.insert(queue.end(), {{qx - 1, qy + 1, 3}, {qx, qy + 1, 7}});
                    else queue.insert(queue.end(), {{qx, qy - 1, 1}, {qx - 1, qy - 1, 5}});
                    break;
                case 'R':
                    if (among("0367")) queue.insert(queue.end(), {{qx, qy + 1, 3}, {qx + 1, qy + 1, 7}});
                    else queue.insert(queue.end(), {{qx + 1, qy - 1, 1}, {qx, qy - 1, 5}});
                    break;
                case 'U':
                    if (among("0147")) queue.insert(queue.end(), {{qx + 1, qy, 0}, {qx + 1, qy - 1, 4}});
                    else queue.insert(queue.end(), {{qx - 1, qy - 1, 2}, {qx - 1, qy, 6}});
                    break;
                default:
                    if (among("0147")) queue.insert(queue.end(), {{qx + 1, qy + 1, 0}, {qx + 1, qy, 4}});
                    else queue.insert(queue.end(), {{qx - 1, qy, 2}, {qx - 1, qy + 1, 6}});
                }
            }
        }
    }

    uint32_t minimum = 0xFFFFFFFF;

private:
    int width_, height_;
    std::vector<uint16_t> cells_;
    std::function<uint16_t(int, int)> count_;
};

ReferenceTrace referenceMandelbrot(double x, double y, double scale, int w, int h, int depth) {
    double s = scale / (h - 1);
    ReferenceTrace trace(w, h, [=](int i, int j) {
        return referenceCount(0, 0, x - ((w + 1) / 2) * s + i * s, y + ((h + 1) / 2) * s - j * s, depth);
    });
    for (int row = h - 1; row >= 0; --row) {
        trace.trace(0, row);
        trace.trace(w - 1, row);
    }
    for (int column = w - 2; column >= 1; --column) {
        trace.trace(column, 0);
        trace.trace(column, h / 2);
        trace.trace(column, h - 1);
    }
    return trace;
}

// The top half scanned row by row from its bottom (a trace starts from the cell whose
// count is 16 or more, still uncomputed), turned onto the bottom half, and the first
// cell of any row left uncomputed computed where it is.
ReferenceTrace referenceJulia(double cr, double ci, double scale, int n, int depth) {
    double s = scale / (n - 1);
    ReferenceTrace trace(n, n, [=](int i, int j) { return referenceCount(-scale / 2 + i * s, scale / 2 - j * s, cr, ci, depth); });
    int top = (n + 1) / 2;
    for (int x = 0; x < n; ++x) trace.cell(x, top) = 0xFFFE;
    for (int row = top - 1; row >= 0; --row) {
        uint16_t last = 0;
        for (int column = 0; column < n; ++column) {
            if (trace.cell(column, row) == 0 && last < 16) {
                uint16_t k = trace.compute(column, row);
                if (k < 16)
                    trace.cell(column, row) = k;
                else
                    trace.trace(column, row);
            }
            if (trace.cell(column, row) != 0) last = trace.cell(column, row);
        }
    }
    for (int row = 0; row < top; ++row)
        for (int column = 0; column < n; ++column)
            if (n - 1 - row != row || n - 1 - column > column) trace.cell(n - 1 - column, n - 1 - row) = trace.cell(column, row);
    for (int row = 0; row < n; ++row)
        if (trace.cell(0, row) == 0) trace.cell(0, row) = trace.compute(0, row);
    return trace;
}

void expectSameGrid(const QvEscapePicture& picture, ReferenceTrace& reference) {
    int differences = 0;
    for (int y = 0; y < picture.grid.height(); ++y)
        for (int x = 0; x < picture.grid.width(); ++x)
            if (picture.grid.at(x, y) != reference.cell(x, y) && ++differences <= 5)
                ADD_FAILURE() << "cell " << x << ", " << y << ": " << picture.grid.at(x, y) << " instead of "
                              << reference.cell(x, y);
    EXPECT_EQ(differences, 0);
    EXPECT_EQ(picture.minimum, reference.minimum);
}

}  // namespace

TEST(FractalTrace, TheEscapeIterationCountsFromOne) {
    EXPECT_EQ(escapeCount(0, 0, 0, 0, 32000), 0);
    EXPECT_EQ(escapeCount(3, 0, 0, 0, 10), 1);
    EXPECT_EQ(escapeCount(0, 0, 3, 0, 10), 2);
    EXPECT_EQ(escapeCount(0, 0, 3, 0, 1), 0);
    EXPECT_EQ(escapeCount(3, 0, 0, 0, 0), 0);
    for (double cr : {-2.0, -0.75, 0.25, 0.3, 1.0})
        for (double ci : {0.0, 0.01, 0.5})
            for (int depth : {1, 7, 300}) {
                uint16_t expected = referenceCount(0, 0, cr, ci, depth);
                EXPECT_EQ(escapeCount(0, 0, cr, ci, depth), expected == 0xFFFF ? 0 : expected);
            }
}

TEST(FractalTrace, MandelbrotGridsFollowTheTrace) {
    const struct {
        double x, y, scale;
        int width, height, depth;
    } views[] = {{-0.7, 0, 2.2, 320, 240, 195}, {-0.75, 0.1, 0.05, 97, 61, 500}, {0, 0, 4, 2, 2, 20},
                 {-1.25, 0, 0.3, 3, 2, 50},     {-0.5, 0, 3, 9, 7, 60},        {-0.1, 0.9, -0.2, 40, 30, 100},
                 {-0.7, 0, 2.2, 30, 20, 0}};
    for (const auto& v : views) {
        SCOPED_TRACE(testing::Message() << v.width << " x " << v.height << " depth " << v.depth);
        ReferenceTrace reference = referenceMandelbrot(v.x, v.y, v.scale, v.width, v.height, v.depth);
        expectSameGrid(mandelbrotPicture(v.x, v.y, v.scale, v.width, v.height, v.depth), reference);
    }
}

TEST(FractalTrace, JuliaGridsFollowTheTraceAndTurnOntoThemselves) {
    const struct {
        double cr, ci, scale;
        int size, depth;
    } views[] = {{-0.8, 0.156, 4, 2, 100},  {-0.8, 0.156, 4, 3, 100},   {-0.8, 0.156, 3, 13, 300},
                 {-0.8, 0.156, 4, 64, 250}, {-0.8, 0.156, 4, 65, 250},  {0.285, 0.01, 3, 50, 300},
                 {-0.4, 0.6, 3, 41, 180},   {-0.123, 0.745, 3, 77, 120}};
    for (const auto& v : views) {
        SCOPED_TRACE(testing::Message() << "c " << v.cr << ", " << v.ci << " size " << v.size);
        ReferenceTrace reference = referenceJulia(v.cr, v.ci, v.scale, v.size, v.depth);
        QvEscapePicture picture = juliaPicture(v.cr, v.ci, v.scale, v.size, v.depth);
        expectSameGrid(picture, reference);
        for (int y = 0; y < v.size; ++y)
            for (int x = 0; x < v.size; ++x)
                ASSERT_EQ(picture.grid.at(x, y), picture.grid.at(v.size - 1 - x, v.size - 1 - y)) << x << ", " << y;
    }
}

TEST(FractalTrace, ColourTablesCoverEveryCount) {
    EXPECT_EQ(rainbow(0, 1), 0xFFFF0000u);
    EXPECT_EQ(rainbow(0.37, 0), 0xFFFFFFFFu);

    ColourTableCycle cycle(3, 4, 100);
    EXPECT_EQ(cycle.lookup(-1), kInsideColour);
    EXPECT_EQ(cycle.lookup(1), rainbow(0, 1));
    EXPECT_EQ(cycle.lookup(5), rainbow(0, 1));
    EXPECT_EQ(cycle.lookup(3), rainbow(0.5, 1));

    ColourTableSpiral fade(10, 4, 2, 100);
    EXPECT_EQ(fade.lookup(-1), kInsideColour);
    EXPECT_EQ(fade.lookup(10), rainbow(9.0 / 4, 1 - 1.0 / 8));
    EXPECT_EQ(fade.lookup(17), 0xFFFFFFFFu);
    EXPECT_EQ(fade.lookup(18), 0x00FFFFFFu);
    EXPECT_EQ(fade.lookup(100), 0x00FFFFFFu);

    ColourTableLog log(5, 3, 0.5, 100);
    EXPECT_EQ(log.lookup(-1), kInsideColour);
    EXPECT_EQ(log.lookup(5), rainbow(0, 1));
    EXPECT_EQ(log.lookup(6), rainbow((1 - std::exp(-0.5)) * 0.75 / (1 - std::exp(-1.0)), 1));
    EXPECT_EQ(log.lookup(7), log.lookup(100));
    // One colour has no range of hues: every count takes the first.
    ColourTableLog single(1, 1, 0.02, 100);
    EXPECT_EQ(single.lookup(1), rainbow(0, 1));
    EXPECT_EQ(single.lookup(99), rainbow(0, 1));
    // Only the entries counts up to the depth can reach are made.
    ColourTableCycle huge(1, int64_t(1) << 50, 32000);
    EXPECT_EQ(huge.lookup(32000), rainbow(31999.0 / double(int64_t(1) << 50), 1));
}

// Uncomputed cells repeat the colour to their left; inside cells are black.
TEST(FractalTrace, PaintingFillsBetweenContours) {
    QvEscapeGrid grid(4, 2);
    const uint16_t cells[2][4] = {{2, 0, 3, 0}, {kInside, 0, 2, 0}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) grid.at(x, y) = cells[y][x];
    ColourTableCycle table(2, 8, 10);
    KernelPicture<bcPix> frame(4, 2);
    paint(grid, table, 10, frame.plane());
    auto argb = [&](int x, int y) {
        bcPix p = frame.at(x, y);
        return uint32_t(p.alpha) << 24 | uint32_t(p.red) << 16 | uint32_t(p.green) << 8 | p.blue;
    };
    EXPECT_EQ(argb(0, 0), table.lookup(2));
    EXPECT_EQ(argb(1, 0), table.lookup(2));
    EXPECT_EQ(argb(3, 0), table.lookup(3));
    EXPECT_EQ(argb(1, 1), kInsideColour);
    EXPECT_EQ(argb(3, 1), table.lookup(2));
}
