#include "Images/QvPictureConversion.h"

#include <algorithm>
#include <cstring>

#include "Images/QvPixelRules.h"
#include "QvGWorld/QvPixelBuffer.h"

namespace {

template <class To, class From>
void convertRow(const From* source, To* target, int32_t width) {
    for (int32_t x = 0; x < width; ++x)
        target[x] = QvPixelRules::convert<To>(source[x]);
}

// Converts the rectangle of `source` starting at (sx, sy) into `target` at (tx, ty).
template <class To, class From>
void convertRect(const QvPixelStorage& source, QvPixelStorage& target, int32_t sx, int32_t sy, int32_t tx, int32_t ty,
                 int32_t width, int32_t height) {
    for (int32_t y = 0; y < height; ++y)
        convertRow(source.row<From>(sy + y) + sx, target.row<To>(ty + y) + tx, width);
}

void convertRect(const QvPixelStorage& source, QvPixelStorage& target, int32_t sx, int32_t sy, int32_t tx,
                 int32_t ty, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return;
    QvWithPixel(source.pixelClass(), [&](auto from) {
        QvWithPixel(target.pixelClass(), [&](auto to) {
            convertRect<decltype(to), decltype(from)>(source, target, sx, sy, tx, ty, width, height);
        });
    });
}

}  // namespace

namespace QvPictureConversion {

QvPixelStorage convert(const QvPixelStorage& source, QvPixelClass target) {
    if (source.pixelClass() == target) return source.copy();
    QvPixelStorage result(target, source.width(), source.height());
    convertRect(source, result, 0, 0, 0, 0, source.width(), source.height());
    return result;
}

void toARGB(const QvPixelStorage& source, QvPixelBuffer& target) {
    uint8_t* base = target.lock();
    QvWithPixel(source.pixelClass(), [&](auto from) {
        using From = decltype(from);
        for (int32_t y = 0; y < source.height(); ++y)
            convertRow(source.row<From>(y), reinterpret_cast<bcPix*>(base + target.rowBytes() * size_t(y)),
                       source.width());
    });
    target.unlock();
}

QvPixelStorage fromARGB(QvPixelBuffer& source, QvPixelClass target) {
    QvPixelStorage result(target, source.width(), source.height());
    const uint8_t* base = source.lock();
    QvWithPixel(target, [&](auto to) {
        using To = decltype(to);
        for (int32_t y = 0; y < result.height(); ++y)
            convertRow(reinterpret_cast<const bcPix*>(base + source.rowBytes() * size_t(y)), result.row<To>(y),
                       result.width());
    });
    source.unlock();
    return result;
}

void paste(const QvPixelStorage& source, QvPixelStorage& target, int64_t x, int64_t y) {
    int64_t sx = std::max<int64_t>(0, -x);
    int64_t sy = std::max<int64_t>(0, -y);
    int64_t width = std::min<int64_t>(source.width(), target.width() - x) - sx;
    int64_t height = std::min<int64_t>(source.height(), target.height() - y) - sy;
    if (width <= 0 || height <= 0) return;
    convertRect(source, target, int32_t(sx), int32_t(sy), int32_t(x + sx), int32_t(y + sy), int32_t(width),
                int32_t(height));
}

}  // namespace QvPictureConversion
