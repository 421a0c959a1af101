// Draw: shapes painted into a picture held in the caller's variable, which changes in
// place; a window showing that variable is refreshed once per call.
#include "Images/Qv2DValue.h"
#include "Library/QvBuiltinNamespaces.h"

namespace {

// 1 for "copy", 2 for "xor", 3 for "or" (exact, case-sensitive), 0 for any other text.
int modeOf(QvParameterBlock* parameters) {
    static const char* const names[] = {"copy", "xor", "or"};
    for (int mode = 1; mode <= 3; ++mode)
        if (QvParameterBlockCompareTextValue(parameters, "mode", names[mode - 1])) return mode;
    return 0;
}

// A colour weight as it is; a number w as (w, w, w).
QvColor weightOf(QvParameterBlock* parameters) {
    QvValue* weight = QvParameterBlockGetValue(parameters, "weight");
    if (weight->GetType() == QV_COLOR) return weight->AsColor();
    double w = weight->AsNumber();
    return {w, w, w};
}

double number(QvParameterBlock* parameters, const char* name) {
    return QvParameterBlockGetNumberValue(parameters, name);
}

QvColor color(QvParameterBlock* parameters) { return QvParameterBlockGetValue(parameters, "obj_color")->AsColor(); }

bool fill(QvParameterBlock* parameters) { return QvParameterBlockGetBooleanValue(parameters, "fill"); }

// Reads the mode, lets `draw` paint into the caller's picture (made its own first when
// shared) and tells the variable it changed.
template <class Draw>
QvValue* drawOnCanvas(QvPluginErrorBlock* error, QvParameterBlock* parameters, Draw draw) {
    int mode = modeOf(parameters);
    if (!mode) return QvBuiltinFailure(error, "Invalid Drawing mode specified.");
    Qv2DValue& canvas = *QvAsPicture(QvParameterBlockGetValueMutable(parameters, "canvas"));
    draw(canvas, mode, weightOf(parameters));
    QvParameterBlockNotifyChange(parameters, "canvas");
    return QvNoValueCreate();
}

}  // namespace

namespace QvDrawNamespace {

QvValue* Circle(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    return drawOnCanvas(error, parameters, [&](Qv2DValue& canvas, int mode, const QvColor& weight) {
        canvas.DrawCircle(number(parameters, "radius"), number(parameters, "x"), number(parameters, "y"),
                          color(parameters), mode, weight, fill(parameters));
    });
}

QvValue* Rectangle(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    return drawOnCanvas(error, parameters, [&](Qv2DValue& canvas, int mode, const QvColor& weight) {
        canvas.DrawRectangle(number(parameters, "width"), number(parameters, "height"), number(parameters, "x"),
                             number(parameters, "y"), color(parameters), mode, weight, fill(parameters));
    });
}

QvValue* Line(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    return drawOnCanvas(error, parameters, [&](Qv2DValue& canvas, int mode, const QvColor& weight) {
        canvas.DrawLine(number(parameters, "x1"), number(parameters, "y1"), number(parameters, "x2"),
                        number(parameters, "y2"), color(parameters), mode, weight);
    });
}

}  // namespace QvDrawNamespace
