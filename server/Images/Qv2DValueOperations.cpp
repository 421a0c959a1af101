#include <algorithm>

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"
#include "Errors/QvSystemErrors.h"
#include "Images/Qv2DValue.h"
#include "Images/QvPictureChannels.h"
#include "Images/QvPictureFilters.h"
#include "Images/QvPictureStatistics.h"
#include "Values/QvColorValue.h"
#include "Values/QvNumberValue.h"

namespace {

QvColorValue* colorOf(const QvColor& color) { return new QvColorValue(color); }

// The operand of the binary extremes, which must cover the picture (checked before
// anything is computed).
const Qv2DValue& coveringOperand(const Qv2DValue& self, QvValue* other) {
    const Qv2DValue* picture = QvAsPicture(other);
    if (!picture) QvError("Wrong type arguments: expecting an image");
    QvCheckIndexRange(long(self.GetWidth()) - 1, -1, long(picture->GetWidth()) - 1);
    QvCheckIndexRange(long(self.GetHeight()) - 1, -1, long(picture->GetHeight()) - 1);
    return *picture;
}

}  // namespace

QvValue* Qv2DValue::SumElements() const { return colorOf(QvPictureStatistics::sum(pixels())); }
QvValue* Qv2DValue::Average() const { return colorOf(QvPictureStatistics::average(pixels())); }
QvValue* Qv2DValue::Sdev() const { return colorOf(QvPictureStatistics::deviation(pixels())); }
QvValue* Qv2DValue::Max() const { return colorOf(QvPictureStatistics::brightestColor(pixels())); }
QvValue* Qv2DValue::Min() const { return colorOf(QvPictureStatistics::darkestColor(pixels())); }

// Pictures of another class differ completely.
QvValue* Qv2DValue::Difference(QvValue* other, double threshold) const {
    const Qv2DValue* picture = QvAsPicture(other);
    if (!picture || picture->GetType() != GetType()) return new QvNumberValue(1);
    return new QvNumberValue(QvPictureStatistics::difference(pixels(), picture->pixels(), threshold));
}

QvValue* Qv2DValue::Convolute(QvValue* kernel) const {
    const Qv2DValue* picture = QvAsPicture(kernel);
    if (!picture) QvError("Convolute failed: Unknown operand type");
    return withPixels(QvPictureFilters::convolve(pixels(), picture->pixels()));
}

QvValue* Qv2DValue::MedianFilter(QvValue* mask, double rank) const {
    const Qv2DValue* picture = QvAsPicture(mask);
    if (!picture) QvError("Median Filter failed: Unknown operand type");
    if (QvPictureFilters::maskCount(picture->pixels()) == 0)
        QvError("Median Filter failed: the mask has no non-zero pixels.");
    return withPixels(QvPictureFilters::median(pixels(), picture->pixels(), rank));
}

QvValue* Qv2DValue::GetAlpha() const {
    if (!QvIsColor(pixelClass())) QvError("GetAlpha, requires a color image");
    return QvNewPicture(GetType() == QV_FRAME ? QV_FRAME_MONO : QV_IMAGE_MONO, QvPictureChannels::alpha(pixels()));
}

QvValue* Qv2DValue::SetAlpha(QvValue* mask) const {
    if (!QvIsColor(pixelClass())) QvError("SetAlpha, requires a color image");
    const Qv2DValue* picture = QvAsPicture(mask);
    if (!picture) QvError("SetAlpha, requires an image as the mask");
    return withPixels(QvPictureChannels::withAlpha(pixels(), picture->pixels()));
}

QvValue* Qv2DValue::BinaryMin(QvValue* other) const {
    return withPixels(QvPictureChannels::lesser(pixels(), coveringOperand(*this, other).pixels()));
}

QvValue* Qv2DValue::BinaryMax(QvValue* other) const {
    return withPixels(QvPictureChannels::greater(pixels(), coveringOperand(*this, other).pixels()));
}

QvValue* Qv2DValue::ReplaceRange(const QvColor& low, const QvColor& high, const QvColor& replacement,
                                 bool inclusive) const {
    return withPixels(QvPictureChannels::replaced(pixels(), low, high, replacement, inclusive));
}

QvValue* Qv2DValue::NormalizeRange(const QvColor& low, const QvColor& high) const {
    return withPixels(QvPictureChannels::normalized(pixels(), low, high));
}

QvKernels::QvExtremeLocation Qv2DValue::MinimumLocation(bool subPixel) const {
    return QvPictureStatistics::locateDarkest(pixels(), subPixel);
}

QvKernels::QvExtremeLocation Qv2DValue::MaximumLocation(bool subPixel) const {
    return QvPictureStatistics::locateBrightest(pixels(), subPixel);
}

QvValue* Qv2DValue::Sqrt() const {
    if (!QvIsFloat(pixelClass())) return QvValue::Sqrt();
    return QvNewPicture(GetType(), QvPictureChannels::applied(pixels(), QvPictureChannels::Function::Sqrt));
}

QvValue* Qv2DValue::Log() const {
    if (!QvIsFloat(pixelClass())) return QvValue::Log();
    return QvNewPicture(GetType(), QvPictureChannels::applied(pixels(), QvPictureChannels::Function::Log));
}

QvValue* Qv2DValue::Abs() const {
    if (!QvIsFloat(pixelClass())) return QvValue::Abs();
    return QvNewPicture(GetType(), QvPictureChannels::applied(pixels(), QvPictureChannels::Function::Abs));
}

QvValue* Qv2DValue::Pow(QvValue* other) const {
    if (!QvIsFloat(pixelClass())) return QvValue::Pow(other);
    double exponent = other ? other->AsNumber() : 0;
    return QvNewPicture(GetType(), QvPictureChannels::applied(pixels(), QvPictureChannels::Function::Pow, exponent));
}
