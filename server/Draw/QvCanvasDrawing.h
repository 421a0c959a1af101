#pragma once
#include "Kernels/QvPixelClasses.h"
#include "Values/QvColor.h"

// Rectangles, lines and circles painted into the pixels of a picture, for any of the
// four pixel classes. Positions are picture coordinates (the centre of pixel (x, y) is
// at (x, y)) and round to pixels by floor(v + 0.5); everything outside the canvas is
// clipped before any loop runs, so huge shapes cost no more than the canvas.
enum class QvDrawMode { Copy = 1, Xor = 2, Or = 3 };

// How each plotted pixel changes. Colour and weight are on the 0-1 scale; byte
// canvases take them as bytes (times 255, clamped, truncated), grey canvases as grey.
// A full weight (1 in every channel) writes the mode's result; a partial one blends it
// with the pixel, channel by channel.
struct QvDrawStyle {
    QvColor color;
    QvColor weight{1, 1, 1};
    QvDrawMode mode = QvDrawMode::Copy;
};

namespace QvDraw {

// Rows y to y + height (upwards for a negative height), columns round(x) to
// round(x + width) inclusive; a rectangle less than one row high covers one row.
// Unfilled, only the outline is drawn.
template <class P>
void rectangle(QvPlane<P> canvas, double width, double height, double x, double y, const QvDrawStyle& style,
               bool fill);

// Steps along the longer axis (x when both are equal), one pixel per step; a line
// from a point to itself draws nothing.
template <class P>
void line(QvPlane<P> canvas, double x1, double y1, double x2, double y2, const QvDrawStyle& style);

// A disc of radius |radius| about (x, y): the rows within r / sqrt(2) of the centre
// are horizontal chords, the rest is filled by the vertical chords of the columns
// within that distance. Unfilled, its outline (the disc's pixels with a neighbour
// outside it), one pixel thick. Each pixel is plotted at most once, so "xor" circles
// leave no holes.
template <class P>
void circle(QvPlane<P> canvas, double radius, double x, double y, const QvDrawStyle& style, bool fill);

}  // namespace QvDraw
