#pragma once
#include <cmath>

#include "Kernels/QvPointKernels.h"
#include "Kernels/Reference/QvPixelComponents.h"

// Per-pixel definitions of the kernels of QvPointKernels.h.
namespace QvKernels::Reference {

inline float applyNumberFunction(QvPixelFunction function, float p) {
    switch (function) {
    case QvPixelFunction::squareRoot:
        return canonicalNaN(static_cast<float>(std::sqrt(static_cast<double>(p))));
    case QvPixelFunction::logarithm:
        return canonicalNaN(static_cast<float>(std::log10(static_cast<double>(p))));
    case QvPixelFunction::absolute:
        return canonicalNaN(std::fabs(p));
    }
    return p;
}

// Every grey value, or red, green and blue, through f.
template <class F>
void mapComponents(QvPlane<fgPix> dst, QvPlane<const fgPix> src, F f) {
    for (int y = 0; y < dst.height; ++y) {
        fgPix* d = dst.row(y);
        const fgPix* s = src.row(y);
        for (int x = 0; x < dst.width; ++x) d[x].grey = f(s[x].grey);
    }
}
template <class F>
void mapComponents(QvPlane<fcPix> dst, QvPlane<const fcPix> src, F f) {
    for (int y = 0; y < dst.height; ++y) {
        fcPix* d = dst.row(y);
        const fcPix* s = src.row(y);
        for (int x = 0; x < dst.width; ++x) d[x] = {s[x].alpha, f(s[x].red), f(s[x].green), f(s[x].blue)};
    }
}

template <class P>
void applyFunction(QvPixelFunction function, QvPlane<P> dst, QvPlane<const P> src) {
    mapComponents(dst, src, [function](float p) { return applyNumberFunction(function, p); });
}

template <class P>
void raiseToPower(QvPlane<P> dst, QvPlane<const P> src, double exponent) {
    mapComponents(dst, src, [exponent](float p) {
        return canonicalNaN(static_cast<float>(std::pow(static_cast<double>(p), exponent)));
    });
}

// The brightness that binary minimum and maximum compare.
inline int binaryBrightness(const bgPix& p) { return p.grey; }
inline int binaryBrightness(const bcPix& p) { return brightness(p); }
inline float binaryBrightness(const fgPix& p) { return p.grey; }
inline double binaryBrightness(const fcPix& p) {
    return 0.3 * static_cast<double>(p.red) + 0.59 * static_cast<double>(p.green) + 0.11 * static_cast<double>(p.blue);
}

template <class P, class Pick>
void pickPixels(QvPlane<P> dst, QvPlane<const P> a, QvPlane<const P> b, Pick pickA) {
    for (int y = 0; y < dst.height; ++y) {
        P* d = dst.row(y);
        const P* pa = a.row(y);
        const P* pb = b.row(y);
        for (int x = 0; x < dst.width; ++x)
            d[x] = pickA(binaryBrightness(pa[x]), binaryBrightness(pb[x])) ? pa[x] : pb[x];
    }
}

template <class P>
void binaryMinimum(QvPlane<P> dst, QvPlane<const P> a, QvPlane<const P> b) {
    pickPixels(dst, a, b, [](auto ka, auto kb) { return ka < kb; });
}
template <class P>
void binaryMaximum(QvPlane<P> dst, QvPlane<const P> a, QvPlane<const P> b) {
    pickPixels(dst, a, b, [](auto ka, auto kb) { return ka > kb; });
}

// Components on the 0-1 scale for the range operations.
inline float unitValue(uint8_t p) { return unitFromByte(p); }
inline float unitValue(float p) { return p; }

class QvRangeTest {
public:
    QvRangeTest(double low, double high, bool inclusive) : low_(low), high_(high), inclusive_(inclusive) {}
    bool contains(float p) const {
        double v = p;
        return inclusive_ ? (v >= low_ && v <= high_) : (v > low_ && v < high_);
    }

private:
    double low_, high_;
    bool inclusive_;
};

template <class P>
void replaceRange(QvPlane<P> dst, QvPlane<const P> src, double low, double high, bool inclusive, P replacement) {
    QvRangeTest range(low, high, inclusive);
    for (int y = 0; y < dst.height; ++y) {
        P* d = dst.row(y);
        const P* s = src.row(y);
        for (int x = 0; x < dst.width; ++x) d[x] = range.contains(unitValue(s[x].grey)) ? replacement : s[x];
    }
}

template <class P>
void replaceRange(QvPlane<P> dst, QvPlane<const P> src, const QvColor& low, const QvColor& high, bool inclusive,
                  P replacement) {
    QvRangeTest red(low.red, high.red, inclusive), green(low.green, high.green, inclusive),
        blue(low.blue, high.blue, inclusive);
    for (int y = 0; y < dst.height; ++y) {
        P* d = dst.row(y);
        const P* s = src.row(y);
        for (int x = 0; x < dst.width; ++x) {
            bool within = red.contains(unitValue(s[x].red)) && green.contains(unitValue(s[x].green)) &&
                          blue.contains(unitValue(s[x].blue));
            d[x] = within ? replacement : s[x];
        }
    }
}

// One component rescaled from low..high to 0..1.
class QvRescale {
public:
    QvRescale(double low, double high)
        : low_(static_cast<float>(low)), range_(static_cast<float>(high) - static_cast<float>(low)) {}
    float apply(float p) const { return range_ == 0.0f ? 0.0f : canonicalNaN((p - low_) / range_); }
    uint8_t apply(uint8_t p) const { return byteFromUnit(apply(unitFromByte(p))); }

private:
    float low_, range_;
};

template <class P>
void normalizeRange(QvPlane<P> dst, QvPlane<const P> src, double low, double high) {
    QvRescale rescale(low, high);
    for (int y = 0; y < dst.height; ++y) {
        P* d = dst.row(y);
        const P* s = src.row(y);
        for (int x = 0; x < dst.width; ++x) d[x].grey = rescale.apply(s[x].grey);
    }
}

template <class P>
void normalizeRange(QvPlane<P> dst, QvPlane<const P> src, const QvColor& low, const QvColor& high) {
    QvRescale red(low.red, high.red), green(low.green, high.green), blue(low.blue, high.blue);
    for (int y = 0; y < dst.height; ++y) {
        P* d = dst.row(y);
        const P* s = src.row(y);
        for (int x = 0; x < dst.width; ++x) {
            P p = s[x];
            p.red = red.apply(s[x].red);
            p.green = green.apply(s[x].green);
            p.blue = blue.apply(s[x].blue);
            d[x] = p;
        }
    }
}

}  // namespace QvKernels::Reference
