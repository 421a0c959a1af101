#include "Images/QvPictureChannels.h"

#include <cmath>
#include <type_traits>

#include "Images/QvPictureConversion.h"
#include "Images/QvPixelRules.h"

namespace QvPictureChannels {
namespace {

template <class P> constexpr bool isGrey = std::is_same_v<P, bgPix> || std::is_same_v<P, fgPix>;

// Applies f(float 0-1 component, channel 0..2) to red, green and blue (or grey), keeping alpha.
template <class P, class F>
P mapColor(const P& p, F f) {
    if constexpr (std::is_same_v<P, bgPix>)
        return {QvPixelRules::toByte(f(QvPixelRules::toUnit(p.grey), 0))};
    else if constexpr (std::is_same_v<P, fgPix>)
        return {f(p.grey, 0)};
    else if constexpr (std::is_same_v<P, bcPix>) {
        using QvPixelRules::toByte, QvPixelRules::toUnit;
        return {toByte(f(toUnit(p.blue), 2)), toByte(f(toUnit(p.green), 1)), toByte(f(toUnit(p.red), 0)), p.alpha};
    } else
        return {p.alpha, f(p.red, 0), f(p.green, 1), f(p.blue, 2)};
}

template <class P, class F>
QvPixelStorage mapped(const QvPixelStorage& picture, F f) {
    QvPixelStorage result(picture.pixelClass(), picture.width(), picture.height());
    for (int32_t y = 0; y < picture.height(); ++y) {
        const P* in = picture.row<P>(y);
        P* out = result.row<P>(y);
        for (int32_t x = 0; x < picture.width(); ++x)
            out[x] = f(in[x]);
    }
    return result;
}

template <class F>
QvPixelStorage mappedAny(const QvPixelStorage& picture, F f) {
    return QvWithPixel(picture.pixelClass(), [&](auto p) { return mapped<decltype(p)>(picture, f); });
}

// The three bounds of a colour for a picture: grey pictures use the luminance.
template <class P>
void bounds(const QvColor& color, float (&out)[3]) {
    if constexpr (isGrey<P>) {
        out[0] = out[1] = out[2] = QvPixelRules::luminance(float(color.red), float(color.green), float(color.blue));
    } else {
        out[0] = float(color.red);
        out[1] = float(color.green);
        out[2] = float(color.blue);
    }
}

double luminance(const fcPix& p) { return 0.3 * p.red + 0.59 * p.green + 0.11 * p.blue; }

template <bool wantGreater>
QvPixelStorage extremes(const QvPixelStorage& picture, const QvPixelStorage& other) {
    QvPixelStorage converted = QvPictureConversion::convert(other, picture.pixelClass());
    QvPixelStorage result(picture.pixelClass(), picture.width(), picture.height());
    QvWithPixel(picture.pixelClass(), [&](auto sample) {
        using P = decltype(sample);
        for (int32_t y = 0; y < picture.height(); ++y) {
            const P* mine = picture.row<P>(y);
            const P* theirs = converted.row<P>(y);
            P* out = result.row<P>(y);
            for (int32_t x = 0; x < picture.width(); ++x) {
                double a = luminance(QvPixelRules::toFloatColor(mine[x]));
                double b = luminance(QvPixelRules::toFloatColor(theirs[x]));
                out[x] = (wantGreater ? a > b : a < b) ? mine[x] : theirs[x];
            }
        }
    });
    return result;
}

}  // namespace

QvPixelStorage alpha(const QvPixelStorage& picture) {
    bool floats = QvIsFloat(picture.pixelClass());
    QvPixelStorage result(floats ? QvPixelClass::FloatGrey : QvPixelClass::ByteGrey, picture.width(), picture.height());
    for (int32_t y = 0; y < picture.height(); ++y)
        for (int32_t x = 0; x < picture.width(); ++x) {
            if (floats)
                result.row<fgPix>(y)[x].grey = picture.row<fcPix>(y)[x].alpha;
            else
                result.row<bgPix>(y)[x].grey = picture.row<bcPix>(y)[x].alpha;
        }
    return result;
}

QvPixelStorage withAlpha(const QvPixelStorage& picture, const QvPixelStorage& mask) {
    QvPixelStorage result = picture.copy();
    bool floats = QvIsFloat(picture.pixelClass());
    QvPixelStorage levels = QvPictureConversion::convert(mask, floats ? QvPixelClass::FloatGrey : QvPixelClass::ByteGrey);
    int32_t width = std::min(picture.width(), mask.width()), height = std::min(picture.height(), mask.height());
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            if (floats)
                result.row<fcPix>(y)[x].alpha = levels.row<fgPix>(y)[x].grey;
            else
                result.row<bcPix>(y)[x].alpha = levels.row<bgPix>(y)[x].grey;
        }
    return result;
}

QvPixelStorage lesser(const QvPixelStorage& picture, const QvPixelStorage& other) {
    return extremes<false>(picture, other);
}

QvPixelStorage greater(const QvPixelStorage& picture, const QvPixelStorage& other) {
    return extremes<true>(picture, other);
}

QvPixelStorage replaced(const QvPixelStorage& picture, const QvColor& low, const QvColor& high,
                        const QvColor& replacement, bool inclusive) {
    return mappedAny(picture, [&](const auto& p) {
        using P = std::decay_t<decltype(p)>;
        float lo[3], hi[3], with[3];
        bounds<P>(low, lo);
        bounds<P>(high, hi);
        bounds<P>(replacement, with);
        fcPix c = QvPixelRules::toFloatColor(p);
        float channels[3] = {c.red, c.green, c.blue};
        bool within = true;
        for (int i = 0; i < 3; ++i)
            within = within && (inclusive ? channels[i] >= lo[i] && channels[i] <= hi[i]
                                          : channels[i] > lo[i] && channels[i] < hi[i]);
        return within ? mapColor(p, [&](float, int channel) { return with[channel]; }) : p;
    });
}

QvPixelStorage normalized(const QvPixelStorage& picture, const QvColor& low, const QvColor& high) {
    return mappedAny(picture, [&](const auto& p) {
        using P = std::decay_t<decltype(p)>;
        float lo[3], hi[3];
        bounds<P>(low, lo);
        bounds<P>(high, hi);
        return mapColor(p, [&](float v, int channel) {
            float range = hi[channel] - lo[channel];
            return range == 0 ? 0.0f : (v - lo[channel]) / range;
        });
    });
}

QvPixelStorage applied(const QvPixelStorage& picture, Function function, double exponent) {
    return mappedAny(picture, [&](const auto& p) {
        return mapColor(p, [&](float v, int) {
            switch (function) {
            case Function::Sqrt: return float(std::sqrt(double(v)));
            case Function::Log: return float(std::log10(double(v)));
            case Function::Abs: return std::fabs(v);
            case Function::Pow: break;
            }
            return float(std::pow(double(v), exponent));
        });
    });
}

}  // namespace QvPictureChannels
