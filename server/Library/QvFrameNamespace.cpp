// Frame: the fields of interlaced pictures and the alpha channel of colour pictures.
#include "Library/QvBuiltinNamespaces.h"

namespace {
bool sameSize(const Qv2DValue& a, const Qv2DValue& b) {
    return a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight();
}
}

namespace QvFrameNamespace {
QvValue* DeInterlaceOdd(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    return QvBuiltinPicture(parameters, "source").DeInterlaceOdd();
}

QvValue* DeInterlaceEven(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    return QvBuiltinPicture(parameters, "source").DeInterlaceEven();
}

QvValue* Interlace(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    Qv2DValue& even = QvBuiltinPicture(parameters, "even");
    Qv2DValue& odd = QvBuiltinPicture(parameters, "odd");
    if (even.GetType() != odd.GetType())
        return QvBuiltinFailure(error, "Parameters must be the same type for interlacing.)");
    if (!sameSize(even, odd)) return QvBuiltinFailure(error, "Frames must be same size.");
    return even.Interlace(&odd);
}

QvValue* GetAlpha(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    return QvBuiltinPicture(parameters, "source").GetAlpha();
}

QvValue* SetAlpha(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    Qv2DValue& source = QvBuiltinPicture(parameters, "source");
    Qv2DValue& alpha = QvBuiltinPicture(parameters, "alpha");
    if (!sameSize(source, alpha)) return QvBuiltinFailure(error, "Frames must be same size.");
    return source.SetAlpha(&alpha);
}
}
