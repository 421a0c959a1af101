#pragma once
#include <algorithm>
#include <type_traits>

#include "Kernels/QvArithmeticKernels.h"
#include "Kernels/Reference/QvPixelComponents.h"

// Per-pixel definitions of the kernels of QvArithmeticKernels.h.
namespace QvKernels::Reference {

// One byte component combined with a constant by the byte rules.
class QvByteConstant {
public:
    QvByteConstant(QvPixelOperator op, double c)
        : op_(op), step_(op == QvPixelOperator::subtract ? -byteStep(c) : byteStep(c)), factor_(byteFactor(c)),
          divisor_(static_cast<float>(c)) {}

    uint8_t apply(uint8_t p) const {
        switch (op_) {
        case QvPixelOperator::add:
        case QvPixelOperator::subtract:
            return static_cast<uint8_t>(std::clamp(p + step_, 0, 255));
        case QvPixelOperator::multiply:
            return multiplyByte(p, factor_);
        case QvPixelOperator::divide:
            return byteFromUnit(unitFromByte(p) / divisor_);
        }
        return p;
    }

private:
    QvPixelOperator op_;
    int step_;
    int factor_;
    float divisor_;
};

inline float combineFloats(QvPixelOperator op, float p, float q) {
    switch (op) {
    case QvPixelOperator::add:
        return canonicalNaN(p + q);
    case QvPixelOperator::subtract:
        return canonicalNaN(p - q);
    case QvPixelOperator::multiply:
        return canonicalNaN(p * q);
    case QvPixelOperator::divide:
        return canonicalNaN(p / q);
    }
    return p;
}

inline uint8_t combineBytes(QvPixelOperator op, uint8_t p, uint8_t q) {
    switch (op) {
    case QvPixelOperator::add:
        return static_cast<uint8_t>(std::min(p + q, 255));
    case QvPixelOperator::subtract:
        return static_cast<uint8_t>(std::max(p - q, 0));
    case QvPixelOperator::multiply:
        return static_cast<uint8_t>(p * q / 255);
    case QvPixelOperator::divide:
        return byteFromUnit(unitFromByte(p) / unitFromByte(q));
    }
    return p;
}

inline void combineWithConstant(QvPixelOperator op, QvPlane<bgPix> dst, QvPlane<const bgPix> left, double grey) {
    QvByteConstant constant(op, grey);
    for (int y = 0; y < dst.height; ++y) {
        bgPix* d = dst.row(y);
        const bgPix* l = left.row(y);
        for (int x = 0; x < dst.width; ++x) d[x].grey = constant.apply(l[x].grey);
    }
}

inline void combineWithConstant(QvPixelOperator op, QvPlane<bcPix> dst, QvPlane<const bcPix> left,
                                const QvColor& color) {
    QvByteConstant red(op, color.red), green(op, color.green), blue(op, color.blue);
    for (int y = 0; y < dst.height; ++y) {
        bcPix* d = dst.row(y);
        const bcPix* l = left.row(y);
        for (int x = 0; x < dst.width; ++x)
            d[x] = {blue.apply(l[x].blue), green.apply(l[x].green), red.apply(l[x].red), l[x].alpha};
    }
}

inline void combineWithConstant(QvPixelOperator op, QvPlane<fgPix> dst, QvPlane<const fgPix> left, double grey) {
    float c = static_cast<float>(grey);
    for (int y = 0; y < dst.height; ++y) {
        fgPix* d = dst.row(y);
        const fgPix* l = left.row(y);
        for (int x = 0; x < dst.width; ++x) d[x].grey = combineFloats(op, l[x].grey, c);
    }
}

inline void combineWithConstant(QvPixelOperator op, QvPlane<fcPix> dst, QvPlane<const fcPix> left,
                                const QvColor& color) {
    float red = static_cast<float>(color.red), green = static_cast<float>(color.green),
          blue = static_cast<float>(color.blue);
    for (int y = 0; y < dst.height; ++y) {
        fcPix* d = dst.row(y);
        const fcPix* l = left.row(y);
        for (int x = 0; x < dst.width; ++x)
            d[x] = {l[x].alpha, combineFloats(op, l[x].red, red), combineFloats(op, l[x].green, green),
                    combineFloats(op, l[x].blue, blue)};
    }
}

inline bgPix combinePixels(QvPixelOperator op, const bgPix& p, const bgPix& q, bool) {
    return {combineBytes(op, p.grey, q.grey)};
}
inline fgPix combinePixels(QvPixelOperator op, const fgPix& p, const fgPix& q, bool) {
    return {combineFloats(op, p.grey, q.grey)};
}
inline bcPix combinePixels(QvPixelOperator op, const bcPix& p, const bcPix& q, bool keepAlpha) {
    return {combineBytes(op, p.blue, q.blue), combineBytes(op, p.green, q.green), combineBytes(op, p.red, q.red),
            keepAlpha ? p.alpha : combineBytes(op, p.alpha, q.alpha)};
}
inline fcPix combinePixels(QvPixelOperator op, const fcPix& p, const fcPix& q, bool keepAlpha) {
    return {keepAlpha ? p.alpha : combineFloats(op, p.alpha, q.alpha), combineFloats(op, p.red, q.red),
            combineFloats(op, p.green, q.green), combineFloats(op, p.blue, q.blue)};
}

// Whether the left alpha survives: always for subtract, and when the right operand is grey.
template <class R>
bool keepsLeftAlpha(QvPixelOperator op) {
    return op == QvPixelOperator::subtract || std::is_same_v<R, bgPix> || std::is_same_v<R, fgPix>;
}

template <class L, class R>
void combinePictures(QvPixelOperator op, QvPlane<L> dst, QvPlane<const L> left, QvPlane<const R> right) {
    bool keepAlpha = keepsLeftAlpha<R>(op);
    for (int y = 0; y < dst.height; ++y) {
        L* d = dst.row(y);
        const L* l = left.row(y);
        const R* r = right.row(y);
        for (int x = 0; x < dst.width; ++x) {
            L q;
            convertPixel(r[x], q);
            d[x] = combinePixels(op, l[x], q, keepAlpha);
        }
    }
}

}  // namespace QvKernels::Reference
