#include "Images/Qv2DValue.h"

#include <cmath>
#include <string>

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"
#include "Images/QvImageValues.h"
#include "Images/QvPictureConversion.h"
#include "QvGWorld/QvGWorld.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"
#include "Values/QvVectorValue.h"
#include "Windows/QvGraphics.h"

void Qv2DValue::copyHeaderFrom(const Qv2DValue& other) {
    duration_ = other.duration_;
    quality_ = other.quality_;
    timeCode_ = other.timeCode_;
}

std::string Qv2DValue::timeCodeText() const {
    std::string text;
    for (size_t i = 0; i < timeCode_.size(); ++i)
        text += (i ? ":" : "") + std::to_string(timeCode_[i]);
    return text;
}

QvGWorld* Qv2DValue::CreateGWorld() const {
    QvGWorld::checkSides(GetWidth(), GetHeight());
    QvGWorld* world = new QvGWorld(GetWidth(), GetHeight());
    QvPictureConversion::toARGB(pixels(), world->buffer());
    return world;
}

void Qv2DValue::CoerceTo(QvValueRef& out, QvTypeEnum target) {
    if (QvIsPictureType(target) && target != GetType())
        out = QvNewPicture(target, QvPictureConversion::convert(pixels(), QvPixelClassOf(target)));
    else
        QvValue::CoerceTo(out, target);
}

// Empty pictures have nothing to draw and show their text form.
void Qv2DValue::Display(QvGraphics* graphics) {
    if (pixels().empty()) return QvValue::Display(graphics);
    QvGWorld* world = CreateGWorld();
    graphics->setSize(short(GetWidth()), short(GetHeight()));
    graphics->addImage(world, 0, 0);
}

void Qv2DValue::CopyToClipboard() const { QvError("Pictures cannot be copied to the clipboard."); }

QvValue* Qv2DValue::GetProperty(QvPropertyId id) {
    double number;
    if (NumberProperty(id, number)) return new QvNumberValue(number);
    switch (id) {
    case QV_PROPERTY_SIZE: return new QvVectorValue({double(GetWidth()), double(GetHeight())});
    case QV_PROPERTY_TIME_CODE: return new QvTextValue(timeCodeText());
    default: return QvValue::GetProperty(id);
    }
}

bool Qv2DValue::NumberProperty(QvPropertyId id, double& number) const {
    switch (id) {
    case QV_PROPERTY_WIDTH: number = GetWidth(); return true;
    case QV_PROPERTY_HEIGHT: number = GetHeight(); return true;
    case QV_PROPERTY_DURATION: number = duration_; return true;
    case QV_PROPERTY_QUALITY: number = quality_; return true;
    default: return false;
    }
}

QvPropertyId Qv2DValue::PropertyId(const std::string& name) const {
    static const struct {
        const char* name;
        QvPropertyId id;
    } known[] = {{"width", QV_PROPERTY_WIDTH},       {"height", QV_PROPERTY_HEIGHT},
                 {"size", QV_PROPERTY_SIZE},         {"duration", QV_PROPERTY_DURATION},
                 {"quality", QV_PROPERTY_QUALITY},   {"time_code", QV_PROPERTY_TIME_CODE}};
    for (const auto& property : known)
        if (name == property.name) return property.id;
    return QvValue::PropertyId(name);
}

void Qv2DValue::SetProperty(QvPropertyId id, QvValue* value) {
    switch (id) {
    case QV_PROPERTY_WIDTH: return Resize(QvPixelStorage::checkedSide(std::trunc(value->AsNumber())), GetHeight());
    case QV_PROPERTY_HEIGHT: return Resize(GetWidth(), QvPixelStorage::checkedSide(std::trunc(value->AsNumber())));
    case QV_PROPERTY_SIZE: {
        if (!value || value->GetType() != QV_VECTOR || value->AsVector().size() < 2)
            QvError("Expecting a two component vector {width,height}");
        const std::vector<double>& size = value->AsVector();
        return Resize(QvPixelStorage::checkedSide(std::trunc(size[0])),
                      QvPixelStorage::checkedSide(std::trunc(size[1])));
    }
    case QV_PROPERTY_DURATION: {
        double seconds = value->AsNumber();
        if (seconds < 0) QvError("Invalid duration: must be greater than zero.");
        duration_ = seconds;
        return;
    }
    case QV_PROPERTY_QUALITY: {
        double quality = value->AsNumber();
        if (quality < 0) {
            QvWarning("Negative quality: set to zero.\n");
            quality = 0;
        } else if (quality > 1) {
            QvWarning("Invalid quality: truncated to 1.0.\n");
            quality = 1;
        }
        quality_ = quality;
        return;
    }
    default: QvValue::SetProperty(id, value);
    }
}

bool Qv2DValue::CanHoldResult(QvTypeEnum resultType, QvValue* left) const {
    const Qv2DValue* shape = QvAsPicture(left);
    return resultType == GetType() && shape && shape->GetWidth() == GetWidth() && shape->GetHeight() == GetHeight();
}

std::string Qv2DValue::AsText() const {
    std::string text = QvTypeName(GetType());
    text += "\n size :\t(" + std::to_string(GetWidth()) + "," + std::to_string(GetHeight()) + ")";
    text += "\n duration :\t" + QvNumberValue::FormatNumber(duration_);
    text += "\n quality :\t" + QvNumberValue::FormatNumber(quality_);
    return text + "\n time_code :\t" + timeCodeText();
}

Qv2DValue* QvAsPicture(QvValue* value) {
    return value && QvIsPictureType(value->GetType()) ? static_cast<Qv2DValue*>(value) : nullptr;
}

const Qv2DValue* QvAsPicture(const QvValue* value) {
    return value && QvIsPictureType(value->GetType()) ? static_cast<const Qv2DValue*>(value) : nullptr;
}

Qv2DValue* QvFrameFromGWorld(QvGWorld* world) {
    qv_auto_value<QvGWorld> held(world);
    QvGWorldLockScope lock(*held);
    return QvNewPicture(QV_FRAME, QvPictureConversion::fromARGB(held->buffer(), QvPixelClass::ByteColor));
}

Qv2DValue* QvNewPicture(QvTypeEnum type, int32_t width, int32_t height) {
    return QvNewPicture(type, QvPixelStorage(QvPixelClassOf(type), width, height));
}

Qv2DValue* QvNewPicture(QvTypeEnum type, QvPixelStorage&& pixels) {
    switch (type) {
    case QV_FRAME_MONO: return new QvImageValueBM(std::move(pixels));
    case QV_FRAME: return new QvImageValueBC(std::move(pixels));
    case QV_IMAGE_MONO: return new QvImageValueFM(std::move(pixels));
    case QV_IMAGE: return new QvImageValueFC(std::move(pixels));
    default: QvError("Internal type problem: not a picture type, please submit a bug report (with sample code).");
    }
}
