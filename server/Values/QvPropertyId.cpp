#include "Values/QvPropertyId.h"

#include "Errors/QvErrors.h"

namespace {
const char* const propertyNames[] = {
    nullptr,        "type",        "frame",        "width",       "height",      "size",
    "offset",       "length",      "red",          "green",       "blue",        "intensity",
    "duration",     "frame_rate",  "compression",  "overlay_compression", "depth", "graphics_mode",
    "quality",      "temporal_quality", "name",    "movie",       "time_code",   "second",
    "minute",       "hour",        "day_of_week",  "day_of_month", nullptr,      "month",
    "year",         "mask",        "SafeAppendMode", "trigger",   "hue",         "saturation",
    "brightness",   "black_level", "white_level",  "contrast",    "sharpness",   "gamma",
    "input",        "input_format"};
constexpr int propertyCount = sizeof(propertyNames) / sizeof(propertyNames[0]);
static_assert(propertyCount == QV_PROPERTY_INPUT_FORMAT + 1, "one name per property identifier");
}  // namespace

const char* QvPropertyName(QvPropertyId id) {
    if (id < 0 || id >= propertyCount || !propertyNames[id])
        QvError("Unknown property name");
    return propertyNames[id];
}
