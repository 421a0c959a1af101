#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "Images/QvPixelClasses.h"

// The pixels of one picture: width x height pixels of one class, rows of whole blocks
// of 16 pixels, each row starting 16-byte aligned. New storage is all zero, padding
// included. Sizes are checked in 64 bits before anything is allocated.
class QvPixelStorage {
public:
    // The most bytes one picture may take (4 GiB); larger sizes are invalid.
    static constexpr uint64_t kMaxBytes = uint64_t(1) << 32;

    QvPixelStorage() = default;
    explicit QvPixelStorage(QvPixelClass pixelClass) : class_(pixelClass) {}
    // Raises "Invalid image size." for negative or too large sizes and the memory error
    // "During allocation of image data." when the memory cannot be had.
    QvPixelStorage(QvPixelClass pixelClass, int64_t width, int64_t height);

    // Converts a requested side (a script number) to a size; NaN, negative and huge
    // values raise "Invalid image size.".
    static int32_t checkedSide(double side);
    static uint64_t rowBytesFor(QvPixelClass pixelClass, int64_t width);

    QvPixelClass pixelClass() const { return class_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    size_t rowBytes() const { return rowBytes_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    int64_t pixelCount() const { return int64_t(width_) * height_; }

    uint8_t* rowBytesAt(int32_t y) { return first_ + rowBytes_ * size_t(y); }
    const uint8_t* rowBytesAt(int32_t y) const { return first_ + rowBytes_ * size_t(y); }
    template <class P> P* row(int32_t y) { return reinterpret_cast<P*>(rowBytesAt(y)); }
    template <class P> const P* row(int32_t y) const { return reinterpret_cast<const P*>(rowBytesAt(y)); }

    // The pixels as a kernel plane; P must be the storage's class.
    template <class P> QvPlane<P> plane() { return {row<P>(0), ptrdiff_t(rowBytes_), width_, height_}; }
    template <class P> QvPlane<const P> plane() const {
        return {row<P>(0), ptrdiff_t(rowBytes_), width_, height_};
    }

    QvPixelStorage copy() const;
    // True when (x, y) lies inside the picture.
    bool contains(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

private:
    QvPixelClass class_ = QvPixelClass::ByteGrey;
    int32_t width_ = 0;
    int32_t height_ = 0;
    size_t rowBytes_ = 0;
    std::unique_ptr<uint8_t[]> block_;
    uint8_t* first_ = nullptr;
};
