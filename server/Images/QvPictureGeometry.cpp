#include "Images/QvPictureGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "Images/QvPictureConversion.h"
#include "Images/QvPixelRules.h"

namespace QvPictureGeometry {
namespace {

void copyRow(const QvPixelStorage& source, int32_t sourceY, int32_t x0, QvPixelStorage& target, int32_t targetY,
             int32_t width) {
    size_t bytes = QvPixelBytes(source.pixelClass());
    std::memcpy(target.rowBytesAt(targetY), source.rowBytesAt(sourceY) + size_t(x0) * bytes, size_t(width) * bytes);
}

// Bilinear sampling on the 0-1 float colour scale; byte pictures are rounded back.
template <class P>
void affineRows(const QvPixelStorage& source, QvPixelStorage& target, double a, double b, double c, double d,
                const fcPix& background) {
    const double det = a * d - b * c;
    const float ia = float(d / det), ib = float(-b / det), ic = float(-c / det), id = float(a / det);
    const int32_t width = source.width(), height = source.height();
    auto sample = [&](int64_t x, int64_t y) {
        if (x < 0 || y < 0 || x >= width || y >= height) return background;
        return QvPixelRules::toFloatColor(source.row<P>(int32_t(y))[x]);
    };
    for (int32_t y = 0; y < height; ++y) {
        P* out = target.row<P>(y);
        for (int32_t x = 0; x < width; ++x) {
            // Products and sums rounded one at a time (the engine is built without
            // multiply-add contraction).
            float ux = ia * float(x), uy = ib * float(y), vx = ic * float(x), vy = id * float(y);
            float u = ux + uy, v = vx + vy;
            if (!std::isfinite(u) || !std::isfinite(v) || u <= -1 || v <= -1 || u >= float(width) ||
                v >= float(height)) {
                out[x] = QvPixelRules::convert<P>(background);
                continue;
            }
            float fu = std::floor(u), fv = std::floor(v);
            int64_t x0 = int64_t(fu), y0 = int64_t(fv);
            float wx = u - fu, wy = v - fv;
            fcPix p00 = sample(x0, y0), p10 = sample(x0 + 1, y0), p01 = sample(x0, y0 + 1),
                  p11 = sample(x0 + 1, y0 + 1);
            auto mix = [&](float fcPix::*component) {
                float top = p00.*component + (p10.*component - p00.*component) * wx;
                float bottom = p01.*component + (p11.*component - p01.*component) * wx;
                return top + (bottom - top) * wy;
            };
            fcPix mixed{mix(&fcPix::alpha), mix(&fcPix::red), mix(&fcPix::green), mix(&fcPix::blue)};
            if constexpr (std::is_same_v<P, bgPix> || std::is_same_v<P, bcPix>) {
                // Round to the nearest byte so that whole byte values survive the scale.
                for (float* component : {&mixed.alpha, &mixed.red, &mixed.green, &mixed.blue})
                    *component = (std::nearbyint(*component * 255.0f) + 0.5f) / 255.0f;
            }
            out[x] = QvPixelRules::convert<P>(mixed);
        }
    }
}

}  // namespace

QvPixelStorage resize(const QvPixelStorage& source, int32_t width, int32_t height) {
    QvPixelStorage result(source.pixelClass(), width, height);
    if (result.empty()) return result;
    if (source.empty()) {
        QvPixelStorage black(source.pixelClass(), 1, 1);
        QvWithPixel(source.pixelClass(),
                    [&](auto p) { *black.row<decltype(p)>(0) = QvPixelRules::fromColor<decltype(p)>(0, 0, 0); });
        return resize(black, width, height);
    }
    size_t bytes = QvPixelBytes(source.pixelClass());
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = source.rowBytesAt(int32_t(int64_t(y) * source.height() / height));
        uint8_t* out = result.rowBytesAt(y);
        for (int32_t x = 0; x < width; ++x)
            std::memcpy(out + size_t(x) * bytes, in + size_t(int64_t(x) * source.width() / width) * bytes, bytes);
    }
    return result;
}

QvPixelStorage crop(const QvPixelStorage& source, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    QvPixelStorage result(source.pixelClass(), x1 - x0, y1 - y0);
    for (int32_t y = 0; y < result.height() && !result.empty(); ++y)
        copyRow(source, y0 + y, x0, result, y, result.width());
    return result;
}

QvPixelStorage grown(const QvPixelStorage& source, int64_t width, int64_t height) {
    QvPixelStorage result(source.pixelClass(), std::max<int64_t>(width, source.width()),
                          std::max<int64_t>(height, source.height()));
    QvPictureConversion::paste(source, result, 0, 0);
    return result;
}

QvPixelStorage interlace(const QvPixelStorage& even, const QvPixelStorage& odd) {
    QvPixelStorage result(even.pixelClass(), even.width(), int64_t(even.height()) + odd.height());
    for (int32_t y = 0; y < result.height() && !result.empty(); ++y)
        copyRow(y % 2 ? odd : even, y / 2, 0, result, y, result.width());
    return result;
}

QvPixelStorage everySecondRow(const QvPixelStorage& source, int32_t first) {
    QvPixelStorage result(source.pixelClass(), source.width(), (int64_t(source.height()) - first + 1) / 2);
    for (int32_t y = 0; y < result.height() && !result.empty(); ++y)
        copyRow(source, first + 2 * y, 0, result, y, result.width());
    return result;
}

QvPixelStorage affine(const QvPixelStorage& source, double a, double b, double c, double d,
                      const QvColor& background) {
    if (a == 1 && b == 0 && c == 0 && d == 1) return source.copy();
    QvPixelStorage result(source.pixelClass(), source.width(), source.height());
    fcPix fill{1.0f, float(background.red), float(background.green), float(background.blue)};
    QvWithPixel(source.pixelClass(), [&](auto p) {
        using P = decltype(p);
        if (a * d - b * c == 0) {
            P pixel = QvPixelRules::convert<P>(fill);
            for (int32_t y = 0; y < result.height(); ++y)
                std::fill(result.row<P>(y), result.row<P>(y) + result.width(), pixel);
        } else {
            affineRows<P>(source, result, a, b, c, d, fill);
        }
    });
    return result;
}

}  // namespace QvPictureGeometry
