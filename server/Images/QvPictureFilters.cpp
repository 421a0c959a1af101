#include "Images/QvPictureFilters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <type_traits>
#include <vector>

#include "Errors/QvErrors.h"
#include "Images/QvPixelRules.h"

namespace QvPictureFilters {
namespace {

int64_t wrapped(int64_t c, int64_t size) {
    if (c < 0)
        c += size;
    else if (c >= size)
        c = c - size + 1;
    if (c < 0 || c >= size) c = ((c % size) + size) % size;
    return c;
}

// A pixel's components as an array, in memory order, and back. Byte components stay
// on the byte scale (0-255) and are stored by the float-to-byte rule.
template <class P> struct Components;
template <> struct Components<bgPix> {
    static constexpr int count = 1;
    static std::array<float, 1> of(const bgPix& p) { return {float(p.grey)}; }
    static bgPix from(const std::array<float, 1>& c) { return {QvPixelRules::toByteFromByteScale(c[0])}; }
};
template <> struct Components<fgPix> {
    static constexpr int count = 1;
    static std::array<float, 1> of(const fgPix& p) { return {p.grey}; }
    static fgPix from(const std::array<float, 1>& c) { return {c[0]}; }
};
template <> struct Components<bcPix> {
    static constexpr int count = 4;
    static constexpr int alpha = 3;
    static std::array<float, 4> of(const bcPix& p) {
        return {float(p.blue), float(p.green), float(p.red), float(p.alpha)};
    }
    static bcPix from(const std::array<float, 4>& c) {
        using QvPixelRules::toByteFromByteScale;
        return {toByteFromByteScale(c[0]), toByteFromByteScale(c[1]), toByteFromByteScale(c[2]),
                toByteFromByteScale(c[3])};
    }
    static std::array<float, 4> weights(const fcPix& k) { return {k.blue, k.green, k.red, k.alpha}; }
};
template <> struct Components<fcPix> {
    static constexpr int count = 4;
    static constexpr int alpha = 0;
    static std::array<float, 4> of(const fcPix& p) { return {p.alpha, p.red, p.green, p.blue}; }
    static fcPix from(const std::array<float, 4>& c) { return {c[0], c[1], c[2], c[3]}; }
    static std::array<float, 4> weights(const fcPix& k) { return {k.alpha, k.red, k.green, k.blue}; }
};

// The kernel pixel's weights for each component of P, on the 0-1 scale.
template <class P, class K>
std::array<float, Components<P>::count> weightsOf(const K& k) {
    if constexpr (Components<P>::count == 1)
        return {QvPixelRules::convert<fgPix>(k).grey};
    else
        return Components<P>::weights(QvPixelRules::toFloatColor(k));
}

template <class P, class K>
void convolveRows(const QvPixelStorage& source, const QvPixelStorage& kernel, QvPixelStorage& result) {
    using C = Components<P>;
    constexpr bool greyKernel = std::is_same_v<K, bgPix> || std::is_same_v<K, fgPix>;
    const int64_t width = source.width(), height = source.height();
    const int64_t kx = (kernel.width() - 1) / 2, ky = (kernel.height() - 1) / 2;
    std::vector<std::array<float, C::count>> taps;
    for (int64_t dy = -ky; dy <= ky; ++dy)
        for (int64_t dx = -kx; dx <= kx; ++dx)
            taps.push_back(weightsOf<P>(kernel.row<K>(int32_t(ky - dy))[kx - dx]));
    for (int64_t y = 0; y < height; ++y) {
        QvYield();
        P* out = result.row<P>(int32_t(y));
        for (int64_t x = 0; x < width; ++x) {
            bool inner = x >= kx && x + kx < width && y >= ky && y + ky < height;
            std::array<float, C::count> sum{};
            size_t t = 0;
            for (int64_t dy = -ky; dy <= ky; ++dy) {
                const P* row = source.row<P>(int32_t(inner ? y + dy : wrapped(y + dy, height)));
                for (int64_t dx = -kx; dx <= kx; ++dx, ++t) {
                    std::array<float, C::count> p = C::of(row[inner ? x + dx : wrapped(x + dx, width)]);
                    for (int i = 0; i < C::count; ++i)
                        sum[i] += p[i] * taps[t][i];
                }
            }
            if constexpr (C::count == 4 && greyKernel) sum[C::alpha] = C::of(source.row<P>(int32_t(y))[x])[C::alpha];
            out[x] = C::from(sum);
        }
    }
}

// The ordering key of the median filter: the grey level.
template <class P> float rankKey(const P& p) { return QvPixelRules::luminance(QvPixelRules::toFloatColor(p)); }
template <> float rankKey(const bgPix& p) { return p.grey; }
template <> float rankKey(const bcPix& p) { return QvPixelRules::byteGrey(p); }
template <> float rankKey(const fgPix& p) { return p.grey; }

template <class K> bool isMarked(const K& k) {
    fcPix p = QvPixelRules::toFloatColor(k);
    return p.red != 0 || p.green != 0 || p.blue != 0;
}

struct Offset {
    int64_t dx, dy;
};

template <class K>
std::vector<Offset> maskOffsets(const QvPixelStorage& mask) {
    const int64_t kx = (mask.width() - 1) / 2, ky = (mask.height() - 1) / 2;
    std::vector<Offset> offsets;
    for (int32_t my = 0; my < mask.height(); ++my)
        for (int32_t mx = 0; mx < mask.width(); ++mx)
            if (isMarked(mask.row<K>(my)[mx])) offsets.push_back({kx - mx, ky - my});
    return offsets;
}

template <class P>
void medianRows(const QvPixelStorage& source, const std::vector<Offset>& offsets, size_t position,
                QvPixelStorage& result) {
    const int64_t width = source.width(), height = source.height();
    std::vector<std::pair<float, P>> samples(offsets.size());
    for (int64_t y = 0; y < height; ++y) {
        QvYield();
        P* out = result.row<P>(int32_t(y));
        for (int64_t x = 0; x < width; ++x) {
            for (size_t i = 0; i < offsets.size(); ++i) {
                const P& p = source.row<P>(int32_t(wrapped(y + offsets[i].dy, height)))[wrapped(x + offsets[i].dx, width)];
                samples[i] = {rankKey(p), p};
            }
            std::stable_sort(samples.begin(), samples.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            out[x] = samples[position].second;
        }
    }
}

}  // namespace

QvPixelStorage convolve(const QvPixelStorage& source, const QvPixelStorage& kernel) {
    QvPixelStorage result(source.pixelClass(), source.width(), source.height());
    if (result.empty() || kernel.empty()) return result;
    QvWithPixel(source.pixelClass(), [&](auto p) {
        QvWithPixel(kernel.pixelClass(), [&](auto k) { convolveRows<decltype(p), decltype(k)>(source, kernel, result); });
    });
    return result;
}

int64_t maskCount(const QvPixelStorage& mask) {
    return QvWithPixel(mask.pixelClass(), [&](auto k) { return int64_t(maskOffsets<decltype(k)>(mask).size()); });
}

QvPixelStorage median(const QvPixelStorage& source, const QvPixelStorage& mask, double rank) {
    QvPixelStorage result(source.pixelClass(), source.width(), source.height());
    std::vector<Offset> offsets = QvWithPixel(mask.pixelClass(), [&](auto k) { return maskOffsets<decltype(k)>(mask); });
    if (result.empty() || offsets.empty()) return result;
    double scaled = std::floor(double(offsets.size()) * rank);
    size_t position = std::isnan(scaled) || scaled < 0 ? 0 : size_t(std::min(scaled, double(offsets.size() - 1)));
    QvWithPixel(source.pixelClass(), [&](auto p) { medianRows<decltype(p)>(source, offsets, position, result); });
    return result;
}

}  // namespace QvPictureFilters
