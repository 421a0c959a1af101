#include "Media/QvMovieOverlay.h"

namespace {
constexpr uint32_t kOpaque = 0xFF000000u;

uint32_t channel(uint32_t pixel, int shift) { return pixel >> shift & 0xFF; }

uint32_t mixStraight(uint32_t layer, uint32_t below) {
    uint32_t alpha = layer >> 24;
    uint32_t result = kOpaque;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t value = (channel(layer, shift) * alpha + channel(below, shift) * (255 - alpha) + 127) / 255;
        result |= value << shift;
    }
    return result;
}

// A colour stored as c * a + 255 * (1 - a) shows over d as c * a + d * (1 - a), which is
// the stored colour less (255 - d) * (1 - a).
uint32_t mixPremultipliedWhite(uint32_t layer, uint32_t below) {
    uint32_t transparency = 255 - (layer >> 24);
    uint32_t result = kOpaque;
    for (int shift = 0; shift < 24; shift += 8) {
        int value = int(channel(layer, shift)) - int(((255 - channel(below, shift)) * transparency + 127) / 255);
        result |= uint32_t(value < 0 ? 0 : value) << shift;
    }
    return result;
}
}  // namespace

void QvComposite(QvPixelBuffer& below, QvPixelBuffer& layer, int width, int height, QvGraphicsMode mode) {
    below.lock();
    layer.lock();
    for (int y = 0; y < height; ++y) {
        uint32_t* target = below.row(y);
        const uint32_t* source = layer.row(y);
        for (int x = 0; x < width; ++x) {
            switch (mode) {
            case QvGraphicsMode::Copy:
            case QvGraphicsMode::DitherCopy: target[x] = source[x] | kOpaque; break;
            case QvGraphicsMode::StraightAlpha: target[x] = mixStraight(source[x], target[x]); break;
            case QvGraphicsMode::PremulWhiteAlpha: target[x] = mixPremultipliedWhite(source[x], target[x]); break;
            }
        }
    }
    layer.unlock();
    below.unlock();
}
