#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "Kernels/QvPixelClasses.h"

// How the vector rows see the pixel classes: arrays of components (bytes or floats),
// four per colour pixel with alpha at a fixed place, and a number for each class.
namespace QvKernels {

enum QvClassCode { kGreyBytes, kColorBytes, kGreyFloats, kColorFloats };

template <class P>
struct QvRowLayout;
template <>
struct QvRowLayout<bgPix> {
    using Component = uint8_t;
    static constexpr int components = 1, alpha = -1, code = kGreyBytes;
};
template <>
struct QvRowLayout<bcPix> {
    using Component = uint8_t;
    static constexpr int components = 4, alpha = 3, code = kColorBytes;
};
template <>
struct QvRowLayout<fgPix> {
    using Component = float;
    static constexpr int components = 1, alpha = -1, code = kGreyFloats;
};
template <>
struct QvRowLayout<fcPix> {
    using Component = float;
    static constexpr int components = 4, alpha = 0, code = kColorFloats;
};

template <class P>
using QvComponentOf = typename QvRowLayout<std::remove_const_t<P>>::Component;

template <class P>
constexpr bool isByteClass() {
    return std::is_same_v<QvComponentOf<P>, uint8_t>;
}

template <class P>
const QvComponentOf<P>* componentsOf(const P* pixels) {
    return reinterpret_cast<const QvComponentOf<P>*>(pixels);
}
template <class P>
QvComponentOf<P>* componentsOf(P* pixels) {
    return reinterpret_cast<QvComponentOf<P>*>(pixels);
}

}  // namespace QvKernels
