#pragma once
#include "Kernels/QvPixelRules.h"

// A pixel as an array of components in its memory order (frames B, G, R, A; images
// A, R, G, B), for the reference kernels that treat every component alike. Byte
// components read as their 0..255 values.
namespace QvKernels::Reference {

template <class P>
struct QvComponents;

template <>
struct QvComponents<bgPix> {
    static constexpr int count = 1;
    static constexpr int alpha = -1;
    static void read(const bgPix& p, float* c) { c[0] = p.grey; }
    static void write(const float* c, bgPix& p) { p.grey = byteFromScaled(c[0]); }
};

template <>
struct QvComponents<bcPix> {
    static constexpr int count = 4;
    static constexpr int alpha = 3;
    static void read(const bcPix& p, float* c) {
        c[0] = p.blue;
        c[1] = p.green;
        c[2] = p.red;
        c[3] = p.alpha;
    }
    static void write(const float* c, bcPix& p) {
        p = {byteFromScaled(c[0]), byteFromScaled(c[1]), byteFromScaled(c[2]), byteFromScaled(c[3])};
    }
    // Weights of a colour kernel pixel in this memory order.
    static void weights(const fcPix& k, float* w) {
        w[0] = k.blue;
        w[1] = k.green;
        w[2] = k.red;
        w[3] = k.alpha;
    }
};

template <>
struct QvComponents<fgPix> {
    static constexpr int count = 1;
    static constexpr int alpha = -1;
    static void read(const fgPix& p, float* c) { c[0] = p.grey; }
    static void write(const float* c, fgPix& p) { p.grey = canonicalNaN(c[0]); }
};

template <>
struct QvComponents<fcPix> {
    static constexpr int count = 4;
    static constexpr int alpha = 0;
    static void read(const fcPix& p, float* c) {
        c[0] = p.alpha;
        c[1] = p.red;
        c[2] = p.green;
        c[3] = p.blue;
    }
    static void write(const float* c, fcPix& p) {
        p = {canonicalNaN(c[0]), canonicalNaN(c[1]), canonicalNaN(c[2]), canonicalNaN(c[3])};
    }
    static void weights(const fcPix& k, float* w) { read(k, w); }
};

// The grey class that holds one component of a class (alpha planes, masks).
template <class P>
struct QvGreyClass;
template <>
struct QvGreyClass<bcPix> {
    using type = bgPix;
};
template <>
struct QvGreyClass<fcPix> {
    using type = fgPix;
};

}  // namespace QvKernels::Reference
