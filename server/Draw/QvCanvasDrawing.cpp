#include "Draw/QvCanvasDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "Images/QvPixelClasses.h"
#include "Kernels/QvPixelRules.h"

namespace {

// Far outside any canvas: rounded positions are kept within this distance, so every
// coordinate a script can give (huge, infinite or NaN) is an integer that clips.
constexpr int64_t kFar = int64_t(1) << 40;

// floor(v + 0.5) within -kFar..kFar (NaN gives -kFar).
int64_t pixelPosition(double v) {
    double shifted = v + 0.5;
    if (!(shifted > -double(kFar))) return -kFar;
    if (shifted > double(kFar)) return kFar;
    int64_t truncated = int64_t(shifted);
    return truncated - (double(truncated) > shifted ? 1 : 0);
}

// A colour component on the byte scale: times 255, clamped, truncated (NaN gives 0).
uint8_t byteOf(double component) {
    double scaled = component * 255.0;
    if (!(scaled > 0.0)) return 0;
    return scaled > 255.0 ? 255 : uint8_t(scaled);
}

template <QvDrawMode M>
uint8_t combine(uint8_t pixel, uint8_t color) {
    if constexpr (M == QvDrawMode::Xor) return pixel ^ color;
    if constexpr (M == QvDrawMode::Or) return std::max(pixel, color);
    return color;
}

template <QvDrawMode M>
float combine(float pixel, float color) {
    if constexpr (M == QvDrawMode::Xor) return color - pixel;
    if constexpr (M == QvDrawMode::Or) return std::max(pixel, color);
    return color;
}

// (m w) / 255 + (p (255 - w)) / 255, each quotient truncated, saturated at 255.
uint8_t blend(uint8_t mixed, uint8_t pixel, uint8_t weight) {
    int sum = mixed * weight / 255 + pixel * (255 - weight) / 255;
    return uint8_t(std::min(sum, 255));
}

float blend(float mixed, float pixel, float weight) { return mixed * weight + pixel * (1.0f - weight); }

// One colour channel: the mode's result, blended with the old value unless the
// weight is full.
template <QvDrawMode M, bool Full, class C>
void plotChannel(C& channel, C color, C weight) {
    C mixed = combine<M>(channel, color);
    channel = Full ? mixed : blend(mixed, channel, weight);
}

// A style colour as a pixel of each class, opaque: bytes are the components times 255,
// clamped and truncated; floats are taken as they are. Grey frames take the grey level
// of those bytes and grey images the single-precision luminance, so that white is
// their brightest value and a weight of 1 is full.
template <class P>
P pixelOf(const QvColor& c);
template <>
bcPix pixelOf<bcPix>(const QvColor& c) {
    return {byteOf(c.blue), byteOf(c.green), byteOf(c.red), 255};
}
template <>
bgPix pixelOf<bgPix>(const QvColor& c) {
    return {QvKernels::greyLevel(pixelOf<bcPix>(c))};
}
template <>
fcPix pixelOf<fcPix>(const QvColor& c) {
    return {1.0f, float(c.red), float(c.green), float(c.blue)};
}
template <>
fgPix pixelOf<fgPix>(const QvColor& c) {
    return {QvKernels::luminance(c)};
}

// A pen plots runs of pixels, choosing its mode and whether its weight is full once
// per run. A full weight is the brightest value in every channel; with it, copy writes
// the whole pixel (opaque), otherwise red, green and blue change and alpha stays.
template <class P>
class Pen {
public:
    explicit Pen(const QvDrawStyle& style)
        : mode_(style.mode), color_(pixelOf<P>(style.color)), weight_(pixelOf<P>(style.weight)), full_(full(weight_)) {}

    void run(P* first, int64_t count) const {
        switch (mode_) {
        case QvDrawMode::Xor: return full_ ? loop<QvDrawMode::Xor, true>(first, count)
                                           : loop<QvDrawMode::Xor, false>(first, count);
        case QvDrawMode::Or: return full_ ? loop<QvDrawMode::Or, true>(first, count)
                                          : loop<QvDrawMode::Or, false>(first, count);
        case QvDrawMode::Copy: break;
        }
        return full_ ? loop<QvDrawMode::Copy, true>(first, count) : loop<QvDrawMode::Copy, false>(first, count);
    }

private:
    static bool full(const P& weight) {
        if constexpr (QvIsGreyPixel<P>)
            return weight.grey == pixelOf<P>({1, 1, 1}).grey;
        else
            return weight.red == weight.alpha && weight.green == weight.alpha && weight.blue == weight.alpha;
    }

    template <QvDrawMode M, bool Full>
    void loop(P* pixels, int64_t count) const {
        for (int64_t i = 0; i < count; ++i) plot<M, Full>(pixels[i]);
    }

    template <QvDrawMode M, bool Full>
    void plot(P& p) const {
        if constexpr (QvIsGreyPixel<P>) {
            plotChannel<M, Full>(p.grey, color_.grey, weight_.grey);
        } else if constexpr (M == QvDrawMode::Copy && Full) {
            p = color_;
        } else {
            plotChannel<M, Full>(p.red, color_.red, weight_.red);
            plotChannel<M, Full>(p.green, color_.green, weight_.green);
            plotChannel<M, Full>(p.blue, color_.blue, weight_.blue);
        }
    }

    QvDrawMode mode_;
    P color_;
    P weight_;
    bool full_;
};

// Plots runs of pixels, clipped to the canvas.
template <class P>
class Painter {
public:
    Painter(QvPlane<P> canvas, const QvDrawStyle& style) : canvas_(canvas), pen_(style) {}

    int64_t width() const { return canvas_.width; }
    int64_t height() const { return canvas_.height; }

    void point(int64_t x, int64_t y) const {
        if (x >= 0 && y >= 0 && x < width() && y < height()) pen_.run(canvas_.row(int(y)) + x, 1);
    }
    // Columns from..to (inclusive) of row y.
    void row(int64_t y, int64_t from, int64_t to) const {
        if (y < 0 || y >= height()) return;
        from = std::max<int64_t>(from, 0);
        to = std::min(to, width() - 1);
        if (from <= to) pen_.run(canvas_.row(int(y)) + from, to - from + 1);
    }

private:
    QvPlane<P> canvas_;
    Pen<P> pen_;
};

// An inclusive stretch of columns; empty when last < first.
struct Stretch {
    int64_t first = 0;
    int64_t last = -1;
    bool empty() const { return last < first; }
};

// The rows of a disc as they are drawn: rows within r / sqrt(2) of the centre take
// their horizontal chord, the rows beyond it the columns within r / sqrt(2) of the
// centre whose vertical chord reaches them (the chords' ends rounded). Only the rows
// from -1 to the canvas height are worked out, with columns kept within -1..width:
// all that the canvas, and the outline along its edges, can show.
class DiscRows {
public:
    DiscRows(double radius, double x, double y, int64_t width, int64_t height) : r_(std::fabs(radius)) {
        const double reach = r_ / std::sqrt(2.0);
        first_ = std::max<int64_t>(pixelPosition(y - r_), -1);
        const int64_t last = std::min<int64_t>(pixelPosition(y + r_), height);
        const Stretch band{pixelPosition(y - reach), pixelPosition(y + reach)};
        const int64_t firstColumn = std::max<int64_t>(pixelPosition(x - reach), -1);
        const int64_t lastColumn = std::min<int64_t>(pixelPosition(x + reach), width);
        std::vector<Stretch> columns;
        columns.reserve(size_t(std::max<int64_t>(lastColumn - firstColumn + 1, 0)));
        for (int64_t column = firstColumn; column <= lastColumn; ++column) columns.push_back(chord(column - x, y));
        spans_.reserve(size_t(std::max<int64_t>(last - first_ + 1, 0)));
        for (int64_t row = first_; row <= last; ++row) {
            Stretch span;
            if (row >= band.first && row <= band.last) {
                span = chord(row - y, x);
            } else {
                for (int64_t column = firstColumn; column <= lastColumn; ++column) {
                    const Stretch& reaches = columns[size_t(column - firstColumn)];
                    if (row < reaches.first || row > reaches.last) continue;
                    if (span.empty()) span.first = column;
                    span.last = column;
                }
            }
            spans_.push_back({std::max<int64_t>(span.first, -1), std::min(span.last, width)});
        }
    }

    int64_t firstRow() const { return first_; }
    int64_t lastRow() const { return first_ + int64_t(spans_.size()) - 1; }
    Stretch span(int64_t row) const {
        return row < first_ || row > lastRow() ? Stretch{} : spans_[size_t(row - first_)];
    }
    // The pixels of the row whose four neighbours all belong to the disc.
    Stretch inside(int64_t row) const {
        Stretch here = span(row), above = span(row - 1), below = span(row + 1);
        if (above.empty() || below.empty()) return {};
        return {std::max({here.first + 1, above.first, below.first}), std::min({here.last - 1, above.last, below.last})};
    }

private:
    // The rounded chord at distance e from the centre along a line through `centre`.
    Stretch chord(double e, double centre) const {
        double half = r_ * r_ - e * e;
        if (!(half >= 0.0)) return {};
        half = std::sqrt(half);
        return {pixelPosition(centre - half), pixelPosition(centre + half)};
    }

    double r_;
    int64_t first_ = 0;
    std::vector<Stretch> spans_;
};

}  // namespace

namespace QvDraw {

template <class P>
void rectangle(QvPlane<P> canvas, double width, double height, double x, double y, const QvDrawStyle& style,
               bool fill) {
    Painter<P> paint(canvas, style);
    double top = y, bottom = y + height;
    if (height < 0) std::swap(top, bottom);
    int64_t left = pixelPosition(x), right = pixelPosition(x + width);
    if (!(left < right)) return;
    auto run = [&](int64_t row, bool filled) {
        if (filled) return paint.row(row, left, right);
        paint.point(left, row);
        if (right > left + 1) paint.point(right, row);
    };
    int64_t first = pixelPosition(top), last = pixelPosition(bottom);
    run(first, true);
    if (bottom > top + 1) run(last, true);
    for (int64_t row = std::max<int64_t>(first + 1, 0), end = std::min(last - 1, paint.height() - 1); row <= end;
         ++row)
        run(row, fill);
}

template <class P>
void line(QvPlane<P> canvas, double x1, double y1, double x2, double y2, const QvDrawStyle& style) {
    if (x1 == x2 && y1 == y2) return;
    Painter<P> paint(canvas, style);
    bool alongX = std::fabs(x2 - x1) >= std::fabs(y2 - y1);
    double a1 = alongX ? x1 : y1, a2 = alongX ? x2 : y2, b1 = alongX ? y1 : x1, b2 = alongX ? y2 : x2;
    double slope = (b2 - b1) / (a2 - a1);
    int64_t extent = alongX ? paint.width() : paint.height();
    int64_t first = std::max<int64_t>(pixelPosition(std::min(a1, a2)), 0);
    int64_t last = std::min(pixelPosition(std::max(a1, a2)), extent - 1);
    for (int64_t a = first; a <= last; ++a) {
        int64_t b = pixelPosition(b1 + (double(a) - a1) * slope);
        if (alongX)
            paint.point(a, b);
        else
            paint.point(b, a);
    }
}

// Unfilled, only the outline: the pixels of the disc with a neighbour outside it.
template <class P>
void circle(QvPlane<P> canvas, double radius, double x, double y, const QvDrawStyle& style, bool fill) {
    Painter<P> paint(canvas, style);
    DiscRows disc(radius, x, y, paint.width(), paint.height());
    for (int64_t row = std::max<int64_t>(disc.firstRow(), 0), end = std::min(disc.lastRow(), paint.height() - 1);
         row <= end; ++row) {
        Stretch span = disc.span(row), inside = fill ? Stretch{} : disc.inside(row);
        if (inside.empty()) {
            paint.row(row, span.first, span.last);
            continue;
        }
        paint.row(row, span.first, inside.first - 1);
        paint.row(row, inside.last + 1, span.last);
    }
}

#define QV_DRAW_SHAPES(P)                                                                                       \
    template void rectangle<P>(QvPlane<P>, double, double, double, double, const QvDrawStyle&, bool);         \
    template void line<P>(QvPlane<P>, double, double, double, double, const QvDrawStyle&);                    \
    template void circle<P>(QvPlane<P>, double, double, double, const QvDrawStyle&, bool);
QV_DRAW_SHAPES(bgPix)
QV_DRAW_SHAPES(bcPix)
QV_DRAW_SHAPES(fgPix)
QV_DRAW_SHAPES(fcPix)
#undef QV_DRAW_SHAPES

}  // namespace QvDraw
