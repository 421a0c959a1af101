#include "VideoSource/QvVideoSourceValue.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "Errors/QvErrors.h"
#include "Errors/QvException.h"
#include "Images/Qv2DValue.h"
#include "Media/QvCaptureDevice.h"
#include "Media/QvMediaMovie.h"
#include "Movie/QvMovieValue.h"
#include "QvGWorld/QvGWorld.h"
#include "Values/QvColorValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"
#include "Values/QvVectorValue.h"

namespace {

struct PictureSetting {
    QvPropertyId id;
    const char* name;
    const char* shownName;
    QvMediaPictureSetting which;
    double min;
    double max;
};

const PictureSetting kPictureSettings[] = {
    {QV_PROPERTY_HUE, "hue", "Hue", QV_MEDIA_HUE, -180, 180},
    {QV_PROPERTY_SATURATION, "saturation", "Saturation", QV_MEDIA_SATURATION, 0, 1},
    {QV_PROPERTY_BRIGHTNESS, "brightness", "Brightness", QV_MEDIA_BRIGHTNESS, 0, 1},
    {QV_PROPERTY_BLACK_LEVEL, "black_level", "Black level", QV_MEDIA_BLACK_LEVEL, 0, 1},
    {QV_PROPERTY_WHITE_LEVEL, "white_level", "White level", QV_MEDIA_WHITE_LEVEL, 0, 1},
    {QV_PROPERTY_CONTRAST, "contrast", "Contrast", QV_MEDIA_CONTRAST, 0, 1},
    {QV_PROPERTY_SHARPNESS, "sharpness", "Sharpness", QV_MEDIA_SHARPNESS, 0, 1},
};

const PictureSetting* pictureSettingOf(QvPropertyId id) {
    for (const PictureSetting& setting : kPictureSettings)
        if (setting.id == id) return &setting;
    return nullptr;
}

constexpr double kStoredMax = 65535;

int frameSide(double value) {
    double side = std::trunc(value);
    if (!(side >= 1)) QvError("Expecting a two component vector {width,height}");
    QvGWorld::checkSides(int64_t(std::min(side, 1e9)), 1);
    return static_cast<int>(side);
}

}  // namespace

QvVideoSourceValue::QvVideoSourceValue() {
    const QvCaptureSettings& preferred = QvCaptureSettings::processWide();
    name_ = preferred.device;
    width_ = preferred.width > 0 ? preferred.width : kDefaultWidth;
    height_ = preferred.height > 0 ? preferred.height : kDefaultHeight;
    frameRate_ = preferred.frameRate;
}

QvVideoSourceValue::QvVideoSourceValue(const QvVideoSourceValue& other) = default;

QvVideoSourceValue::~QvVideoSourceValue() = default;

QvValue* QvVideoSourceValue::Clone() const { return new QvVideoSourceValue(*this); }

QvCaptureDevice& QvVideoSourceValue::camera() {
    if (!camera_) {
        if (!QvCaptureDevice::available()) QvError("No camera currently available.");
        camera_ = std::make_shared<QvCaptureDevice>(name_, width_, height_, frameRate_);
        name_ = camera_->name();
    }
    return *camera_;
}

QvValue* QvVideoSourceValue::GrabFrame() {
    QvCaptureDevice& device = camera();
    qv_auto_value<QvGWorld> world = new QvGWorld(width_, height_);
    device.grab(world->buffer());
    return QvFrameFromGWorld(world.get());
}

QvValue* QvVideoSourceValue::Record() {
    QvCaptureDevice& device = camera();
    auto movie = std::make_unique<QvMovieValue>();
    movie->settings().setSpatial(quality_);
    movie->settings().setRate(frameRate_);
    device.record(movie->media(), frames_, seconds_, frameRate_, width_, height_, movie->settings());
    return movie.release();
}

// ---- Properties ---------------------------------------------------------------------

QvPropertyId QvVideoSourceValue::PropertyId(const std::string& name) const {
    static const QvNamedProperty known[] = {{"frame", QV_PROPERTY_FRAME},        {"movie", QV_PROPERTY_MOVIE},
                 {"width", QV_PROPERTY_WIDTH},        {"height", QV_PROPERTY_HEIGHT},
                 {"size", QV_PROPERTY_SIZE},          {"duration", QV_PROPERTY_DURATION},
                 {"length", QV_PROPERTY_LENGTH},      {"frame_rate", QV_PROPERTY_FRAME_RATE},
                 {"quality", QV_PROPERTY_QUALITY},    {"name", QV_PROPERTY_NAME},
                 {"gamma", QV_PROPERTY_GAMMA}};
    if (QvPropertyId id = QvFindProperty(known, name)) return id;
    for (const PictureSetting& setting : kPictureSettings)
        if (name == setting.name) return setting.id;
    return QvValue::PropertyId(name);
}

QvValue* QvVideoSourceValue::GetProperty(QvPropertyId id) {
    if (id == QV_PROPERTY_TYPE) return QvValue::GetProperty(id);
    camera();
    switch (id) {
    case QV_PROPERTY_FRAME: return GrabFrame();
    case QV_PROPERTY_MOVIE: return Record();
    case QV_PROPERTY_WIDTH: return new QvNumberValue(width_);
    case QV_PROPERTY_HEIGHT: return new QvNumberValue(height_);
    case QV_PROPERTY_SIZE: return new QvVectorValue({double(width_), double(height_)});
    case QV_PROPERTY_DURATION: return new QvNumberValue(frames_ >= 0 ? frames_ / frameRate_ : seconds_);
    case QV_PROPERTY_LENGTH: return new QvNumberValue(double(frames_));
    case QV_PROPERTY_FRAME_RATE: return new QvNumberValue(frameRate_);
    case QV_PROPERTY_QUALITY: return new QvNumberValue(quality_);
    case QV_PROPERTY_NAME: return new QvTextValue(name_);
    case QV_PROPERTY_GAMMA: return new QvColorValue(gamma_);
    default:
        if (pictureSettingOf(id)) return new QvNumberValue(pictureSetting(id));
        return QvValue::GetProperty(id);
    }
}

void QvVideoSourceValue::SetProperty(QvPropertyId id, QvValue* value) {
    if (id == QV_PROPERTY_TYPE || !value) return QvValue::SetProperty(id, value);
    camera();
    switch (id) {
    case QV_PROPERTY_SIZE: {
        const std::vector<double>& size = QvTwoComponents(value);
        int width = frameSide(size[0]);
        height_ = frameSide(size[1]);
        width_ = width;
        return;
    }
    case QV_PROPERTY_DURATION:
        seconds_ = value->AsNumber();
        frames_ = -1;
        return;
    case QV_PROPERTY_LENGTH: {
        double frames = std::trunc(value->AsNumber());
        frames_ = static_cast<long>(std::clamp(std::isnan(frames) ? -1.0 : frames, -1.0, 1e9));
        seconds_ = -1;
        return;
    }
    case QV_PROPERTY_FRAME_RATE: {
        double rate = value->AsNumber();
        if (!(rate > 0) || !std::isfinite(rate)) QvError("Movie frame rate must be greater than zero");
        frameRate_ = rate;
        return;
    }
    case QV_PROPERTY_QUALITY: quality_ = value->AsNumber(); return;
    case QV_PROPERTY_NAME: {
        auto device = std::make_shared<QvCaptureDevice>(value->AsText(), width_, height_, frameRate_);
        camera_ = std::move(device);
        name_ = camera_->name();
        storedRead_ = false;
        return;
    }
    case QV_PROPERTY_GAMMA: {
        QvValueRef colour;
        value->CoerceTo(colour, QV_COLOR);
        QvColor gamma = colour->AsColor();
        camera_->setSetting(QV_MEDIA_GAMMA, std::clamp(gamma.intensity(), 0.0, 1.0));
        gamma_ = gamma;
        return;
    }
    default:
        if (pictureSettingOf(id)) return setPictureSetting(id, value->AsNumber());
        return QvValue::SetProperty(id, value);
    }
}

double QvVideoSourceValue::pictureSetting(QvPropertyId id) {
    if (!storedRead_) {
        for (const PictureSetting& setting : kPictureSettings)
            stored_[setting.which] = static_cast<uint16_t>(
                std::trunc(std::clamp(camera_->setting(setting.which), 0.0, 1.0) * kStoredMax));
        storedRead_ = true;
    }
    const PictureSetting& setting = *pictureSettingOf(id);
    return setting.min + (setting.max - setting.min) * stored_[setting.which] / kStoredMax;
}

void QvVideoSourceValue::setPictureSetting(QvPropertyId id, double value) {
    const PictureSetting& setting = *pictureSettingOf(id);
    if (!(value >= setting.min && value <= setting.max)) {
        QvException* error = new QvException;
        error->stream() << setting.shownName << " must be between " << QvNumberValue::FormatNumber(setting.min)
                        << " and " << QvNumberValue::FormatNumber(setting.max);
        throw error;
    }
    pictureSetting(id);
    auto stored = static_cast<uint16_t>(std::trunc((value - setting.min) * kStoredMax / (setting.max - setting.min)));
    camera_->setSetting(setting.which, stored / kStoredMax);
    stored_[setting.which] = stored;
}

std::string QvVideoSourceValue::AsText() const {
    std::ostringstream text;
    text << "Video source: \n\twidth:\t" << width_ << "\n\theight:\t" << height_;
    return text.str();
}

// ---- Exported functions -------------------------------------------------------------

namespace {
QvVideoSourceValue& sourceOf(QvValue* value) {
    if (!value || value->GetType() != QV_VIDEOSOURCE) QvError("The value is not a video source.");
    return *static_cast<QvVideoSourceValue*>(value);
}
}  // namespace

QvValue* QvVideoSourceCreate(void) { return new QvVideoSourceValue; }
void QvVideoSourceDelete(QvValue* source) { QvAutoObjectDelete(source); }
QvValue* QvVideoSourceGrabFrame(QvValue* source) { return sourceOf(source).GrabFrame(); }
long QvVideoSourceGetWidth(QvValue* source) { return sourceOf(source).Width(); }
long QvVideoSourceGetHeight(QvValue* source) { return sourceOf(source).Height(); }
