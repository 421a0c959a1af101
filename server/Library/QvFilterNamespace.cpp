// Filter: pictures with a range of pixel values replaced or rescaled.
#include "Images/QvPictureChannels.h"
#include "Images/QvPictureStatistics.h"
#include "Library/QvBuiltinNamespaces.h"

namespace {
// A number is a grey; a vector gives one grey or the three components.
QvColor colorArgument(QvParameterBlock* parameters, const char* name) {
    QvValueRef color;
    QvParameterBlockGetValue(parameters, name)->CoerceTo(color, QV_COLOR);
    return color->AsColor();
}

struct QvRange {
    QvColor low;
    QvColor high;
};

// The bounds given, or in their place the colours of the picture's darkest and
// brightest pixels.
QvRange normalizeBounds(QvParameterBlock* parameters, const Qv2DValue& picture) {
    QvRange range;
    range.low = QvParameterBlockIsDynamicGenerationRequired(parameters, "min")
                    ? QvPictureStatistics::darkestColor(picture.pixels())
                    : colorArgument(parameters, "min");
    range.high = QvParameterBlockIsDynamicGenerationRequired(parameters, "max")
                     ? QvPictureStatistics::brightestColor(picture.pixels())
                     : colorArgument(parameters, "max");
    return range;
}
}

namespace QvFilterNamespace {
QvValue* Replace(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    Qv2DValue& picture = QvBuiltinPicture(parameters, "x");
    return picture.ReplaceRange(colorArgument(parameters, "min"), colorArgument(parameters, "max"),
                                colorArgument(parameters, "replacement_color"),
                                QvParameterBlockGetBooleanValue(parameters, "inclusive"));
}

QvValue* Normalize(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    Qv2DValue& picture = QvBuiltinPicture(parameters, "x");
    QvRange range = normalizeBounds(parameters, picture);
    return picture.NormalizeRange(range.low, range.high);
}

// The caller's picture keeps its header (duration, quality, time code, compression);
// only its pixels are rescaled.
QvValue* NormalizeInPlace(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    Qv2DValue& picture = QvBuiltinPictureForWrite(parameters, "x");
    QvRange range = normalizeBounds(parameters, picture);
    picture.pixels() = QvPictureChannels::normalized(picture.pixels(), range.low, range.high);
    QvParameterBlockNotifyChange(parameters, "x");
    return QvNoValueCreate();
}
}
