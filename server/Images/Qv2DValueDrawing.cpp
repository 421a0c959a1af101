#include "Draw/QvCanvasDrawing.h"
#include "Errors/QvErrors.h"
#include "Images/Qv2DValue.h"

namespace {

QvDrawStyle styleOf(const QvColor& color, int mode, const QvColor& weight) {
    if (mode < int(QvDrawMode::Copy) || mode > int(QvDrawMode::Or)) QvError("Illegal mode");
    return {color, weight, QvDrawMode(mode)};
}

}  // namespace

void Qv2DValue::DrawRectangle(double width, double height, double x, double y, const QvColor& color, int mode,
                              const QvColor& weight, bool fill) {
    QvDrawStyle style = styleOf(color, mode, weight);
    QvWithPixel(pixelClass(), [&](auto p) {
        QvDraw::rectangle(pixels().plane<decltype(p)>(), width, height, x, y, style, fill);
    });
}

void Qv2DValue::DrawLine(double x1, double y1, double x2, double y2, const QvColor& color, int mode,
                         const QvColor& weight) {
    QvDrawStyle style = styleOf(color, mode, weight);
    QvWithPixel(pixelClass(), [&](auto p) { QvDraw::line(pixels().plane<decltype(p)>(), x1, y1, x2, y2, style); });
}

void Qv2DValue::DrawCircle(double radius, double x, double y, const QvColor& color, int mode, const QvColor& weight,
                           bool fill) {
    QvDrawStyle style = styleOf(color, mode, weight);
    QvWithPixel(pixelClass(), [&](auto p) {
        QvDraw::circle(pixels().plane<decltype(p)>(), radius, x, y, style, fill);
    });
}
