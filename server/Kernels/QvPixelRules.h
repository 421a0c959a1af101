#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

#include "Kernels/QvPixelClasses.h"
#include "Values/QvColor.h"

// The rules for one pixel that every kernel, the value classes and the tests share.
// Inside the language pixel values are on a 0-1 scale; byte pixels map onto it by
// the single-precision factor 1/255.
namespace QvKernels {

constexpr float kUnitPerByte = 1.0f / 255.0f;

// The one NaN that float kernels write (the processor's default NaN, sign set): which
// of two NaN operands an instruction passes on differs between instruction sets.
constexpr float kDefaultNaN = -std::numeric_limits<float>::quiet_NaN();
inline float canonicalNaN(float value) { return value != value ? kDefaultNaN : value; }
inline double canonicalNaN(double value) { return value != value ? -std::numeric_limits<double>::quiet_NaN() : value; }
inline QvColor canonicalNaN(const QvColor& c) { return {canonicalNaN(c.red), canonicalNaN(c.green), canonicalNaN(c.blue)}; }

inline float unitFromByte(uint8_t value) { return value * kUnitPerByte; }

// A value on the 0-255 scale stored into a byte: truncated towards zero; NaN and
// anything below 1 give 0, 255 and above (+inf included) give 255.
inline uint8_t byteFromScaled(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 255.0f) return 255;
    return static_cast<uint8_t>(value);
}

// The float-to-byte rule: a value on the 0-1 scale times 255 (in single precision),
// then stored as above. NaN gives 0, +inf 255, -inf 0.
inline uint8_t byteFromUnit(float value) { return byteFromScaled(value * 255.0f); }

// Colour to grey on the 0-1 scale: the single-precision weights 0.30, 0.59 and 0.11,
// products and sum in double, rounded once to float; white gives exactly 1.
inline float luminance(double red, double green, double blue) {
    return canonicalNaN(static_cast<float>(static_cast<double>(0.30f) * red + static_cast<double>(0.59f) * green +
                                           static_cast<double>(0.11f) * blue));
}
inline float luminance(const QvColor& color) { return luminance(color.red, color.green, color.blue); }

// Frame to frame_mono: the integer rule (77 R + 151 G + 28 B) >> 8.
inline uint8_t greyLevel(const bcPix& p) { return static_cast<uint8_t>((77 * p.red + 151 * p.green + 28 * p.blue) >> 8); }

// The exact brightness that orders frame pixels: 30 R + 59 G + 11 B (0..25500).
inline int brightness(const bcPix& p) { return 30 * p.red + 59 * p.green + 11 * p.blue; }

// Byte add and subtract move a component by this many levels: trunc(255 |c|) limited
// to 255, with the sign of c; NaN moves nothing.
inline int byteStep(double c) {
    double levels = 255.0 * std::fabs(c);
    if (!(levels > 0.0)) return 0;
    int step = levels >= 255.0 ? 255 : static_cast<int>(levels);
    return c < 0 ? -step : step;
}

// Byte multiplication by c uses the integer factor k = trunc(255 c) limited to
// 0..65025 (NaN gives 0); a byte p becomes min(p k / 255, 255) in integers.
inline int byteFactor(double c) {
    double k = 255.0 * c;
    if (!(k > 0.0)) return 0;
    return k >= 65025.0 ? 65025 : static_cast<int>(k);
}
inline uint8_t multiplyByte(uint8_t p, int factor) {
    int product = p * factor / 255;
    return static_cast<uint8_t>(product > 255 ? 255 : product);
}

// Conversions between the pixel classes. Grey to colour replicates the grey with an
// opaque alpha; colour to grey is greyLevel between bytes and the luminance
// otherwise; byte to float is unitFromByte, float to byte is byteFromUnit.
inline void convertPixel(const bgPix& s, bgPix& d) { d = s; }
inline void convertPixel(const bgPix& s, bcPix& d) { d = {s.grey, s.grey, s.grey, 255}; }
inline void convertPixel(const bgPix& s, fgPix& d) { d.grey = unitFromByte(s.grey); }
inline void convertPixel(const bgPix& s, fcPix& d) {
    float grey = unitFromByte(s.grey);
    d = {1.0f, grey, grey, grey};
}
inline void convertPixel(const bcPix& s, bgPix& d) { d.grey = greyLevel(s); }
inline void convertPixel(const bcPix& s, bcPix& d) { d = s; }
inline void convertPixel(const bcPix& s, fgPix& d) {
    d.grey = luminance(unitFromByte(s.red), unitFromByte(s.green), unitFromByte(s.blue));
}
inline void convertPixel(const bcPix& s, fcPix& d) {
    d = {unitFromByte(s.alpha), unitFromByte(s.red), unitFromByte(s.green), unitFromByte(s.blue)};
}
inline void convertPixel(const fgPix& s, bgPix& d) { d.grey = byteFromUnit(s.grey); }
inline void convertPixel(const fgPix& s, bcPix& d) {
    uint8_t grey = byteFromUnit(s.grey);
    d = {grey, grey, grey, 255};
}
inline void convertPixel(const fgPix& s, fgPix& d) { d = s; }
inline void convertPixel(const fgPix& s, fcPix& d) { d = {1.0f, s.grey, s.grey, s.grey}; }
inline void convertPixel(const fcPix& s, bgPix& d) { d.grey = byteFromUnit(luminance(s.red, s.green, s.blue)); }
inline void convertPixel(const fcPix& s, bcPix& d) {
    d = {byteFromUnit(s.blue), byteFromUnit(s.green), byteFromUnit(s.red), byteFromUnit(s.alpha)};
}
inline void convertPixel(const fcPix& s, fgPix& d) { d.grey = luminance(s.red, s.green, s.blue); }
inline void convertPixel(const fcPix& s, fcPix& d) { d = s; }

// The luminance of one pixel on the 0-1 scale: the grey of its image_mono conversion.
template <class P>
float pixelLuminance(const P& p) {
    fgPix grey;
    convertPixel(p, grey);
    return grey.grey;
}

// A pixel read as a colour on the 0-1 scale (grey gives (g, g, g); alpha is dropped).
inline QvColor colorOfPixel(const bgPix& p) {
    double grey = unitFromByte(p.grey);
    return {grey, grey, grey};
}
inline QvColor colorOfPixel(const bcPix& p) { return {unitFromByte(p.red), unitFromByte(p.green), unitFromByte(p.blue)}; }
inline QvColor colorOfPixel(const fgPix& p) { return {p.grey, p.grey, p.grey}; }
inline QvColor colorOfPixel(const fcPix& p) { return {p.red, p.green, p.blue}; }

// The colour pixel of a colour operand: opaque, components in single precision and
// stored into bytes by the float-to-byte rule; grey classes take its luminance.
inline void pixelOfColor(const QvColor& c, bgPix& d) { d.grey = byteFromUnit(luminance(c)); }
inline void pixelOfColor(const QvColor& c, bcPix& d) {
    d = {byteFromUnit(static_cast<float>(c.blue)), byteFromUnit(static_cast<float>(c.green)),
         byteFromUnit(static_cast<float>(c.red)), 255};
}
inline void pixelOfColor(const QvColor& c, fgPix& d) { d.grey = luminance(c); }
inline void pixelOfColor(const QvColor& c, fcPix& d) {
    d = {1.0f, static_cast<float>(c.red), static_cast<float>(c.green), static_cast<float>(c.blue)};
}

}  // namespace QvKernels
