#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Media/QvMediaModuleAbi.h"

// Image files in memory through FFmpeg's codecs: pictures of 32-bit ARGB pixels to
// encoded bytes in a named compression, and any image format the demuxers recognise
// back to a picture.
class QvFFmpegImageCodec {
public:
    // Largest picture decoded, in pixels (a bound on what a hostile file can make us allocate).
    static constexpr int64_t kMaxPixels = QV_MEDIA_MAX_PIXELS;

    // How much of a file's start is enough to recognise a picture format.
    static constexpr size_t kProbeBytes = 4096;

    // Whether the bytes start a picture in a format the decoders read.
    static bool recognises(const uint8_t* data, size_t size);
    // The compression names whose encoder this build of the libraries has.
    static std::vector<std::string> compressorNames();
    // Fails with QV_MEDIA_UNKNOWN_COMPRESSOR when the name is unknown; quality (0..1)
    // matters to lossy formats only. For JPEG it maps to the encoder's quantiser scale
    // by quantiserScale.
    static std::vector<uint8_t> encode(const QvMediaPicture& picture, const std::string& compression, double quality);
    // Decodes into a picture of the image's size that `maker` provides. Fails with one
    // of the reading errors of frames when the bytes are no usable picture.
    static void decode(const uint8_t* data, size_t size, QvMediaPictureMaker maker, void* context);

    // The JPEG quantiser scale of a quality 0..1, through the familiar 0-100 scale
    // Q = clamp(round(100 q), 1, 100), the scale factor S = Q < 50 ? 5000 / Q : 200 - 2Q,
    // and clamp(round(0.14 S), kFinestScale, kCoarsestScale).
    static int quantiserScale(double quality);
    static constexpr int kFinestScale = 1;
    static constexpr int kCoarsestScale = 31;
};
