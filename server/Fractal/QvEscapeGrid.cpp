#include "Fractal/QvEscapeGrid.h"

namespace QvFractal {

QvEscapeGrid::QvEscapeGrid(int32_t width, int32_t height)
    : width_(width), height_(height), stride_(size_t(width) + 2),
      cells_(stride_ * (size_t(height) + 2), kUncomputed) {
    for (int32_t x = -1; x <= width; ++x) at(x, -1) = at(x, height) = kFrame;
    for (int32_t y = 0; y < height; ++y) at(-1, y) = at(width, y) = kFrame;
}

}  // namespace QvFractal
