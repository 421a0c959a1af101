#pragma once

// A red-green-blue triple, also handed to plug-ins. No range is imposed.
struct QvColor {
    double red = 0;
    double green = 0;
    double blue = 0;
};
