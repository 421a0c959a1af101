#include "Library/QvBuiltinNamespaces.h"

namespace {
Qv2DValue& pictureOf(QvValue* value) {
    Qv2DValue* picture = QvAsPicture(value);
    if (!picture) QvError("The value is not a picture of the expected type.");
    return *picture;
}
}

Qv2DValue& QvBuiltinPicture(QvParameterBlock* parameters, const char* name) {
    return pictureOf(QvParameterBlockGetValue(parameters, name));
}

Qv2DValue& QvBuiltinPictureForWrite(QvParameterBlock* parameters, const char* name) {
    return pictureOf(QvParameterBlockGetValueMutable(parameters, name));
}
