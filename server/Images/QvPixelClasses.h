#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "Kernels/QvPixelClasses.h"
#include "Values/QvType.h"

// Which of the four pixel classes (Kernels/QvPixelClasses.h) a picture holds, as a
// value to switch on at run time.
enum class QvPixelClass : uint8_t { ByteGrey, ByteColor, FloatGrey, FloatColor };

constexpr bool QvIsColor(QvPixelClass c) { return c == QvPixelClass::ByteColor || c == QvPixelClass::FloatColor; }
constexpr bool QvIsFloat(QvPixelClass c) { return c == QvPixelClass::FloatGrey || c == QvPixelClass::FloatColor; }

constexpr size_t QvPixelBytes(QvPixelClass c) {
    switch (c) {
    case QvPixelClass::ByteGrey: return 1;
    case QvPixelClass::ByteColor: return 4;
    case QvPixelClass::FloatGrey: return 4;
    case QvPixelClass::FloatColor: return 16;
    }
    return 0;
}

// The picture type whose pixels are of a class, and back.
constexpr QvTypeEnum QvPictureType(QvPixelClass c) {
    switch (c) {
    case QvPixelClass::ByteGrey: return QV_FRAME_MONO;
    case QvPixelClass::ByteColor: return QV_FRAME;
    case QvPixelClass::FloatGrey: return QV_IMAGE_MONO;
    case QvPixelClass::FloatColor: return QV_IMAGE;
    }
    return QV_UNDEFINED;
}

constexpr bool QvIsPictureType(QvTypeEnum t) { return t >= QV_FRAME_MONO && t <= QV_IMAGE; }

constexpr QvPixelClass QvPixelClassOf(QvTypeEnum pictureType) {
    return static_cast<QvPixelClass>(int(pictureType) - int(QV_FRAME_MONO));
}

template <class P> constexpr bool QvIsGreyPixel = std::is_same_v<P, bgPix> || std::is_same_v<P, fgPix>;
template <class P> constexpr bool QvIsBytePixel = std::is_same_v<P, bgPix> || std::is_same_v<P, bcPix>;

template <class P> struct QvPixelClassOfPixel;
template <> struct QvPixelClassOfPixel<bgPix> { static constexpr QvPixelClass value = QvPixelClass::ByteGrey; };
template <> struct QvPixelClassOfPixel<bcPix> { static constexpr QvPixelClass value = QvPixelClass::ByteColor; };
template <> struct QvPixelClassOfPixel<fgPix> { static constexpr QvPixelClass value = QvPixelClass::FloatGrey; };
template <> struct QvPixelClassOfPixel<fcPix> { static constexpr QvPixelClass value = QvPixelClass::FloatColor; };

// Calls f with a default pixel of the class, so templated code can be chosen at run time.
template <class F>
decltype(auto) QvWithPixel(QvPixelClass c, F&& f) {
    switch (c) {
    case QvPixelClass::ByteGrey: return f(bgPix{});
    case QvPixelClass::ByteColor: return f(bcPix{});
    case QvPixelClass::FloatGrey: return f(fgPix{});
    case QvPixelClass::FloatColor: break;
    }
    return f(fcPix{});
}

// The pixel class of a kernel plane type.
template <class T> struct QvPlanePixelOf;
template <class P> struct QvPlanePixelOf<QvPlane<P>> { using type = std::remove_const_t<P>; };
template <class T> using QvPlanePixel = typename QvPlanePixelOf<T>::type;
