#include <algorithm>
#include <cmath>

#include "Errors/QvErrors.h"
#include "Errors/QvSystemErrors.h"
#include "Images/Qv2DValue.h"
#include "Images/QvPictureConversion.h"
#include "Images/QvPictureGeometry.h"
#include "Kernels/QvPixelRules.h"
#include "Values/QvColorValue.h"
#include "Values/QvElementIndex.h"
#include "Values/QvNumberValue.h"

namespace {

bool isNumber(const QvValue* value) { return value && value->GetType() == QV_NUMBER; }
bool isVector(const QvValue* value) { return value && value->GetType() == QV_VECTOR; }

// A pixel coordinate: the number truncated, within 0..size-1.
int64_t checkedCoordinate(int64_t value, int32_t size) {
    QvCheckIndexRange(long(value), 0, long(size) - 1);
    return value;
}

int64_t truncated(double value) {
    QvNumberValue number(value);
    return QvTruncatedIndex(&number);
}

// A vector's first two numbers, truncated.
void corner(QvValue* vector, int64_t& x, int64_t& y) {
    const std::vector<double>& v = vector->AsVector();
    if (v.size() < 2) QvError("Wrong type arguments to indexing operation");
    x = truncated(v[0]);
    y = truncated(v[1]);
}

}  // namespace

void Qv2DValue::Resize(int64_t width, int64_t height) {
    if (width == GetWidth() && height == GetHeight()) return;
    pixels() = QvPictureGeometry::resize(pixels(), QvPixelStorage::checkedSide(double(width)),
                                         QvPixelStorage::checkedSide(double(height)));
}

QvValue* Qv2DValue::SubImage(int64_t x0, int64_t y0, int64_t x1, int64_t y1) const {
    if (x1 < x0) std::swap(x0, x1);
    if (y1 < y0) std::swap(y0, y1);
    for (int64_t x : {x0, x1}) QvCheckIndexRange(long(x), 0, GetWidth());
    for (int64_t y : {y0, y1}) QvCheckIndexRange(long(y), 0, GetHeight());
    return withPixels(QvPictureGeometry::crop(pixels(), int32_t(x0), int32_t(y0), int32_t(x1), int32_t(y1)));
}

void Qv2DValue::Paste(const Qv2DValue& picture, int64_t x, int64_t y) {
    checkedCoordinate(x, INT32_MAX);
    checkedCoordinate(y, INT32_MAX);
    QvPixelStorage snapshot;
    const QvPixelStorage* source = &picture.pixels();
    if (&picture == this) source = &(snapshot = pixels().copy());
    int64_t width = x + source->width(), height = y + source->height();
    if (width > GetWidth() || height > GetHeight()) pixels() = QvPictureGeometry::grown(pixels(), width, height);
    QvPictureConversion::paste(*source, pixels(), x, y);
}

QvValue* Qv2DValue::Interlace(QvValue* other) const {
    const Qv2DValue* odd = QvAsPicture(other);
    if (!odd || odd->GetType() != GetType()) QvError("Parameters must be the same type for interlacing.)");
    int64_t extra = int64_t(GetHeight()) - odd->GetHeight();
    if (odd->GetWidth() != GetWidth() || extra < 0 || extra > 1) QvError("Frames must be same size.");
    return withPixels(QvPictureGeometry::interlace(pixels(), odd->pixels()));
}

QvValue* Qv2DValue::DeInterlaceEven() const {
    return withPixels(QvPictureGeometry::everySecondRow(pixels(), 0));
}

QvValue* Qv2DValue::DeInterlaceOdd() const {
    return withPixels(QvPictureGeometry::everySecondRow(pixels(), 1));
}

QvValue* Qv2DValue::TransformAffine(double a, double b, double c, double d, const QvColor& background) const {
    return withPixels(QvPictureGeometry::affine(pixels(), a, b, c, d, background));
}

double Qv2DValue::GetPixelLuminance(int64_t x, int64_t y) const {
    checkedCoordinate(x, GetWidth());
    checkedCoordinate(y, GetHeight());
    return QvWithPixel(pixelClass(), [&](auto p) -> double {
        return QvKernels::pixelLuminance(pixels().row<decltype(p)>(int32_t(y))[x]);
    });
}

void Qv2DValue::MultiplyPixelByNumber(int64_t x, int64_t y, double factor) {
    checkedCoordinate(x, GetWidth());
    checkedCoordinate(y, GetHeight());
    QvPixelStorage one = QvPictureGeometry::crop(pixels(), int32_t(x), int32_t(y), int32_t(x + 1), int32_t(y + 1));
    QvPictureArithmetic::withConstant(QvPixelOperator::multiply, one, {factor, factor, factor}, one);
    QvPictureConversion::paste(one, pixels(), x, y);
}

void Qv2DValue::setPixelColor(int64_t x, int64_t y, const QvColor& color) {
    checkedCoordinate(x, GetWidth());
    checkedCoordinate(y, GetHeight());
    QvWithPixel(pixelClass(), [&](auto p) {
        using P = decltype(p);
        QvKernels::pixelOfColor(color, pixels().row<P>(int32_t(y))[x]);
    });
}

void Qv2DValue::GetDoubleIndexed(QvValueRef& out, QvValue* i, QvValue* j) {
    if (isNumber(i) && isNumber(j)) {
        int64_t x = checkedCoordinate(QvTruncatedIndex(i), GetWidth());
        int64_t y = checkedCoordinate(QvTruncatedIndex(j), GetHeight());
        out = new QvColorValue(QvWithPixel(
            pixelClass(), [&](auto p) { return QvKernels::colorOfPixel(pixels().row<decltype(p)>(int32_t(y))[x]); }));
    } else if (isVector(i) && isVector(j)) {
        int64_t x0, y0, x1, y1;
        corner(i, x0, y0);
        corner(j, x1, y1);
        out = SubImage(x0, y0, x1, y1);
    } else {
        QvError("Wrong type arguments to indexing operation");
    }
}

// [v] with one vector reads the pixel (v[0], v[1]).
void Qv2DValue::GetIndexed(QvValueRef& out, QvValue* index, bool) {
    if (!isVector(index) || index->AsVector().size() < 2) QvError("Wrong type arguments to indexing operation");
    QvNumberValue x(index->AsVector()[0]), y(index->AsVector()[1]);
    GetDoubleIndexed(out, &x, &y);
}

void Qv2DValue::SetDoubleIndexed(QvValue* i, QvValue* j, QvValueRef& value) {
    if (!isNumber(i) || !isNumber(j)) QvError("Invalid Parameters to indexing operation");
    int64_t x = QvTruncatedIndex(i), y = QvTruncatedIndex(j);
    if (const Qv2DValue* picture = QvAsPicture(value.get())) return Paste(*picture, x, y);
    switch (value ? value->GetType() : QV_UNDEFINED) {
    case QV_NUMBER: {
        double grey = value->AsNumber();
        return setPixelColor(x, y, {grey, grey, grey});
    }
    case QV_VECTOR:
    case QV_COLOR: return setPixelColor(x, y, value->AsColor());
    default: QvError("Invalid indexing parameter type.");
    }
}
