#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>

// The four pixel classes of pictures. Byte pixels hold 0..255 per component; float
// pixels hold the 0-1 scale, with no range imposed.
struct bgPix {
    uint8_t grey;
};
// Memory order of a native 0xAARRGGBB word: a frame row is also a 32-bit ARGB row.
struct bcPix {
    uint8_t blue, green, red, alpha;
};
struct fgPix {
    float grey;
};
struct fcPix {
    float alpha, red, green, blue;
};
static_assert(sizeof(bgPix) == 1 && sizeof(bcPix) == 4 && sizeof(fgPix) == 4 && sizeof(fcPix) == 16,
              "pixel classes are stored without padding");

// A rectangle of pixels that a kernel reads or writes: `width` pixels per row, `height`
// rows, row y starting `stride` bytes after row y - 1. Kernels touch no byte outside
// the rectangle, so a window of a larger picture may be handed to them.
template <class P>
struct QvPlane {
    P* first = nullptr;
    ptrdiff_t stride = 0;
    int width = 0;
    int height = 0;

    P* row(int y) const {
        using Byte = std::conditional_t<std::is_const_v<P>, const char, char>;
        return reinterpret_cast<P*>(reinterpret_cast<Byte*>(first) + stride * y);
    }
    bool empty() const { return width <= 0 || height <= 0; }
    // The w x h rectangle whose top-left pixel is (x, y); the caller keeps it inside.
    QvPlane window(int x, int y, int w, int h) const { return {row(y) + x, stride, w, h}; }
    // Rows start, start + 2, start + 4, ... (interlacing): (height - start + 1) / 2 rows.
    QvPlane everyOtherRow(int start) const { return {row(start), stride * 2, width, (height - start + 1) / 2}; }
    operator QvPlane<const P>() const { return {first, stride, width, height}; }
};

// Bytes per row of a picture buffer: the width rounded up to whole blocks of 16 pixels.
template <class P>
constexpr int64_t QvPaddedRowBytes(int64_t width) {
    return ((width + 15) & ~int64_t{15}) * static_cast<int64_t>(sizeof(P));
}

// The pixels of a 32-bit ARGB buffer seen as frame pixels (the same memory layout).
inline QvPlane<bcPix> QvArgbPlane(uint32_t* firstRow, size_t rowBytes, int width, int height) {
    return {reinterpret_cast<bcPix*>(firstRow), static_cast<ptrdiff_t>(rowBytes), width, height};
}
