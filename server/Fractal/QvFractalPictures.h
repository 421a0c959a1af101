#pragma once
#include <cstdint>
#include <memory>

#include "Fractal/QvColourTables.h"
#include "Fractal/QvContourTrace.h"
#include "Fractal/QvEscapeGrid.h"
#include "Kernels/QvPixelClasses.h"

// Mandelbrot and Julia pictures: the escape grid that the contour trace computes, the
// colour table that gives its counts colours, and the painting that fills the areas
// between contours.
namespace QvFractal {

struct QvEscapePicture {
    QvEscapeGrid grid;
    uint32_t minimum;  // the least escape count present (0xFFFFFFFF when none escaped)
};

// The Mandelbrot set on a width x height grid centred on (x, y), `scale` high.
QvEscapePicture mandelbrotPicture(double x, double y, double scale, int32_t width, int32_t height, int depth);
// The Julia set of c = (cr, ci) on a size x size grid centred on 0, `scale` wide.
QvEscapePicture juliaPicture(double cr, double ci, double scale, int32_t size, int depth);

enum class QvColourType { Cycle, Fade, Log, FixedLog };

struct QvColouring {
    QvColourType type = QvColourType::Log;
    int64_t colours = 200;
    double winding = 3;
    double gradient = 0.02;
};

std::unique_ptr<ColourTable> colourTable(const QvColouring& colouring, uint32_t minimum, int depth);

// Row by row from the top: a computed cell takes its table colour, an uncomputed one
// repeats the colour to its left. The frame has the grid's size.
void paint(const QvEscapeGrid& grid, const ColourTable& table, int depth, QvPlane<bcPix> frame);

}  // namespace QvFractal
