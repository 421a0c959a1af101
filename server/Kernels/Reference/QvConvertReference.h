#pragma once
#include <cstdint>

#include "Kernels/Reference/QvPixelComponents.h"

// Per-pixel definitions of the kernels of QvConvertKernels.h: what the vector
// versions must reproduce bit for bit.
namespace QvKernels::Reference {

template <class D, class S>
void convertPixels(QvPlane<D> dst, QvPlane<const S> src) {
    for (int y = 0; y < dst.height; ++y) {
        D* d = dst.row(y);
        const S* s = src.row(y);
        for (int x = 0; x < dst.width; ++x) convertPixel(s[x], d[x]);
    }
}

template <class P>
void fillPixels(QvPlane<P> dst, P value) {
    for (int y = 0; y < dst.height; ++y) {
        P* d = dst.row(y);
        for (int x = 0; x < dst.width; ++x) d[x] = value;
    }
}

template <class P>
void resizeNearest(QvPlane<P> dst, QvPlane<const P> src) {
    for (int y = 0; y < dst.height; ++y) {
        P* d = dst.row(y);
        const P* s = src.row(static_cast<int>(int64_t{y} * src.height / dst.height));
        for (int x = 0; x < dst.width; ++x) d[x] = s[int64_t{x} * src.width / dst.width];
    }
}

template <class G, class C>
void extractAlpha(QvPlane<G> dst, QvPlane<const C> src) {
    for (int y = 0; y < dst.height; ++y) {
        G* d = dst.row(y);
        const C* s = src.row(y);
        for (int x = 0; x < dst.width; ++x) d[x].grey = s[x].alpha;
    }
}

template <class C, class M>
void replaceAlpha(QvPlane<C> dst, QvPlane<const C> src, QvPlane<const M> mask) {
    for (int y = 0; y < dst.height; ++y) {
        C* d = dst.row(y);
        const C* s = src.row(y);
        const M* m = mask.row(y);
        for (int x = 0; x < dst.width; ++x) {
            typename QvGreyClass<C>::type alpha;
            convertPixel(m[x], alpha);
            d[x] = s[x];
            d[x].alpha = alpha.grey;
        }
    }
}

}  // namespace QvKernels::Reference
