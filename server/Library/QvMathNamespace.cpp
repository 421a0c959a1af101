// Math on numbers, vectors and pictures.
#include <cmath>

#include "Library/QvBuiltinNamespaces.h"
#include "Library/QvRandomGenerator.h"
#include "Values/QvVectorValue.h"

namespace {
QvValue* argument(QvParameterBlock* parameters, const char* name) {
    return QvParameterBlockGetValue(parameters, name);
}

const QvVectorValue& vectorArgument(QvParameterBlock* parameters, const char* name) {
    return static_cast<const QvVectorValue&>(*argument(parameters, name));
}

QvValue* extreme(const QvVectorValue::Extreme& found) {
    return new QvVectorValue({found.value, double(found.index)});
}

// The greater (or lesser) of x and y, which must be of one type; y on a tie. Pictures
// take, pixel by pixel, the pixel of greater (lesser) luminance.
QvValue* choose(QvPluginErrorBlock* error, QvParameterBlock* parameters, bool greater,
                const char* unsupported) {
    QvValue* x = argument(parameters, "x");
    QvValue* y = argument(parameters, "y");
    if (x->GetType() != y->GetType()) return QvBuiltinFailure(error, "Both parameters must have the same type.");
    if (x->GetType() == QV_NUMBER) {
        double a = x->AsNumber();
        double b = y->AsNumber();
        return QvNumberCreate((greater ? a > b : a < b) ? a : b);
    }
    if (Qv2DValue* picture = QvAsPicture(x)) return greater ? picture->BinaryMax(y) : picture->BinaryMin(y);
    return QvBuiltinFailure(error, unsupported);
}

// {ox + x, oy + y, luminance}, with the origin's first two elements truncated.
QvValue* locate(QvParameterBlock* parameters, bool brightest) {
    Qv2DValue& source = QvBuiltinPicture(parameters, "source");
    double originX = std::trunc(QvParameterBlockGetVectorValue(parameters, "origin_location", 0));
    double originY = std::trunc(QvParameterBlockGetVectorValue(parameters, "origin_location", 1));
    bool subPixel = QvParameterBlockGetBooleanValue(parameters, "sub_pixel");
    QvKernels::QvExtremeLocation found =
        brightest ? source.MaximumLocation(subPixel) : source.MinimumLocation(subPixel);
    return new QvVectorValue({originX + found.x, originY + found.y, found.luminance});
}
}

namespace QvMathNamespace {
QvValue* SumOfPicture(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    return QvBuiltinPicture(parameters, "x").SumElements();
}

QvValue* SumOfVector(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    double sum = 0;
    for (double element : vectorArgument(parameters, "x").elements()) sum += element;
    return QvNumberCreate(sum);
}

QvValue* DifferenceOfVectors(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    QvValue* x = argument(parameters, "x");
    QvValue* y = argument(parameters, "y");
    if (x->GetType() != y->GetType()) return QvBuiltinFailure(error, "Both parameters must have the same type.");
    if (x->GetType() != QV_VECTOR) return QvBuiltinFailure(error, "Unsupported type in Math.Difference()");
    if (x->AsVector().size() != y->AsVector().size())
        return QvBuiltinFailure(error, "Vectors are different sizes.");
    return x->Difference(y, 0);
}

// A NaN threshold is refused like a negative one (no difference could exceed it).
QvValue* DifferenceOfPictures(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    double threshold = QvParameterBlockGetNumberValue(parameters, "threshold");
    if (!(threshold >= 0)) return QvBuiltinFailure(error, "Difference threshold must be non-negative.");
    Qv2DValue& x = QvBuiltinPicture(parameters, "x");
    Qv2DValue& y = QvBuiltinPicture(parameters, "y");
    if (x.GetType() != y.GetType()) return QvBuiltinFailure(error, "Both parameters must have the same type.");
    return x.Difference(&y, threshold);
}

QvValue* SmallestElement(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    return extreme(vectorArgument(parameters, "x").smallest());
}

QvValue* LargestElement(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    return extreme(vectorArgument(parameters, "x").largest());
}

QvValue* DarkestPixel(QvPluginErrorBlock*, QvParameterBlock* parameters) { return locate(parameters, false); }

QvValue* BrightestPixel(QvPluginErrorBlock*, QvParameterBlock* parameters) { return locate(parameters, true); }

QvValue* Lesser(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    return choose(error, parameters, false, "Unsupported type in Math.Minimum()");
}

QvValue* Greater(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    return choose(error, parameters, true, "Unsupported type in Math.Maximum()");
}

QvValue* Average(QvPluginErrorBlock*, QvParameterBlock* parameters) { return argument(parameters, "x")->Average(); }

QvValue* StdDev(QvPluginErrorBlock*, QvParameterBlock* parameters) { return argument(parameters, "x")->Sdev(); }

QvValue* Random(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    double min = QvParameterBlockGetNumberValue(parameters, "min");
    double max = QvParameterBlockGetNumberValue(parameters, "max");
    if (min > max) return QvBuiltinFailure(error, "max must be greater than min");
    int drawn = QvRandomGenerator::process().next();
    return QvNumberCreate(min + (max - min) * drawn / QvRandomGenerator::kLargest);
}

QvValue* RandomSeed(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    QvRandomGenerator::process().seed(
        QvRandomGenerator::stateForSeed(QvParameterBlockGetNumberValue(parameters, "seed")));
    return QvNoValueCreate();
}
}
