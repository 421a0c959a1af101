#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace QvFractal {

// Cell values of the escape grid.
constexpr uint16_t kUncomputed = 0;
constexpr uint16_t kInside = 0xFFFF;  // the orbit stayed inside: part of the set
constexpr uint16_t kFrame = 0xFFFE;   // the frame around the picture
// Escape counts lie in 1..kMaxDepth.
constexpr int kMaxDepth = 32000;

// Which set, and where: pixel (i, j) stands for the point (left + i step, top - j step).
// The Mandelbrot set iterates z0 = 0 with c = the point; the Julia set z0 = the point
// with c = (cr, ci).
struct QvFractalView {
    double left = 0;
    double top = 0;
    double step = 0;
    int depth = 0;
    bool julia = false;
    double cr = 0;
    double ci = 0;

    double re(int32_t i) const { return left + double(i) * step; }
    double im(int32_t j) const { return top - double(j) * step; }
};

// One 16-bit cell per pixel, inside a frame of one cell all round.
class QvEscapeGrid {
public:
    QvEscapeGrid(int32_t width, int32_t height);

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    // The cell of pixel (x, y); x from -1 to width and y from -1 to height reach the frame.
    size_t index(int32_t x, int32_t y) const { return size_t(y + 1) * stride_ + size_t(x + 1); }
    uint16_t& at(int32_t x, int32_t y) { return cells_[index(x, y)]; }
    uint16_t at(int32_t x, int32_t y) const { return cells_[index(x, y)]; }
    uint16_t& operator[](size_t i) { return cells_[i]; }
    // Cells one row apart.
    size_t stride() const { return stride_; }

private:
    int32_t width_;
    int32_t height_;
    size_t stride_;
    std::vector<uint16_t> cells_;
};

}  // namespace QvFractal
