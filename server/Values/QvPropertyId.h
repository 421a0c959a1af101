#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "QvExport.h"

// One numbering of property names shared by all value classes; each class maps the
// names it knows to these numbers. 28 has no global name (dates use it for "week").
enum QvPropertyId : int32_t {
    QV_PROPERTY_NONE = 0,
    QV_PROPERTY_TYPE = 1,
    QV_PROPERTY_FRAME,
    QV_PROPERTY_WIDTH,
    QV_PROPERTY_HEIGHT,
    QV_PROPERTY_SIZE,
    QV_PROPERTY_OFFSET,
    QV_PROPERTY_LENGTH,
    QV_PROPERTY_RED,
    QV_PROPERTY_GREEN,
    QV_PROPERTY_BLUE,
    QV_PROPERTY_INTENSITY,
    QV_PROPERTY_DURATION,
    QV_PROPERTY_FRAME_RATE,
    QV_PROPERTY_COMPRESSION,
    QV_PROPERTY_OVERLAY_COMPRESSION,
    QV_PROPERTY_DEPTH,
    QV_PROPERTY_GRAPHICS_MODE,
    QV_PROPERTY_QUALITY,
    QV_PROPERTY_TEMPORAL_QUALITY,
    QV_PROPERTY_NAME,
    QV_PROPERTY_MOVIE,
    QV_PROPERTY_TIME_CODE,
    QV_PROPERTY_SECOND,
    QV_PROPERTY_MINUTE,
    QV_PROPERTY_HOUR,
    QV_PROPERTY_DAY_OF_WEEK,
    QV_PROPERTY_DAY_OF_MONTH,
    QV_PROPERTY_WEEK,
    QV_PROPERTY_MONTH,
    QV_PROPERTY_YEAR,
    QV_PROPERTY_MASK,
    QV_PROPERTY_SAFE_APPEND_MODE,
    QV_PROPERTY_TRIGGER,
    QV_PROPERTY_HUE,
    QV_PROPERTY_SATURATION,
    QV_PROPERTY_BRIGHTNESS,
    QV_PROPERTY_BLACK_LEVEL,
    QV_PROPERTY_WHITE_LEVEL,
    QV_PROPERTY_CONTRAST,
    QV_PROPERTY_SHARPNESS,
    QV_PROPERTY_GAMMA,
    QV_PROPERTY_INPUT,
    QV_PROPERTY_INPUT_FORMAT
};

// The global name of a property, used in messages; raises "Unknown property name"
// outside 1..43 and for 28.
QV_EXPORT const char* QvPropertyName(QvPropertyId id);

// A class's own names of properties, for its PropertyId.
struct QvNamedProperty {
    const char* name;
    QvPropertyId id;
};

// The identifier the table gives the name, else QV_PROPERTY_NONE.
template <size_t N>
QvPropertyId QvFindProperty(const QvNamedProperty (&table)[N], const std::string& name) {
    for (const QvNamedProperty& property : table)
        if (name == property.name) return property.id;
    return QV_PROPERTY_NONE;
}
