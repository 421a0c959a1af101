#pragma once
#include <cmath>
#include <cstdint>

#include "Images/QvPixelClasses.h"

// The conversions between pixel classes, one pixel at a time. Every picture
// operation converts through these rules, so that all agree to the bit.
namespace QvPixelRules {

constexpr float kByteToUnit = 1.0f / 255.0f;

// Float to byte: v x 255 truncated towards zero, clamped to 0..255; NaN gives 0.
inline uint8_t toByte(float v) {
    float scaled = v * 255.0f;
    if (!(scaled > 0.0f)) return 0;
    if (scaled >= 255.0f) return 255;
    return uint8_t(scaled);
}

// A byte computed on the 0-255 scale: truncated and clamped the same way.
inline uint8_t toByteFromByteScale(float v) {
    if (!(v > 0.0f)) return 0;
    if (v >= 255.0f) return 255;
    return uint8_t(v);
}

inline float toUnit(uint8_t v) { return float(v) * kByteToUnit; }

// Luminance of a colour on the 0-1 scale: single-precision constants, products and
// sum in double, rounded once (so white is exactly 1).
inline float luminance(float red, float green, float blue) {
    return float(double(0.30f) * red + double(0.59f) * green + double(0.11f) * blue);
}

// The integer grey of a byte colour pixel.
inline uint8_t byteGrey(const bcPix& p) { return uint8_t((77 * p.red + 151 * p.green + 28 * p.blue) >> 8); }

// Any pixel as a float colour pixel (alpha 1 for grey pixels).
inline fcPix toFloatColor(const bgPix& p) {
    float g = toUnit(p.grey);
    return {1.0f, g, g, g};
}
inline fcPix toFloatColor(const bcPix& p) {
    return {toUnit(p.alpha), toUnit(p.red), toUnit(p.green), toUnit(p.blue)};
}
inline fcPix toFloatColor(const fgPix& p) { return {1.0f, p.grey, p.grey, p.grey}; }
inline fcPix toFloatColor(const fcPix& p) { return p; }

inline float luminance(const fcPix& p) { return luminance(p.red, p.green, p.blue); }

// Pixel-class conversions of pictures (coercions, pasting, the right operand of
// arithmetic).
template <class To, class From> To convert(const From& p);

template <> inline bgPix convert<bgPix>(const bgPix& p) { return p; }
template <> inline bgPix convert<bgPix>(const bcPix& p) { return {byteGrey(p)}; }
template <> inline bgPix convert<bgPix>(const fgPix& p) { return {toByte(p.grey)}; }
template <> inline bgPix convert<bgPix>(const fcPix& p) { return {toByte(luminance(p))}; }

template <> inline bcPix convert<bcPix>(const bgPix& p) { return {p.grey, p.grey, p.grey, 255}; }
template <> inline bcPix convert<bcPix>(const bcPix& p) { return p; }
template <> inline bcPix convert<bcPix>(const fgPix& p) {
    uint8_t g = toByte(p.grey);
    return {g, g, g, 255};
}
template <> inline bcPix convert<bcPix>(const fcPix& p) {
    return {toByte(p.blue), toByte(p.green), toByte(p.red), toByte(p.alpha)};
}

template <> inline fgPix convert<fgPix>(const bgPix& p) { return {toUnit(p.grey)}; }
template <> inline fgPix convert<fgPix>(const bcPix& p) { return {luminance(toFloatColor(p))}; }
template <> inline fgPix convert<fgPix>(const fgPix& p) { return p; }
template <> inline fgPix convert<fgPix>(const fcPix& p) { return {luminance(p)}; }

template <> inline fcPix convert<fcPix>(const bgPix& p) { return toFloatColor(p); }
template <> inline fcPix convert<fcPix>(const bcPix& p) { return toFloatColor(p); }
template <> inline fcPix convert<fcPix>(const fgPix& p) { return toFloatColor(p); }
template <> inline fcPix convert<fcPix>(const fcPix& p) { return p; }

// A colour on the 0-1 scale as a pixel of a class (alpha 1 or 255; grey classes take
// the luminance).
template <class P> P fromColor(float red, float green, float blue) {
    return convert<P>(fcPix{1.0f, red, green, blue});
}

}  // namespace QvPixelRules
