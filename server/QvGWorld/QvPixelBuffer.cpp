#include "QvGWorld/QvPixelBuffer.h"

#include <new>

namespace {
// Rows are whole blocks of 16 pixels: the converters of the media libraries write
// pixels in blocks and may run past the width up to the next block.
constexpr size_t kRowAlignment = 64;
}

std::unique_ptr<QvPixelBuffer> QvPixelBuffer::create(int width, int height) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return nullptr;
    size_t rowBytes = (static_cast<size_t>(width) * 4 + kRowAlignment - 1) & ~(kRowAlignment - 1);
    std::unique_ptr<uint8_t[]> storage(new (std::nothrow) uint8_t[rowBytes * height + kRowAlignment]);
    if (!storage) return nullptr;
    return std::unique_ptr<QvPixelBuffer>(new QvPixelBuffer(width, height, rowBytes, std::move(storage)));
}

QvPixelBuffer::QvPixelBuffer(int width, int height, size_t rowBytes, std::unique_ptr<uint8_t[]> storage)
    : width_(width), height_(height), rowBytes_(rowBytes), storage_(std::move(storage)) {
    uintptr_t address = reinterpret_cast<uintptr_t>(storage_.get());
    firstRow_ = storage_.get() + ((kRowAlignment - address % kRowAlignment) % kRowAlignment);
}

uint8_t* QvPixelBuffer::lock() {
    ++lockCount_;
    return firstRow_;
}

void QvPixelBuffer::unlock() {
    if (lockCount_ > 0) --lockCount_;
}

uint32_t* QvPixelBuffer::row(int y) {
    if (!isLocked() || y < 0 || y >= height_) return nullptr;
    return reinterpret_cast<uint32_t*>(firstRow_ + rowBytes_ * static_cast<size_t>(y));
}
