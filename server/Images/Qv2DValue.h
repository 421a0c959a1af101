#pragma once
#include <array>
#include <cstdint>
#include <istream>
#include <string>
#include <utility>

#include "Images/QvPictureArithmetic.h"
#include "Images/QvPixelStorage.h"
#include "Kernels/QvStatisticsKernels.h"
#include "QvExport.h"
#include "Values/QvValue.h"

class QvGWorld;

// The root of the four picture values (frame_mono, frame, image_mono, image): the
// header every picture carries (duration, quality, time code), its properties and
// text form, and every picture operation. The pixels live in the subclass; each
// operation works on them through the pixel operations of this folder.
class QV_EXPORT Qv2DValue : public QvValue {
public:
    static constexpr double kDefaultDuration = 0.1;
    static constexpr double kDefaultQuality = 0.5;

    virtual QvPixelStorage& pixels() = 0;
    virtual const QvPixelStorage& pixels() const = 0;
    QvPixelClass pixelClass() const { return pixels().pixelClass(); }

    double duration() const { return duration_; }
    double quality() const { return quality_; }
    const std::array<uint8_t, 4>& timeCode() const { return timeCode_; }
    void setDuration(double seconds) { duration_ = seconds; }
    void setQuality(double quality) { quality_ = quality; }
    void setTimeCode(const std::array<uint8_t, 4>& timeCode) { timeCode_ = timeCode; }
    void copyHeaderFrom(const Qv2DValue& other);
    // "hours:minutes:seconds:frames" in decimal.
    std::string timeCodeText() const;

    // A new all-zero picture of this class with header defaults.
    virtual Qv2DValue* TypeConstruct(int32_t width, int32_t height) const = 0;
    // A new buffer of 32-bit ARGB pixels holding this picture (grey replicated, alpha
    // 255 for grey pictures); raises for an empty or too large picture.
    QvGWorld* CreateGWorld() const;

    QvValue* SumElements() const;
    QvValue* Convolute(QvValue* kernel) const;
    QvValue* MedianFilter(QvValue* mask, double rank) const;
    QvValue* GetAlpha() const;
    QvValue* SetAlpha(QvValue* mask) const;
    QvValue* Interlace(QvValue* other) const;
    QvValue* DeInterlaceEven() const;
    QvValue* DeInterlaceOdd() const;
    QvValue* BinaryMin(QvValue* other) const;
    QvValue* BinaryMax(QvValue* other) const;
    double GetPixelLuminance(int64_t x, int64_t y) const;
    int32_t GetWidth() const { return pixels().width(); }
    int32_t GetHeight() const { return pixels().height(); }
    // Nearest-neighbour resampling to the new size; from an empty picture, opaque black.
    void Resize(int64_t width, int64_t height);
    void MultiplyPixelByNumber(int64_t x, int64_t y, double factor);
    // The picture under the 2 x 2 matrix (a b; c d) mapping source to destination,
    // sampled bilinearly; the background fills what no source pixel covers.
    QvValue* TransformAffine(double a, double b, double c, double d, const QvColor& background) const;
    // The rectangle from corner (x0, y0), inclusive, to (x1, y1), exclusive; corners in
    // any order.
    QvValue* SubImage(int64_t x0, int64_t y0, int64_t x1, int64_t y1) const;
    // Pixels whose red, green and blue lie within low..high become the replacement.
    QvValue* ReplaceRange(const QvColor& low, const QvColor& high, const QvColor& replacement, bool inclusive) const;
    // Each channel rescaled so that low..high becomes 0..1 (alpha kept).
    QvValue* NormalizeRange(const QvColor& low, const QvColor& high) const;
    // The first pixel in row order of least (most) luminance as {x, y, luminance},
    // refined to sub-pixel precision on request; {-1, -1, 0} for an empty picture.
    QvKernels::QvExtremeLocation MinimumLocation(bool subPixel) const;
    QvKernels::QvExtremeLocation MaximumLocation(bool subPixel) const;

    // Shapes painted into this picture in place (Draw/QvCanvasDrawing.h); the mode is 1
    // (copy), 2 (xor) or 3 (or), any other raises "Illegal mode".
    void DrawRectangle(double width, double height, double x, double y, const QvColor& color, int mode,
                       const QvColor& weight, bool fill);
    void DrawLine(double x1, double y1, double x2, double y2, const QvColor& color, int mode, const QvColor& weight);
    void DrawCircle(double radius, double x, double y, const QvColor& color, int mode, const QvColor& weight,
                    bool fill);

    // Pastes `picture` (of any class) with its top-left corner at (x, y), growing this
    // picture as needed; a picture pasted into itself pastes its old pixels.
    void Paste(const Qv2DValue& picture, int64_t x, int64_t y);

    void CoerceTo(QvValueRef& out, QvTypeEnum target) override;
    void Display(QvGraphics* graphics) override;
    void WriteData(std::ostream& out) const override;
    void CopyToClipboard() const override;

    QvValue* GetProperty(QvPropertyId id) override;
    bool NumberProperty(QvPropertyId id, double& number) const override;
    QvPropertyId PropertyId(const std::string& name) const override;
    void SetProperty(QvPropertyId id, QvValue* value) override;

    QvValue* Sdev() const override;
    QvValue* Average() const override;
    QvValue* Max() const override;
    QvValue* Min() const override;
    QvValue* Difference(QvValue* other, double threshold) const override;
    // Float pictures only; byte pictures keep the operator errors.
    QvValue* Sqrt() const override;
    QvValue* Log() const override;
    QvValue* Abs() const override;
    QvValue* Pow(QvValue* other) const override;

    void Add(QvValueRef& result, QvValueRef& other) override;
    void Subtract(QvValueRef& result, QvValueRef& other) override;
    void Multiply(QvValueRef& result, QvValueRef& other) override;
    void Divide(QvValueRef& result, QvValueRef& other) override;
    bool CanHoldResult(QvTypeEnum resultType, QvValue* left) const override;

    void GetDoubleIndexed(QvValueRef& out, QvValue* i, QvValue* j) override;
    void GetIndexed(QvValueRef& out, QvValue* index, bool forUpdate) override;
    void SetDoubleIndexed(QvValue* i, QvValue* j, QvValueRef& value) override;

    std::string AsText() const override;

    // Reads the data format of a picture of the given type: width, height, then the
    // rows without padding. Never allocates more than the stream still holds.
    static QvValue* ReadPicture(QvTypeEnum type, std::istream& in);

protected:
    Qv2DValue() = default;
    Qv2DValue(const Qv2DValue&) = default;

private:
    // The picture in a result handle prepared by the arithmetic dispatch.
    Qv2DValue& resultPicture(QvValueRef& result, const char* op) const;
    // Combines with a number, colour or accepted picture; false for other operands.
    bool combinePixels(QvPixelOperator op, QvValueRef& result, QvValueRef& other, const char* name);
    // A new empty picture of this class and size.
    Qv2DValue* sameShape() const { return TypeConstruct(GetWidth(), GetHeight()); }
    // A new picture of this class holding the pixels. The pixels are computed before
    // the picture is made, so an error while computing them leaves nothing behind.
    Qv2DValue* withPixels(QvPixelStorage pixels) const {
        Qv2DValue* result = TypeConstruct(0, 0);
        result->pixels() = std::move(pixels);
        return result;
    }
    void setPixelColor(int64_t x, int64_t y, const QvColor& color);

    double duration_ = kDefaultDuration;
    double quality_ = kDefaultQuality;
    std::array<uint8_t, 4> timeCode_{};
};

// The picture a value is, or null.
QV_EXPORT Qv2DValue* QvAsPicture(QvValue* value);
QV_EXPORT const Qv2DValue* QvAsPicture(const QvValue* value);
// A new all-zero picture of the type (frame_mono ... image) with header defaults.
QV_EXPORT Qv2DValue* QvNewPicture(QvTypeEnum type, int32_t width, int32_t height);
// A new frame holding the gworld's pixels; the gworld is adopted (released here).
QV_EXPORT Qv2DValue* QvFrameFromGWorld(QvGWorld* world);
// A new picture of the type holding the given pixels, which must be of its class.
QV_EXPORT Qv2DValue* QvNewPicture(QvTypeEnum type, QvPixelStorage&& pixels);
