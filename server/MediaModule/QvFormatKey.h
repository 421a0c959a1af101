#pragma once
#include <cstdint>

extern "C" {
#include <libavcodec/codec_par.h>
}

// A digest of what a decoder must know about a stream: codec, pixel layout, size, depth
// and set-up data. Frames of two streams with the same key can share one stream.
uint64_t QvFormatKey(const AVCodecParameters& parameters);
