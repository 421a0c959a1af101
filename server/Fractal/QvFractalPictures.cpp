#include "Fractal/QvFractalPictures.h"

#include <algorithm>
#include <vector>

namespace QvFractal {

QvEscapePicture mandelbrotPicture(double x, double y, double scale, int32_t width, int32_t height, int depth) {
    QvFractalView view;
    view.step = scale / double(height - 1);
    view.left = x - double((width + 1) / 2) * view.step;
    view.top = y + double((height + 1) / 2) * view.step;
    view.depth = depth;
    QvEscapePicture picture{QvEscapeGrid(width, height), 0};
    QvContourTracer tracer(picture.grid, view);
    traceMandelbrot(tracer, width, height);
    picture.minimum = tracer.minimum();
    return picture;
}

QvEscapePicture juliaPicture(double cr, double ci, double scale, int32_t size, int depth) {
    QvFractalView view;
    view.step = scale / double(size - 1);
    view.left = -scale / 2;
    view.top = scale / 2;
    view.depth = depth;
    view.julia = true;
    view.cr = cr;
    view.ci = ci;
    QvEscapePicture picture{QvEscapeGrid(size, size), 0};
    QvContourTracer tracer(picture.grid, view);
    traceJulia(tracer, picture.grid);
    picture.minimum = tracer.minimum();
    return picture;
}

std::unique_ptr<ColourTable> colourTable(const QvColouring& colouring, uint32_t minimum, int depth) {
    switch (colouring.type) {
    case QvColourType::Cycle: return std::make_unique<ColourTableCycle>(minimum, colouring.colours, depth);
    case QvColourType::Fade:
        return std::make_unique<ColourTableSpiral>(minimum, colouring.colours, colouring.winding, depth);
    case QvColourType::Log: return std::make_unique<ColourTableLog>(minimum, colouring.colours, colouring.gradient, depth);
    case QvColourType::FixedLog: break;
    }
    return std::make_unique<ColourTableLog>(1, colouring.colours, colouring.gradient, depth);
}

void paint(const QvEscapeGrid& grid, const ColourTable& table, int depth, QvPlane<bcPix> frame) {
    // The table once per count, so that each pixel costs one load.
    std::vector<bcPix> colours(size_t(std::max(depth, 0)) + 1);
    auto pixelOf = [](uint32_t argb) {
        return bcPix{uint8_t(argb), uint8_t(argb >> 8), uint8_t(argb >> 16), uint8_t(argb >> 24)};
    };
    for (size_t count = 0; count < colours.size(); ++count) colours[count] = pixelOf(table.lookup(int(count)));
    const bcPix inside = pixelOf(table.lookup(-1));
    for (int32_t y = 0; y < grid.height(); ++y) {
        bcPix* row = frame.row(y);
        bcPix colour = colours[0];
        for (int32_t x = 0; x < grid.width(); ++x) {
            uint16_t cell = grid.at(x, y);
            if (cell == kInside)
                colour = inside;
            else if (cell != kUncomputed || x == 0)
                colour = colours[cell];
            row[x] = colour;
        }
    }
}

}  // namespace QvFractal
