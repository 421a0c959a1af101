#include <cmath>

#include "Errors/QvErrors.h"
#include "Media/QvMediaMovie.h"
#include "Movie/QvMovieValue.h"
#include "Values/QvBooleanValue.h"
#include "Values/QvListValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"
#include "Values/QvVectorValue.h"

namespace {

int truncated(double number) {
    if (!(std::fabs(number) < 2147483648.0)) return number > 0 ? INT32_MAX : INT32_MIN;
    return static_cast<int>(std::trunc(number));
}

}  // namespace

QvPropertyId QvMovieValue::PropertyId(const std::string& name) const {
    static const QvNamedProperty known[] = {{"width", QV_PROPERTY_WIDTH},
                 {"height", QV_PROPERTY_HEIGHT},
                 {"size", QV_PROPERTY_SIZE},
                 {"offset", QV_PROPERTY_OFFSET},
                 {"length", QV_PROPERTY_LENGTH},
                 {"duration", QV_PROPERTY_DURATION},
                 {"frame_rate", QV_PROPERTY_FRAME_RATE},
                 {"compression", QV_PROPERTY_COMPRESSION},
                 {"overlay_compression", QV_PROPERTY_OVERLAY_COMPRESSION},
                 {"graphics_mode", QV_PROPERTY_GRAPHICS_MODE},
                 {"quality", QV_PROPERTY_QUALITY},
                 {"temporal_quality", QV_PROPERTY_TEMPORAL_QUALITY},
                 {"SafeAppendMode", QV_PROPERTY_SAFE_APPEND_MODE}};
    QvPropertyId id = QvFindProperty(known, name);
    return id != QV_PROPERTY_NONE ? id : QvValue::PropertyId(name);
}

QvValue* QvMovieValue::GetProperty(QvPropertyId id) {
    switch (id) {
    case QV_PROPERTY_WIDTH: return new QvNumberValue(Width());
    case QV_PROPERTY_HEIGHT: return new QvNumberValue(Height());
    case QV_PROPERTY_SIZE: return new QvVectorValue({double(Width()), double(Height())});
    case QV_PROPERTY_OFFSET: return new QvVectorValue({double(offsetX_), double(offsetY_)});
    case QV_PROPERTY_LENGTH: return new QvNumberValue(double(FrameCount()));
    case QV_PROPERTY_DURATION: return new QvNumberValue(movie_->duration());
    case QV_PROPERTY_FRAME_RATE: return new QvNumberValue(settings_.rate());
    case QV_PROPERTY_COMPRESSION: {
        auto* names = new QvListValue;
        names->Append(new QvTextValue(settings_.compressor));
        for (const std::string& compressor : movie_->trackCompressors()) names->Append(new QvTextValue(compressor));
        return names;
    }
    case QV_PROPERTY_OVERLAY_COMPRESSION: return new QvTextValue(settings_.overlayCompressor);
    case QV_PROPERTY_GRAPHICS_MODE: return new QvTextValue(settings_.graphicsMode);
    case QV_PROPERTY_QUALITY: return new QvNumberValue(settings_.spatial());
    case QV_PROPERTY_TEMPORAL_QUALITY: return new QvNumberValue(settings_.temporal());
    case QV_PROPERTY_SAFE_APPEND_MODE: return new QvBooleanValue(safeAppendMode_);
    default: return QvValue::GetProperty(id);
    }
}

// Every setting is checked before anything changes, so a refused one leaves the movie
// as it was.
void QvMovieValue::SetProperty(QvPropertyId id, QvValue* value) {
    switch (id) {
    case QV_PROPERTY_WIDTH: return SetSide(value->AsNumber(), true);
    case QV_PROPERTY_HEIGHT: return SetSide(value->AsNumber(), false);
    case QV_PROPERTY_SIZE: {
        const std::vector<double>& size = QvTwoComponents(value);
        return SetSize(size[0], size[1]);
    }
    case QV_PROPERTY_OFFSET: {
        const std::vector<double>& offset = QvTwoComponents(value);
        offsetX_ = truncated(offset[0]);
        offsetY_ = truncated(offset[1]);
        return;
    }
    case QV_PROPERTY_DURATION: return movie_->setDuration(value->AsNumber());
    case QV_PROPERTY_FRAME_RATE: return settings_.setRate(value->AsNumber());
    case QV_PROPERTY_COMPRESSION: return settings_.setCompressor(value->AsText());
    case QV_PROPERTY_OVERLAY_COMPRESSION: return settings_.setOverlayCompressor(value->AsText());
    case QV_PROPERTY_GRAPHICS_MODE: return settings_.setGraphicsMode(value->AsText());
    case QV_PROPERTY_QUALITY: return settings_.setSpatial(value->AsNumber());
    case QV_PROPERTY_TEMPORAL_QUALITY: return settings_.setTemporal(value->AsNumber());
    case QV_PROPERTY_SAFE_APPEND_MODE: safeAppendMode_ = value->AsBoolean(); return;
    default: return QvValue::SetProperty(id, value);
    }
}
