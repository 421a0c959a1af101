#include <cstring>

#include "Errors/QvErrors.h"
#include "Images/Qv2DValue.h"
#include "Images/QvPictureArithmetic.h"
#include "Images/QvPictureConversion.h"
#include "Images/QvPictureText.h"


namespace {

// The colour of a number or colour operand; false for any other value.
bool constantColor(QvValue* value, QvColor& color) {
    switch (value ? value->GetType() : QV_UNDEFINED) {
    case QV_NUMBER: {
        double x = value->AsNumber();
        color = {x, x, x};
        return true;
    }
    case QV_COLOR: color = value->AsColor(); return true;
    default: return false;
    }
}

}  // namespace

Qv2DValue& Qv2DValue::resultPicture(QvValueRef& result, const char* op) const {
    Qv2DValue* picture = QvAsPicture(result.get());
    if (!picture || picture->GetType() != GetType() || picture->GetWidth() < GetWidth() ||
        picture->GetHeight() < GetHeight()) {
        std::string message = std::string("Internal type problem in ") + op + ", please submit a bug report (with sample code).";
        QvError(message.c_str());
    }
    return *picture;
}

void Qv2DValue::Add(QvValueRef& result, QvValueRef& other) {
    if (other && other->GetType() == QV_TEXT) {
        Qv2DValue& target = resultPicture(result, "add");
        if (&target != this) QvPictureConversion::paste(pixels(), target.pixels(), 0, 0);
        return QvDrawTextIntoPicture(target.pixels(), other->AsText());
    }
    if (!combinePixels(QvPixelOperator::add, result, other, "add")) QvError("Internal type problem in add");
}

void Qv2DValue::Subtract(QvValueRef& result, QvValueRef& other) {
    if (!combinePixels(QvPixelOperator::subtract, result, other, "subtract")) QvValue::Subtract(result, other);
}

void Qv2DValue::Multiply(QvValueRef& result, QvValueRef& other) {
    if (!combinePixels(QvPixelOperator::multiply, result, other, "multiply")) QvError("Internal type problem in multiply");
}

void Qv2DValue::Divide(QvValueRef& result, QvValueRef& other) {
    if (!combinePixels(QvPixelOperator::divide, result, other, "divide")) QvError("Internal type problem in multiply");
}

bool Qv2DValue::combinePixels(QvPixelOperator op, QvValueRef& result, QvValueRef& other,
                              const char* name) {
    QvColor constant;
    if (constantColor(other.get(), constant)) {
        QvPictureArithmetic::withConstant(op, pixels(), constant, resultPicture(result, name).pixels());
        return true;
    }
    const Qv2DValue* picture = QvAsPicture(other.get());
    if (!picture || !QvPictureArithmetic::accepts(pixelClass(), picture->pixelClass())) return false;
    QvPictureArithmetic::withPicture(op, pixels(), picture->pixels(), resultPicture(result, name).pixels());
    return true;
}
