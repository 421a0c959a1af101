#include "Images/QvPictureConversion.h"

#include <algorithm>

#include "Kernels/QvConvertKernels.h"
#include "QvGWorld/QvPixelBuffer.h"

namespace {

// Converts the w x h rectangle of `source` at (sx, sy) into `target` at (tx, ty).
void convertRect(const QvPixelStorage& source, QvPixelStorage& target, int32_t sx, int32_t sy, int32_t tx,
                 int32_t ty, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return;
    QvWithPixel(source.pixelClass(), [&](auto from) {
        QvWithPixel(target.pixelClass(), [&](auto to) {
            using From = decltype(from);
            using To = decltype(to);
            QvKernels::convertPixels(target.plane<To>().window(tx, ty, width, height),
                                     source.plane<From>().window(sx, sy, width, height));
        });
    });
}

QvPlane<bcPix> planeOf(QvPixelBuffer& buffer, uint8_t* first) {
    return QvArgbPlane(reinterpret_cast<uint32_t*>(first), buffer.rowBytes(), buffer.width(), buffer.height());
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
    QvPlane<bcPix> pixels = planeOf(target, target.lock()).window(0, 0, source.width(), source.height());
    QvWithPixel(source.pixelClass(),
                [&](auto from) { QvKernels::convertPixels(pixels, source.plane<decltype(from)>()); });
    target.unlock();
}

QvPixelStorage fromARGB(QvPixelBuffer& source, QvPixelClass target) {
    QvPixelStorage result(target, source.width(), source.height());
    QvPlane<const bcPix> pixels = planeOf(source, source.lock());
    QvWithPixel(target, [&](auto to) { QvKernels::convertPixels(result.plane<decltype(to)>(), pixels); });
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
