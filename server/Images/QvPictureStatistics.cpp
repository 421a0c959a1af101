#include "Images/QvPictureStatistics.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "Images/QvPixelRules.h"

namespace QvPictureStatistics {
namespace {

constexpr double kEmptyAverage = 1e10;

struct Sums {
    double red = 0, green = 0, blue = 0;
};

Sums byteGreySums(const QvPixelStorage& picture) {
    uint64_t total = 0;
    for (int32_t y = 0; y < picture.height(); ++y) {
        const bgPix* row = picture.row<bgPix>(y);
        for (int32_t x = 0; x < picture.width(); ++x)
            total += row[x].grey;
    }
    double s = double(total) / 255.0;
    return {s, s, s};
}

Sums byteColorSums(const QvPixelStorage& picture) {
    uint64_t red = 0, green = 0, blue = 0;
    for (int32_t y = 0; y < picture.height(); ++y) {
        const bcPix* row = picture.row<bcPix>(y);
        for (int32_t x = 0; x < picture.width(); ++x) {
            red += row[x].red;
            green += row[x].green;
            blue += row[x].blue;
        }
    }
    return {double(red) / 255.0, double(green) / 255.0, double(blue) / 255.0};
}

template <class P>
Sums floatSums(const QvPixelStorage& picture) {
    Sums sums;
    for (int32_t y = 0; y < picture.height(); ++y) {
        const P* row = picture.row<P>(y);
        for (int32_t x = 0; x < picture.width(); ++x) {
            fcPix p = QvPixelRules::toFloatColor(row[x]);
            sums.red += p.red;
            sums.green += p.green;
            sums.blue += p.blue;
        }
    }
    return sums;
}

Sums sums(const QvPixelStorage& picture) {
    if (picture.empty()) return {};
    switch (picture.pixelClass()) {
    case QvPixelClass::ByteGrey: return byteGreySums(picture);
    case QvPixelClass::ByteColor: return byteColorSums(picture);
    case QvPixelClass::FloatGrey: return floatSums<fgPix>(picture);
    case QvPixelClass::FloatColor: break;
    }
    return floatSums<fcPix>(picture);
}

// The ordering key of extremes: exact integers for frames, the luminance otherwise.
template <class P> double orderKey(const P& p) { return QvPixelRules::luminance(QvPixelRules::toFloatColor(p)); }
template <> double orderKey(const bgPix& p) { return p.grey; }
template <> double orderKey(const bcPix& p) { return 30 * p.red + 59 * p.green + 11 * p.blue; }

template <bool wantLargest>
Extreme extreme(const QvPixelStorage& picture) {
    Extreme best;
    if (picture.empty()) return best;
    QvWithPixel(picture.pixelClass(), [&](auto sample) {
        using P = decltype(sample);
        double bestKey = orderKey(*picture.row<P>(0));
        for (int32_t y = 0; y < picture.height(); ++y) {
            const P* row = picture.row<P>(y);
            for (int32_t x = 0; x < picture.width(); ++x) {
                double key = orderKey(row[x]);
                if (wantLargest ? key > bestKey : key < bestKey) {
                    bestKey = key;
                    best.x = x;
                    best.y = y;
                }
            }
        }
        fcPix p = QvPixelRules::toFloatColor(picture.row<P>(best.y)[best.x]);
        best.color = {p.red, p.green, p.blue};
        best.luminance = QvPixelRules::luminance(p);
    });
    return best;
}

template <class P>
double differenceOf(const QvPixelStorage& a, const QvPixelStorage& b, double threshold) {
    int32_t width = std::min(a.width(), b.width()), height = std::min(a.height(), b.height());
    if (width == 0 || height == 0) return 0;
    double total = 0;
    for (int32_t y = 0; y < height; ++y) {
        const P* rowA = a.row<P>(y);
        const P* rowB = b.row<P>(y);
        for (int32_t x = 0; x < width; ++x) {
            fcPix p = QvPixelRules::toFloatColor(rowA[x]), q = QvPixelRules::toFloatColor(rowB[x]);
            float d;
            if constexpr (std::is_same_v<P, bgPix> || std::is_same_v<P, fgPix>)
                d = std::fabs(p.red - q.red);
            else
                d = 0.3f * std::fabs(p.red - q.red) + 0.59f * std::fabs(p.green - q.green) +
                    0.11f * std::fabs(p.blue - q.blue);
            if (d > threshold) total += d;
        }
    }
    return total / (double(width) * height);
}

}  // namespace

QvColor sum(const QvPixelStorage& picture) {
    Sums s = sums(picture);
    return {s.red, s.green, s.blue};
}

QvColor average(const QvPixelStorage& picture) {
    if (picture.empty()) return {kEmptyAverage, kEmptyAverage, kEmptyAverage};
    Sums s = sums(picture);
    double count = double(picture.pixelCount());
    return {s.red / count, s.green / count, s.blue / count};
}

QvColor deviation(const QvPixelStorage& picture) {
    if (picture.empty()) return {};
    QvColor mean = average(picture);
    Sums squares;
    QvWithPixel(picture.pixelClass(), [&](auto sample) {
        using P = decltype(sample);
        for (int32_t y = 0; y < picture.height(); ++y) {
            const P* row = picture.row<P>(y);
            for (int32_t x = 0; x < picture.width(); ++x) {
                fcPix p = QvPixelRules::toFloatColor(row[x]);
                squares.red += (p.red - mean.red) * (p.red - mean.red);
                squares.green += (p.green - mean.green) * (p.green - mean.green);
                squares.blue += (p.blue - mean.blue) * (p.blue - mean.blue);
            }
        }
    });
    double count = double(picture.pixelCount());
    return {std::sqrt(squares.red / count), std::sqrt(squares.green / count), std::sqrt(squares.blue / count)};
}

Extreme largest(const QvPixelStorage& picture) { return extreme<true>(picture); }
Extreme smallest(const QvPixelStorage& picture) { return extreme<false>(picture); }

float luminanceAt(const QvPixelStorage& picture, int32_t x, int32_t y) {
    return QvWithPixel(picture.pixelClass(), [&](auto sample) {
        return QvPixelRules::luminance(QvPixelRules::toFloatColor(picture.row<decltype(sample)>(y)[x]));
    });
}

double difference(const QvPixelStorage& a, const QvPixelStorage& b, double threshold) {
    return QvWithPixel(a.pixelClass(), [&](auto sample) { return differenceOf<decltype(sample)>(a, b, threshold); });
}

}  // namespace QvPictureStatistics
