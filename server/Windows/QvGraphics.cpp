#include "Windows/QvGraphics.h"

#include <algorithm>

#include "Values/QvNumberValue.h"

namespace {
constexpr int kTextMargin = 20;
constexpr int kPixelsPerCharacter = 15;
constexpr int kMaximumTextWidth = 500;

constexpr short kPlotWidth = 360;
constexpr short kPlotHeight = 280;
constexpr int kPlotLeft = 20;
constexpr int kPlotTop = 20;
constexpr int kPlotSpanX = 320;
constexpr int kPlotSpanY = 240;
constexpr int kLabelLine = 278;
}

void QvGraphics::getSize(short* width, short* height) const {
    *width = width_;
    *height = height_;
}

void QvGraphics::setSize(short width, short height) {
    width_ = width;
    height_ = height;
}

void QvGraphics::addText(const std::string& text, int x, int y) {
    commands_.push_back(std::make_unique<QvGraphicsCommand>(QvGraphicsCommandText, x, y, text));
}

void QvGraphics::addMovie(MovieRecord* movie, int x, int y) {
    commands_.push_back(std::make_unique<QvGraphicsCommand>(movie, x, y));
    fullEraseNeeded_ = false;
}

void QvGraphics::addImage(QvGWorld* world, int x, int y) {
    commands_.push_back(std::make_unique<QvGraphicsCommand>(world, x, y));
    fullEraseNeeded_ = false;
}

void QvGraphics::addMoveTo(int x, int y) {
    commands_.push_back(std::make_unique<QvGraphicsCommand>(QvGraphicsCommandMoveTo, x, y));
}

void QvGraphics::addLineTo(int x, int y) {
    commands_.push_back(std::make_unique<QvGraphicsCommand>(QvGraphicsCommandLineTo, x, y));
}

void QvGraphics::displayText(const std::string& text) {
    long wanted = long(text.size()) * kPixelsPerCharacter;
    setSize(short(std::clamp<long>(wanted, kDefaultWidth, kMaximumTextWidth)), kDefaultHeight);
    showText(text);
}

void QvGraphics::showText(const std::string& text) { addText(text, kTextMargin, kTextMargin); }

// Points are spread over the plot's width; values run from the smallest (bottom) to the
// largest (top). When all values are equal the line is drawn across the middle.
void QvGraphics::plotNumbers(const std::vector<double>& numbers) {
    setSize(kPlotWidth, kPlotHeight);
    const int bottom = kPlotTop + kPlotSpanY;
    addMoveTo(kPlotLeft, kPlotTop);
    addLineTo(kPlotLeft, bottom);
    addLineTo(kPlotLeft + kPlotSpanX, bottom);
    if (numbers.empty()) return;

    double largest = -9e99, smallest = 9e99;
    for (double v : numbers) {
        largest = std::max(largest, v);
        smallest = std::min(smallest, v);
    }
    const double range = largest - smallest;
    auto yOf = [&](double v) {
        double share = range > 0 ? (v - smallest) / range : 0.5;
        return int((1 - share) * kPlotSpanY + kPlotTop);
    };
    const long n = long(numbers.size());
    addMoveTo(kPlotLeft, yOf(numbers[0]));
    for (long i = 1; i < n; ++i)
        addLineTo(int(kPlotSpanX * i / n) + kPlotLeft, yOf(numbers[size_t(i)]));

    addText(QvNumberValue::FormatNumber(double(n)), kPlotSpanX, kLabelLine);
    addText(QvNumberValue::FormatNumber(smallest), 2, kLabelLine);
    addText(QvNumberValue::FormatNumber(largest), 2, kPlotTop);
}
