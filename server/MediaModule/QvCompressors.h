#pragma once
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

// A compressor of video frames: its name as movies show it and the encoder behind it.
struct QvCompressor {
    std::string name;
    const AVCodec* encoder;
};

// The compressors this build of the libraries offers: the named ones first ("Cinepak",
// the default, "Animation", "Photo - JPEG", "PNG", "TIFF", "H.264", "None"), then every
// other software encoder whose frames a QuickTime file can hold, by the encoder's name.
class QvCompressors {
public:
    static const std::vector<QvCompressor>& all();
    // Null when no compressor has the name.
    static const QvCompressor* find(const std::string& name);
    // The name movies show for frames of the codec: the compressor's where one has it.
    static std::string nameOf(AVCodecID codec);
};
