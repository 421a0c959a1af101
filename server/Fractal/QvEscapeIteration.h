#pragma once
#include <cstdint>

// The escape iteration of the fractals: z -> z^2 + c from z0, in double precision,
// each operation rounded on its own (never fused), in this order:
//     escaped when zr*zr + zi*zi > 4;
//     zi' = (2*zr)*zi + ci;  zr' = (zr*zr - zi*zi) + cr.
// The vector kernels follow the same order, so every path gives the same counts.
namespace QvFractal {

struct QvOrbit {
    double zr;
    double zi;
};

// Checks z_0 .. z_{limit-1} against the escape radius and returns the index of the
// first iterate outside it, or -1 when none is (z then holds z_limit).
inline int64_t firstEscape(QvOrbit& z, double cr, double ci, int64_t limit) {
    double zr = z.zr, zi = z.zi;
    for (int64_t i = 0; i < limit; ++i) {
        double rr = zr * zr, ii = zi * zi;
        if (rr + ii > 4.0) {
            z = {zr, zi};
            return i;
        }
        zi = (2.0 * zr) * zi + ci;
        zr = (rr - ii) + cr;
    }
    z = {zr, zi};
    return -1;
}

// The escape count of z0 within `depth` iterations: 1 + the index of the first iterate
// outside the radius (1 when z0 itself is), or 0 when the orbit stays inside (also
// for a depth below 1).
inline int64_t escapeCount(double zr, double zi, double cr, double ci, int64_t depth) {
    QvOrbit z{zr, zi};
    int64_t first = firstEscape(z, cr, ci, depth);
    return first < 0 ? 0 : first + 1;
}

}  // namespace QvFractal
