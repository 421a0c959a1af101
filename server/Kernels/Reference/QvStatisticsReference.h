#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "Kernels/QvStatisticsKernels.h"
#include "Kernels/Reference/QvPixelComponents.h"

// Per-pixel definitions of the kernels of QvStatisticsKernels.h.
namespace QvKernels::Reference {

constexpr double kEmptyAverage = 1e10;

// Exact sums of the components (blue, green, red; grey in all three) and their squares.
struct QvByteSums {
    uint64_t sum[3] = {};
    uint64_t squares[3] = {};
    uint64_t count = 0;

    void add(int component, uint64_t value) {
        sum[component] += value;
        squares[component] += value * value;
    }
};

inline QvByteSums byteSums(QvPlane<const bgPix> plane) {
    QvByteSums sums;
    for (int y = 0; y < plane.height; ++y) {
        const bgPix* p = plane.row(y);
        for (int x = 0; x < plane.width; ++x) sums.add(0, p[x].grey);
    }
    sums.sum[1] = sums.sum[2] = sums.sum[0];
    sums.squares[1] = sums.squares[2] = sums.squares[0];
    sums.count = plane.empty() ? 0 : uint64_t(plane.width) * uint64_t(plane.height);
    return sums;
}

inline QvByteSums byteSums(QvPlane<const bcPix> plane) {
    QvByteSums sums;
    for (int y = 0; y < plane.height; ++y) {
        const bcPix* p = plane.row(y);
        for (int x = 0; x < plane.width; ++x) {
            sums.add(0, p[x].blue);
            sums.add(1, p[x].green);
            sums.add(2, p[x].red);
        }
    }
    sums.count = plane.empty() ? 0 : uint64_t(plane.width) * uint64_t(plane.height);
    return sums;
}

// Double sums of float components in the fixed order: one partial sum per x mod 16
// and component, over the rows in order, then the partial sums added in turn.
struct QvFloatSums {
    static constexpr int kLanes = 16;
    double partial[kLanes][4] = {};

    double total(int component) const {
        double sum = 0;
        for (int lane = 0; lane < kLanes; ++lane) sum += partial[lane][component];
        return sum;
    }
};

// Sums of f(component) of every pixel; components in memory order.
template <class P, class F>
QvFloatSums floatSums(QvPlane<const P> plane, F f) {
    QvFloatSums sums;
    for (int y = 0; y < plane.height; ++y) {
        const P* p = plane.row(y);
        for (int x = 0; x < plane.width; ++x) {
            float c[4];
            QvComponents<P>::read(p[x], c);
            for (int k = 0; k < QvComponents<P>::count; ++k) sums.partial[x % QvFloatSums::kLanes][k] += f(k, c[k]);
        }
    }
    return sums;
}

inline QvColor colorOfSums(const QvFloatSums& sums, QvPlane<const fgPix>) {
    double grey = sums.total(0);
    return {grey, grey, grey};
}
inline QvColor colorOfSums(const QvFloatSums& sums, QvPlane<const fcPix>) {
    return {sums.total(1), sums.total(2), sums.total(3)};
}

inline int64_t pixelCount(int width, int height) { return width > 0 && height > 0 ? int64_t{width} * height : 0; }

// sqrt(n S2 - S1^2) / n from exact integers, on the 0-1 scale.
inline double byteDeviation(const QvByteSums& sums, int component) {
    using Wide = unsigned __int128;
    Wide n = sums.count;
    Wide spread = n * sums.squares[component] - Wide(sums.sum[component]) * sums.sum[component];
    double count = static_cast<double>(sums.count);
    return std::sqrt(static_cast<double>(spread) / (count * count)) / 255.0;
}

template <class P>
constexpr bool holdsBytes() {
    return std::is_same_v<P, bgPix> || std::is_same_v<P, bcPix>;
}

// How the reference sums: pixel by pixel. The vector kernels pass their own summation
// with the same results to the statistics below.
struct QvPixelSums {
    // Exact sums, and sums of squares when asked for (the reference always makes them).
    template <class P>
    static QvByteSums bytes(QvPlane<const P> plane, bool) {
        return byteSums(plane);
    }
    // Sums of the components, or of their squared distances to means[component].
    template <class P>
    static QvFloatSums floats(QvPlane<const P> plane, const double* means) {
        if (!means) return floatSums(plane, [](int, float v) { return double{v}; });
        return floatSums(plane, [means](int k, float v) {
            double d = v - means[k];
            return d * d;
        });
    }
};

template <class P, class Sums = QvPixelSums>
QvColor sumOfPixels(QvPlane<const P> plane) {
    if constexpr (holdsBytes<P>()) {
        QvByteSums sums = Sums::bytes(plane, false);
        return {sums.sum[2] / 255.0, sums.sum[1] / 255.0, sums.sum[0] / 255.0};
    } else {
        return canonicalNaN(colorOfSums(Sums::floats(plane, nullptr), plane));
    }
}

template <class P, class Sums = QvPixelSums>
QvColor averageOfPixels(QvPlane<const P> plane) {
    int64_t count = pixelCount(plane.width, plane.height);
    if (count == 0) return {kEmptyAverage, kEmptyAverage, kEmptyAverage};
    if constexpr (holdsBytes<P>()) {
        QvByteSums sums = Sums::bytes(plane, false);
        double scale = 255.0 * static_cast<double>(count);
        return {sums.sum[2] / scale, sums.sum[1] / scale, sums.sum[0] / scale};
    } else {
        QvColor sum = sumOfPixels<P, Sums>(plane);
        double n = static_cast<double>(count);
        return {sum.red / n, sum.green / n, sum.blue / n};
    }
}

template <class P, class Sums = QvPixelSums>
QvColor deviationOfPixels(QvPlane<const P> plane) {
    int64_t count = pixelCount(plane.width, plane.height);
    if (count == 0) return {0, 0, 0};
    if constexpr (holdsBytes<P>()) {
        QvByteSums sums = Sums::bytes(plane, true);
        return {byteDeviation(sums, 2), byteDeviation(sums, 1), byteDeviation(sums, 0)};
    } else {
        QvColor mean = averageOfPixels<P, Sums>(plane);
        double means[4] = {0, mean.red, mean.green, mean.blue};
        if constexpr (std::is_same_v<P, fgPix>) means[0] = mean.red;
        QvColor spread = colorOfSums(Sums::floats(plane, means), plane);
        double n = static_cast<double>(count);
        return canonicalNaN(QvColor{std::sqrt(spread.red / n), std::sqrt(spread.green / n), std::sqrt(spread.blue / n)});
    }
}

// The brightness that orders pixels for the extremes.
inline int orderingBrightness(const bgPix& p) { return p.grey; }
inline int orderingBrightness(const bcPix& p) { return brightness(p); }
inline float orderingBrightness(const fgPix& p) { return p.grey; }
inline float orderingBrightness(const fcPix& p) { return luminance(p.red, p.green, p.blue); }

template <class P, class Better>
QvPixelPosition extremePixel(QvPlane<const P> plane, Better better) {
    QvPixelPosition best;
    decltype(orderingBrightness(P{})) bestValue{};
    for (int y = 0; y < plane.height; ++y) {
        const P* p = plane.row(y);
        for (int x = 0; x < plane.width; ++x) {
            auto value = orderingBrightness(p[x]);
            if (value != value) continue;
            if (best.x < 0 || better(value, bestValue)) {
                best = {x, y};
                bestValue = value;
            }
        }
    }
    return best;
}

template <class P>
QvPixelPosition darkestPixel(QvPlane<const P> plane) {
    return extremePixel(plane, [](auto a, auto b) { return a < b; });
}
template <class P>
QvPixelPosition brightestPixel(QvPlane<const P> plane) {
    return extremePixel(plane, [](auto a, auto b) { return a > b; });
}

// The parabola vertex offset through a, b, c, limited to -0.999..0.999.
inline double parabolaOffset(double a, double b, double c) {
    double denominator = ((a + c) / 2 - b) * 4;
    if (denominator == 0) return 0;
    double offset = (a - c) / denominator;
    if (offset != offset) return 0;
    return std::clamp(offset, -0.999, 0.999);
}

template <class P>
QvExtremeLocation locateExtreme(QvPlane<const P> plane, QvPixelPosition at, bool subPixel) {
    if (at.x < 0) return {};
    auto lum = [&plane](int x, int y) -> double { return pixelLuminance(plane.row(y)[x]); };
    double b = lum(at.x, at.y);
    QvExtremeLocation location{double(at.x), double(at.y), b};
    if (!subPixel) return location;
    if (at.x > 0 && at.x < plane.width - 1)
        location.x += parabolaOffset(lum(at.x - 1, at.y), b, lum(at.x + 1, at.y));
    if (at.y > 0 && at.y < plane.height - 1)
        location.y += parabolaOffset(lum(at.x, at.y - 1), b, lum(at.x, at.y + 1));
    return location;
}

// The difference of two pixels on the exact scale of its class, and that scale.
inline int pixelDifference(const bgPix& p, const bgPix& q) { return std::abs(p.grey - q.grey); }
inline int pixelDifference(const bcPix& p, const bcPix& q) {
    return 30 * std::abs(p.red - q.red) + 59 * std::abs(p.green - q.green) + 11 * std::abs(p.blue - q.blue);
}
inline float pixelDifference(const fgPix& p, const fgPix& q) { return std::fabs(p.grey - q.grey); }
inline float pixelDifference(const fcPix& p, const fcPix& q) {
    return luminance(std::fabs(p.red - q.red), std::fabs(p.green - q.green), std::fabs(p.blue - q.blue));
}
inline double differenceScale(const bgPix&) { return 255.0; }
inline double differenceScale(const bcPix&) { return 25500.0; }

// The exact sum of the byte differences d with d / scale > threshold.
template <class P>
uint64_t byteDifferenceSum(QvPlane<const P> a, QvPlane<const P> b, double threshold) {
    double scale = differenceScale(P{});
    uint64_t sum = 0;
    for (int y = 0; y < a.height; ++y) {
        const P* pa = a.row(y);
        const P* pb = b.row(y);
        for (int x = 0; x < a.width; ++x) {
            int d = pixelDifference(pa[x], pb[x]);
            if (d / scale > threshold) sum += d;
        }
    }
    return sum;
}

// The float differences above the threshold, summed in the fixed order of the sums.
template <class P>
double floatDifferenceSum(QvPlane<const P> a, QvPlane<const P> b, double threshold) {
    double partial[QvFloatSums::kLanes] = {};
    for (int y = 0; y < a.height; ++y) {
        const P* pa = a.row(y);
        const P* pb = b.row(y);
        for (int x = 0; x < a.width; ++x) {
            float d = pixelDifference(pa[x], pb[x]);
            if (d > threshold) partial[x % QvFloatSums::kLanes] += d;
        }
    }
    double sum = 0;
    for (double s : partial) sum += s;
    return sum;
}

struct QvPixelDifferenceSums {
    template <class P>
    static uint64_t bytes(QvPlane<const P> a, QvPlane<const P> b, double threshold) {
        return byteDifferenceSum(a, b, threshold);
    }
    template <class P>
    static double floats(QvPlane<const P> a, QvPlane<const P> b, double threshold) {
        return floatDifferenceSum(a, b, threshold);
    }
};

template <class P, class Sums = QvPixelDifferenceSums>
double meanDifference(QvPlane<const P> a, QvPlane<const P> b, double threshold) {
    int64_t count = pixelCount(a.width, a.height);
    if (count == 0) return 0;
    if constexpr (holdsBytes<P>())
        return Sums::bytes(a, b, threshold) / (differenceScale(P{}) * static_cast<double>(count));
    else
        return canonicalNaN(Sums::floats(a, b, threshold) / static_cast<double>(count));
}

}  // namespace QvKernels::Reference
