#include "Images/QvPictureArithmetic.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "Images/QvPixelRules.h"

namespace QvPictureArithmetic {
namespace {

using QvPixelRules::toByte;
using QvPixelRules::toUnit;

// A constant component prepared for the byte rules.
struct ByteConstant {
    int amount = 0;         // add and subtract: trunc(255 |c|), at most 255
    bool increases = true;  // add and subtract: whether the pixel grows
    int factor = 0;         // multiply: trunc(255 c) within 0..65025
    float divisor = 0;      // divide: c itself
};

ByteConstant prepare(Operator op, double c) {
    ByteConstant k;
    double magnitude = std::isnan(c) ? 0.0 : std::min(std::fabs(c) * 255.0, 255.0);
    k.amount = int(magnitude);
    k.increases = (op == Operator::Add) == !(c < 0);
    double scaled = std::isnan(c) ? 0.0 : std::clamp(c * 255.0, 0.0, 65025.0);
    k.factor = int(scaled);
    k.divisor = float(c);
    return k;
}

template <Operator op>
uint8_t byteWithConstant(uint8_t p, const ByteConstant& k) {
    if constexpr (op == Operator::Add || op == Operator::Subtract)
        return uint8_t(k.increases ? std::min(p + k.amount, 255) : std::max(p - k.amount, 0));
    else if constexpr (op == Operator::Multiply)
        return uint8_t(std::min(p * k.factor / 255, 255));
    else
        return toByte(toUnit(p) / k.divisor);
}

template <Operator op>
uint8_t byteWithByte(uint8_t p, uint8_t q) {
    if constexpr (op == Operator::Add)
        return uint8_t(std::min(p + q, 255));
    else if constexpr (op == Operator::Subtract)
        return uint8_t(std::max(p - q, 0));
    else if constexpr (op == Operator::Multiply)
        return uint8_t(p * q / 255);
    else
        return toByte(toUnit(p) / toUnit(q));
}

template <Operator op>
float floatWith(float p, float q) {
    if constexpr (op == Operator::Add)
        return p + q;
    else if constexpr (op == Operator::Subtract)
        return p - q;
    else if constexpr (op == Operator::Multiply)
        return p * q;
    else
        return p / q;
}

// ---- constants ----

template <Operator op>
void constantRow(const bgPix* in, bgPix* out, int32_t width, const ByteConstant (&k)[3]) {
    for (int32_t x = 0; x < width; ++x)
        out[x].grey = byteWithConstant<op>(in[x].grey, k[0]);
}

template <Operator op>
void constantRow(const bcPix* in, bcPix* out, int32_t width, const ByteConstant (&k)[3]) {
    for (int32_t x = 0; x < width; ++x) {
        out[x].red = byteWithConstant<op>(in[x].red, k[0]);
        out[x].green = byteWithConstant<op>(in[x].green, k[1]);
        out[x].blue = byteWithConstant<op>(in[x].blue, k[2]);
        out[x].alpha = in[x].alpha;
    }
}

template <Operator op>
void constantRow(const fgPix* in, fgPix* out, int32_t width, const float (&c)[3]) {
    for (int32_t x = 0; x < width; ++x)
        out[x].grey = floatWith<op>(in[x].grey, c[0]);
}

template <Operator op>
void constantRow(const fcPix* in, fcPix* out, int32_t width, const float (&c)[3]) {
    for (int32_t x = 0; x < width; ++x) {
        out[x].red = floatWith<op>(in[x].red, c[0]);
        out[x].green = floatWith<op>(in[x].green, c[1]);
        out[x].blue = floatWith<op>(in[x].blue, c[2]);
        out[x].alpha = in[x].alpha;
    }
}

template <Operator op, class P, class Constant>
void constantRows(const QvPixelStorage& left, const Constant& constant, QvPixelStorage& result) {
    for (int32_t y = 0; y < left.height(); ++y)
        constantRow<op>(left.row<P>(y), result.row<P>(y), left.width(), constant);
}

template <Operator op>
void withConstantOf(const QvPixelStorage& left, const QvColor& color, QvPixelStorage& result) {
    bool grey = !QvIsColor(left.pixelClass());
    double components[3] = {color.red, color.green, color.blue};
    if (grey) components[0] = QvPixelRules::luminance(float(color.red), float(color.green), float(color.blue));
    if (QvIsFloat(left.pixelClass())) {
        const float c[3] = {float(components[0]), float(components[1]), float(components[2])};
        if (grey)
            constantRows<op, fgPix>(left, c, result);
        else
            constantRows<op, fcPix>(left, c, result);
    } else {
        const ByteConstant k[3] = {prepare(op, components[0]), prepare(op, components[1]), prepare(op, components[2])};
        if (grey)
            constantRows<op, bgPix>(left, k, result);
        else
            constantRows<op, bcPix>(left, k, result);
    }
}

// ---- pictures ----

// The right pixel on the left class's scale: bytes stay bytes for byte pictures and
// become 0-1 floats for float pictures.
template <class L> float scaled(uint8_t v) {
    if constexpr (std::is_same_v<L, fgPix> || std::is_same_v<L, fcPix>)
        return toUnit(v);
    else
        return float(v);
}
template <class L> float scaled(float v) { return v; }

template <Operator op, class L, class R>
void pictureRow(const L* in, const R* right, L* out, int32_t width) {
    constexpr bool leftByte = std::is_same_v<L, bgPix> || std::is_same_v<L, bcPix>;
    constexpr bool rightGrey = std::is_same_v<R, bgPix> || std::is_same_v<R, fgPix>;
    auto apply = [](auto p, float q) {
        if constexpr (leftByte)
            return byteWithByte<op>(p, uint8_t(q));
        else
            return floatWith<op>(p, q);
    };
    for (int32_t x = 0; x < width; ++x) {
        if constexpr (std::is_same_v<L, bgPix> || std::is_same_v<L, fgPix>) {
            out[x].grey = apply(in[x].grey, scaled<L>(right[x].grey));
        } else if constexpr (rightGrey) {
            float g = scaled<L>(right[x].grey);
            out[x].red = apply(in[x].red, g);
            out[x].green = apply(in[x].green, g);
            out[x].blue = apply(in[x].blue, g);
            out[x].alpha = in[x].alpha;
        } else {
            out[x].red = apply(in[x].red, scaled<L>(right[x].red));
            out[x].green = apply(in[x].green, scaled<L>(right[x].green));
            out[x].blue = apply(in[x].blue, scaled<L>(right[x].blue));
            out[x].alpha = op == Operator::Subtract ? in[x].alpha : apply(in[x].alpha, scaled<L>(right[x].alpha));
        }
    }
}

template <Operator op, class L, class R>
void pictureRows(const QvPixelStorage& left, const QvPixelStorage& right, QvPixelStorage& result) {
    int32_t width = std::min(left.width(), right.width());
    int32_t height = std::min(left.height(), right.height());
    for (int32_t y = 0; y < height; ++y)
        pictureRow<op>(left.row<L>(y), right.row<R>(y), result.row<L>(y), width);
}

template <Operator op>
void withPictureOf(const QvPixelStorage& left, const QvPixelStorage& right, QvPixelStorage& result) {
    QvWithPixel(left.pixelClass(), [&](auto l) {
        QvWithPixel(right.pixelClass(), [&](auto r) {
            using L = decltype(l);
            using R = decltype(r);
            // Only the pairs the operand tables allow are built (a float operand never
            // meets a byte picture, a colour one never a grey picture).
            constexpr bool floatIntoByte = (std::is_same_v<L, bgPix> || std::is_same_v<L, bcPix>) &&
                                           (std::is_same_v<R, fgPix> || std::is_same_v<R, fcPix>);
            constexpr bool colorIntoGrey = (std::is_same_v<L, bgPix> || std::is_same_v<L, fgPix>) &&
                                           (std::is_same_v<R, bcPix> || std::is_same_v<R, fcPix>);
            if constexpr (!floatIntoByte && !colorIntoGrey) pictureRows<op, L, R>(left, right, result);
        });
    });
}

template <class F>
void forOperator(Operator op, F&& f) {
    switch (op) {
    case Operator::Add: return f(std::integral_constant<Operator, Operator::Add>{});
    case Operator::Subtract: return f(std::integral_constant<Operator, Operator::Subtract>{});
    case Operator::Multiply: return f(std::integral_constant<Operator, Operator::Multiply>{});
    case Operator::Divide: return f(std::integral_constant<Operator, Operator::Divide>{});
    }
}

}  // namespace

void withConstant(Operator op, const QvPixelStorage& left, const QvColor& constant, QvPixelStorage& result) {
    forOperator(op, [&](auto o) { withConstantOf<decltype(o)::value>(left, constant, result); });
}

bool accepts(QvPixelClass left, QvPixelClass right) {
    if (!QvIsColor(left) && QvIsColor(right)) return false;
    return QvIsFloat(left) || !QvIsFloat(right);
}

void withPicture(Operator op, const QvPixelStorage& left, const QvPixelStorage& right, QvPixelStorage& result) {
    forOperator(op, [&](auto o) { withPictureOf<decltype(o)::value>(left, right, result); });
}

}  // namespace QvPictureArithmetic
