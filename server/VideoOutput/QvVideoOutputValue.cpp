#include "VideoOutput/QvVideoOutputValue.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"
#include "Images/Qv2DValue.h"
#include "Media/QvVideoOutputDevice.h"
#include "QvGWorld/QvGWorld.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"
#include "Values/QvVectorValue.h"

namespace {

int truncated(double number, double low, double high) {
    return static_cast<int>(std::clamp(std::isnan(number) ? 0.0 : std::trunc(number), low, high));
}

int outputSide(double number) { return truncated(number, 1, QvGWorld::kMaxSide); }

}  // namespace

QvVideoOutputValue::QvVideoOutputValue() {
    const QvOutputSettings& preferred = QvOutputSettings::processWide();
    width_ = preferred.width > 0 ? preferred.width : kDefaultWidth;
    height_ = preferred.height > 0 ? preferred.height : kDefaultHeight;
}

QvVideoOutputValue::QvVideoOutputValue(const QvVideoOutputValue& other) = default;

QvVideoOutputValue::~QvVideoOutputValue() = default;

QvValue* QvVideoOutputValue::Clone() const { return new QvVideoOutputValue(*this); }

void QvVideoOutputValue::open(const std::string& name) {
    output_ = std::make_shared<QvVideoOutputDevice>(name, width_, height_);
    name_ = output_->name();
}

void QvVideoOutputValue::Show(const QvValue& value) {
    const Qv2DValue* picture = QvAsPicture(&value);
    if (!output_) {
        const std::string& preferred = QvOutputSettings::processWide().name;
        open(name_ != "unknown" ? name_ : !preferred.empty() ? preferred : QvVideoOutputDevice::defaultName());
    }
    qv_auto_value<QvGWorld> world = picture->CreateGWorld();
    output_->show(world->buffer());
}

void QvVideoOutputValue::Append(QvValue* value) {
    if (!value || !QvAsPicture(value)) throw new QvOperatorException("append");
    Show(*value);
}

QvPropertyId QvVideoOutputValue::PropertyId(const std::string& name) const {
    static const QvNamedProperty known[] = {{"width", QV_PROPERTY_WIDTH},
                 {"height", QV_PROPERTY_HEIGHT},
                 {"size", QV_PROPERTY_SIZE},
                 {"offset", QV_PROPERTY_OFFSET},
                 {"name", QV_PROPERTY_NAME}};
    QvPropertyId id = QvFindProperty(known, name);
    return id != QV_PROPERTY_NONE ? id : QvValue::PropertyId(name);
}

QvValue* QvVideoOutputValue::GetProperty(QvPropertyId id) {
    switch (id) {
    case QV_PROPERTY_WIDTH: return new QvNumberValue(width_);
    case QV_PROPERTY_HEIGHT: return new QvNumberValue(height_);
    case QV_PROPERTY_SIZE: return new QvVectorValue({double(width_), double(height_)});
    case QV_PROPERTY_OFFSET: return new QvVectorValue({double(offsetX_), double(offsetY_)});
    case QV_PROPERTY_NAME: return new QvTextValue(name_);
    default: return QvValue::GetProperty(id);
    }
}

// A new size takes effect with the next picture shown.
void QvVideoOutputValue::SetProperty(QvPropertyId id, QvValue* value) {
    switch (id) {
    case QV_PROPERTY_WIDTH: width_ = outputSide(value->AsNumber()); break;
    case QV_PROPERTY_HEIGHT: height_ = outputSide(value->AsNumber()); break;
    case QV_PROPERTY_SIZE: {
        const std::vector<double>& size = QvTwoComponents(value);
        int width = outputSide(size[0]);
        height_ = outputSide(size[1]);
        width_ = width;
        break;
    }
    case QV_PROPERTY_OFFSET: {
        const std::vector<double>& offset = QvTwoComponents(value);
        offsetX_ = truncated(offset[0], INT32_MIN, INT32_MAX);
        offsetY_ = truncated(offset[1], INT32_MIN, INT32_MAX);
        return;
    }
    case QV_PROPERTY_NAME:
        if (!value || value->GetType() != QV_TEXT) QvError("Expecting a text value.");
        return open(value->AsText());
    default: return QvValue::SetProperty(id, value);
    }
    output_.reset();
}

std::string QvVideoOutputValue::AsText() const {
    std::ostringstream text;
    text << "video output:\n\t\tName:\t" << name_ << "\n\t\tWidth:\t" << width_ << "\n\t\tHeight:\t" << height_;
    return text.str();
}
