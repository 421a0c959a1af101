#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "QvExport.h"

// An offscreen picture of 32-bit pixels, each a native-order word 0xAARRGGBB (in
// memory on this platform: blue, green, red, alpha). Rows are whole blocks of 16
// pixels and start on 64-byte boundaries; the pixels are addressable only while the buffer is locked.
class QV_EXPORT QvPixelBuffer {
public:
    static constexpr int kMaxSide = 32767;

    // Null when a side is outside 1..kMaxSide or the memory cannot be had.
    static std::unique_ptr<QvPixelBuffer> create(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    size_t rowBytes() const { return rowBytes_; }

    // Lock returns the first row; locks nest and each needs its unlock.
    uint8_t* lock();
    void unlock();
    bool isLocked() const { return lockCount_ > 0; }
    // Row y of a locked buffer, else null.
    uint32_t* row(int y);

private:
    QvPixelBuffer(int width, int height, size_t rowBytes, std::unique_ptr<uint8_t[]> storage);

    int width_;
    int height_;
    size_t rowBytes_;
    std::unique_ptr<uint8_t[]> storage_;
    uint8_t* firstRow_;
    int lockCount_ = 0;
};
