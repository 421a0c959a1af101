#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QvPixelBuffer;

// Image files in memory through FFmpeg's codecs: pictures of 32-bit ARGB pixels to
// encoded bytes in a named compression, and any image format the demuxers recognise
// back to a picture.
class QvFFmpegImageCodec {
public:
    // Largest picture decoded, in pixels (a bound on what a hostile file can make us allocate).
    static constexpr int64_t kMaxPixels = int64_t(1) << 28;

    // The compression names whose encoder this build of the libraries has.
    static std::vector<std::string> compressorNames();
    // Raises "Unknown frame compression type." with the available names when the
    // name is unknown; quality (0..1) matters to lossy formats only.
    static std::vector<uint8_t> encode(QvPixelBuffer& picture, const std::string& compression, double quality);
    // Raises one of the reading errors of frames when the bytes are no usable picture.
    static std::unique_ptr<QvPixelBuffer> decode(const uint8_t* data, size_t size);
};
