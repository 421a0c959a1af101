#include "MediaModule/QvFormatKey.h"

namespace {
constexpr uint64_t kOffset = 14695981039346656037ull;
constexpr uint64_t kPrime = 1099511628211ull;

void mix(uint64_t& hash, const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * kPrime;
}

template <class T>
void mixValue(uint64_t& hash, T value) {
    mix(hash, &value, sizeof value);
}
}  // namespace

uint64_t QvFormatKey(const AVCodecParameters& parameters) {
    uint64_t hash = kOffset;
    mixValue(hash, static_cast<int32_t>(parameters.codec_id));
    mixValue(hash, static_cast<int32_t>(parameters.format));
    mixValue(hash, parameters.width);
    mixValue(hash, parameters.height);
    mixValue(hash, parameters.bits_per_coded_sample);
    mixValue(hash, parameters.extradata_size);
    if (parameters.extradata && parameters.extradata_size > 0) mix(hash, parameters.extradata, parameters.extradata_size);
    return hash;
}
