#pragma once
#include "QvExport.h"

// A red-green-blue triple, also handed to plug-ins. No range is imposed.
struct QvColor {
    double red = 0;
    double green = 0;
    double blue = 0;

    // The mean of the components, as the sum times the double nearest one third.
    double intensity() const { return (red + green + blue) * 0.3333333333333333; }
};

// Records owned by the caller (plug-ins); the delete ignores null.
QV_C_EXPORT QvColor* QvColorCreate(double red, double green, double blue);
QV_C_EXPORT void QvColorDelete(QvColor* color);
QV_C_EXPORT double QvColorGetRed(QvColor* color);
QV_C_EXPORT double QvColorGetGreen(QvColor* color);
QV_C_EXPORT double QvColorGetBlue(QvColor* color);
