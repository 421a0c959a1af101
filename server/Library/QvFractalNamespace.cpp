// Fractal: Mandelbrot and Julia frames and single Mandelbrot points.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "Fractal/QvEscapeIteration.h"
#include "Fractal/QvFractalPictures.h"
#include "Images/Qv2DValue.h"
#include "Library/QvBuiltinNamespaces.h"

using namespace QvFractal;

namespace {

// Iterations of one point between two polls of the abort flag.
constexpr int64_t kIterationsPerYield = int64_t(1) << 20;

// A count or size argument truncated towards zero; NaN gives 0 and the magnitude is
// kept below 2^62.
int64_t wholeNumber(QvParameterBlock* parameters, const char* name) {
    double value = std::trunc(QvParameterBlockGetNumberValue(parameters, name));
    if (!(value == value)) return 0;
    return int64_t(std::clamp(value, -4.6e18, 4.6e18));
}

// The depth when none is given: trunc(200 (|scale| / 2)^-0.25), at most the limit.
int defaultDepth(double scale) {
    double depth = 200.0 * std::pow(std::fabs(scale) / 2.0, -0.25);
    return depth < kMaxDepth ? int(depth) : kMaxDepth;
}

int cappedDepth(int64_t depth) { return int(std::clamp<int64_t>(depth, INT32_MIN, kMaxDepth)); }

bool refuse(QvPluginErrorBlock* error, const char* message) {
    QvBuiltinFailure(error, message);
    return false;
}

// The colour arguments, checked; false (with the message in the error block) when one
// is not allowed.
bool colouringOf(QvPluginErrorBlock* error, QvParameterBlock* parameters, QvColouring& colouring) {
    colouring.colours = wholeNumber(parameters, "numbercolors");
    colouring.winding = QvParameterBlockGetNumberValue(parameters, "winding");
    colouring.gradient = QvParameterBlockGetNumberValue(parameters, "gradient");
    if (colouring.colours < 1) return refuse(error, "Illegal number of colors, must be greater than 0");
    static const struct {
        const char* name;
        QvColourType type;
    } types[] = {{"cycle", QvColourType::Cycle},
                 {"fade", QvColourType::Fade},
                 {"log", QvColourType::Log},
                 {"fixedlog", QvColourType::FixedLog}};
    const char* name = QvParameterBlockGetTextValue(parameters, "colortype");
    const auto* known = std::find_if(std::begin(types), std::end(types),
                                     [name](const auto& type) { return std::strcmp(type.name, name) == 0; });
    if (known == std::end(types)) return refuse(error, "Illegal colortype name");
    colouring.type = known->type;
    if (colouring.type == QvColourType::Fade && !(colouring.winding > 0))
        return refuse(error, "Illegal winding number, must be greater than 0");
    bool logarithmic = colouring.type == QvColourType::Log || colouring.type == QvColourType::FixedLog;
    if (logarithmic && !(colouring.gradient > 0))
        return refuse(error, "Illegal gradient, must be greater than 0");
    return true;
}

bool sizeAllowed(QvPluginErrorBlock* error, int64_t side) {
    return (side >= 2 && side <= 32767) || refuse(error, "Illegal size, must be between 2 and 32767");
}

// The frame of a computed grid, coloured; "Out of memory" when the grid or the table
// cannot be had.
template <class Compute>
QvValue* fractalFrame(QvPluginErrorBlock* error, const QvColouring& colouring, int depth, Compute compute) {
    try {
        QvEscapePicture picture = compute();
        std::unique_ptr<ColourTable> table = colourTable(colouring, picture.minimum, depth);
        QvValue* frame = QvFrameColorCreate(picture.grid.width(), picture.grid.height());
        paint(picture.grid, *table, depth, QvAsPicture(frame)->pixels().plane<bcPix>());
        return frame;
    } catch (const std::bad_alloc&) {
        return QvBuiltinFailure(error, "Out of memory");
    }
}

}  // namespace

namespace QvFractalNamespace {

QvValue* Mandelbrot(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    double x = QvParameterBlockGetNumberValue(parameters, "x"), y = QvParameterBlockGetNumberValue(parameters, "y");
    double scale = QvParameterBlockGetNumberValue(parameters, "scale");
    int64_t width = wholeNumber(parameters, "width"), height = wholeNumber(parameters, "height");
    int depth = QvParameterBlockIsDynamicGenerationRequired(parameters, "depth")
                    ? defaultDepth(scale)
                    : cappedDepth(wholeNumber(parameters, "depth"));
    QvColouring colouring;
    if (!sizeAllowed(error, width) || !sizeAllowed(error, height) || !colouringOf(error, parameters, colouring))
        return nullptr;
    return fractalFrame(error, colouring, depth,
                        [&] { return mandelbrotPicture(x, y, scale, int32_t(width), int32_t(height), depth); });
}

QvValue* Julia(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    double x = QvParameterBlockGetNumberValue(parameters, "x"), y = QvParameterBlockGetNumberValue(parameters, "y");
    double scale = QvParameterBlockGetNumberValue(parameters, "scale");
    int64_t size = wholeNumber(parameters, "size"), givenDepth = wholeNumber(parameters, "depth");
    int depth = givenDepth == 0 ? defaultDepth(scale) : cappedDepth(givenDepth);
    QvColouring colouring;
    if (!sizeAllowed(error, size) || !colouringOf(error, parameters, colouring)) return nullptr;
    return fractalFrame(error, colouring, depth,
                        [&] { return juliaPicture(x, y, scale, int32_t(size), depth); });
}

// The escape count minus one, or -1 when the point stays inside within the depth (at
// most 2^31 - 1 iterations; the run can be stopped while it iterates).
QvValue* MandelbrotPoint(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    double x = QvParameterBlockGetNumberValue(parameters, "x"), y = QvParameterBlockGetNumberValue(parameters, "y");
    int64_t depth = std::min<int64_t>(wholeNumber(parameters, "depth"), INT32_MAX);
    QvOrbit z{0.0, 0.0};
    for (int64_t done = 0; done < depth; done += kIterationsPerYield) {
        int64_t escaped = firstEscape(z, x, y, std::min(depth - done, kIterationsPerYield));
        if (escaped >= 0) return QvNumberCreate(double(done + escaped));
        QvYield();
    }
    return QvNumberCreate(-1);
}

}  // namespace QvFractalNamespace
