#pragma once
#include <string>
#include <utility>

#include "Images/Qv2DValue.h"
#include "Images/QvFrameCompression.h"

// The picture classes: one template over the pixel class holds the pixels; byte
// pictures (frames) add the compression used when they are saved.
template <class P>
class QvNewImageValue : public Qv2DValue {
public:
    static constexpr QvPixelClass kPixelClass = QvPixelClassOfPixel<P>::value;

    QvPixelStorage& pixels() override { return pixels_; }
    const QvPixelStorage& pixels() const override { return pixels_; }
    QvTypeEnum GetType() const override { return QvPictureType(kPixelClass); }

protected:
    explicit QvNewImageValue(QvPixelStorage&& pixels) : pixels_(std::move(pixels)) {}

private:
    QvPixelStorage pixels_;
};

template <class P>
class QvImageValueB : public QvNewImageValue<P> {
public:
    const QvFrameCompression& compression() const { return compression_; }
    void setCompression(const QvFrameCompression& compression) { compression_ = compression; }

    QvValue* GetProperty(QvPropertyId id) override;
    QvPropertyId PropertyId(const std::string& name) const override;
    void SetProperty(QvPropertyId id, QvValue* value) override;
    // Exports the frame as an image file in its compression, at its quality.
    void SaveToFile(const std::string& path) const override;

protected:
    using QvNewImageValue<P>::QvNewImageValue;

private:
    QvFrameCompression compression_ = QvFrameCompression::standard();
};

template <class P>
class QvImageValueF : public QvNewImageValue<P> {
protected:
    using QvNewImageValue<P>::QvNewImageValue;
};

// The concrete classes. Clones keep the header, and frames their compression.
#define QV_DECLARE_PICTURE_CLASS(Name, Base, Pixel)                                                  \
    class QV_EXPORT Name final : public Base<Pixel> {                                                \
    public:                                                                                          \
        explicit Name(QvPixelStorage&& pixels) : Base<Pixel>(std::move(pixels)) {}                   \
        Name(int32_t width, int32_t height) : Base<Pixel>(QvPixelStorage(kPixelClass, width, height)) {} \
        QvValue* Clone() const override;                                                             \
        Qv2DValue* TypeConstruct(int32_t width, int32_t height) const override {                     \
            return new Name(width, height);                                                          \
        }                                                                                            \
    };

QV_DECLARE_PICTURE_CLASS(QvImageValueBM, QvImageValueB, bgPix)
QV_DECLARE_PICTURE_CLASS(QvImageValueBC, QvImageValueB, bcPix)
QV_DECLARE_PICTURE_CLASS(QvImageValueFM, QvImageValueF, fgPix)
QV_DECLARE_PICTURE_CLASS(QvImageValueFC, QvImageValueF, fcPix)

#undef QV_DECLARE_PICTURE_CLASS
