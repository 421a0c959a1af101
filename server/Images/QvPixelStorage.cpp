#include "Images/QvPixelStorage.h"

#include <cmath>
#include <cstring>
#include <new>

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"

namespace {
constexpr size_t kRowAlignment = 16;
constexpr uint64_t kPixelsPerBlock = 16;
}  // namespace

int32_t QvPixelStorage::checkedSide(double side) {
    if (!(side >= 0) || side > double(INT32_MAX)) QvError("Invalid image size.");
    return int32_t(side);
}

uint64_t QvPixelStorage::rowBytesFor(QvPixelClass pixelClass, int64_t width) {
    uint64_t blockBytes = kPixelsPerBlock * QvPixelBytes(pixelClass);
    uint64_t blocks = (uint64_t(width) + kPixelsPerBlock - 1) / kPixelsPerBlock;
    return blocks * blockBytes;
}

QvPixelStorage::QvPixelStorage(QvPixelClass pixelClass, int64_t width, int64_t height) : class_(pixelClass) {
    if (width < 0 || height < 0 || width > INT32_MAX || height > INT32_MAX) QvError("Invalid image size.");
    uint64_t rowBytes = rowBytesFor(pixelClass, width);
    if (height != 0 && rowBytes > kMaxBytes / uint64_t(height)) QvError("Invalid image size.");
    width_ = int32_t(width);
    height_ = int32_t(height);
    rowBytes_ = size_t(rowBytes);
    if (empty()) return;
    size_t total = rowBytes_ * size_t(height_) + kRowAlignment;
    block_.reset(new (std::nothrow) uint8_t[total]());
    if (!block_) throw new QvMemoryException("During allocation of image data.");
    uintptr_t address = reinterpret_cast<uintptr_t>(block_.get());
    first_ = block_.get() + (kRowAlignment - address % kRowAlignment) % kRowAlignment;
}

QvPixelStorage QvPixelStorage::copy() const {
    QvPixelStorage twin(class_, width_, height_);
    if (!empty()) std::memcpy(twin.first_, first_, rowBytes_ * size_t(height_));
    return twin;
}
