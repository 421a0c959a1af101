#include "MediaModule/QvCompressors.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {
struct Named {
    const char* name;
    AVCodecID codec;
    const char* encoder;  // preferred encoder of the codec, or null for the library's choice
};

const Named kNamed[] = {
    {"Cinepak", AV_CODEC_ID_CINEPAK, nullptr},   {"Animation", AV_CODEC_ID_QTRLE, nullptr},
    {"Photo - JPEG", AV_CODEC_ID_MJPEG, "mjpeg"}, {"PNG", AV_CODEC_ID_PNG, nullptr},
    {"TIFF", AV_CODEC_ID_TIFF, nullptr},         {"H.264", AV_CODEC_ID_H264, "libx264"},
    {"None", AV_CODEC_ID_RAWVIDEO, nullptr},
};

bool isNamed(AVCodecID codec) {
    for (const Named& named : kNamed)
        if (named.codec == codec) return true;
    return false;
}

const AVCodec* encoderOf(const Named& named) {
    if (named.encoder)
        if (const AVCodec* preferred = avcodec_find_encoder_by_name(named.encoder)) return preferred;
    return avcodec_find_encoder(named.codec);
}

// Hardware encoders, wrappers of other frameworks and experimental ones need what a
// script cannot be expected to have; a codec with several encoders is offered once.
bool offered(const AVCodec& encoder, const AVOutputFormat* quickTime, const std::vector<QvCompressor>& chosen) {
    if (encoder.type != AVMEDIA_TYPE_VIDEO || !av_codec_is_encoder(&encoder) || isNamed(encoder.id)) return false;
    if (encoder.wrapper_name || (encoder.capabilities & (AV_CODEC_CAP_EXPERIMENTAL | AV_CODEC_CAP_HARDWARE)))
        return false;
    if (avcodec_find_encoder(encoder.id) != &encoder) return false;
    for (const QvCompressor& compressor : chosen)
        if (compressor.encoder->id == encoder.id) return false;
    return quickTime && avformat_query_codec(quickTime, encoder.id, FF_COMPLIANCE_NORMAL) == 1;
}

std::vector<QvCompressor> listCompressors() {
    std::vector<QvCompressor> list;
    for (const Named& named : kNamed)
        if (const AVCodec* encoder = encoderOf(named)) list.push_back({named.name, encoder});
    const AVOutputFormat* quickTime = av_guess_format("mov", nullptr, nullptr);
    void* state = nullptr;
    while (const AVCodec* encoder = av_codec_iterate(&state))
        if (offered(*encoder, quickTime, list)) list.push_back({encoder->name, encoder});
    return list;
}
}  // namespace

const std::vector<QvCompressor>& QvCompressors::all() {
    static const std::vector<QvCompressor> list = listCompressors();
    return list;
}

const QvCompressor* QvCompressors::find(const std::string& name) {
    for (const QvCompressor& compressor : all())
        if (compressor.name == name) return &compressor;
    return nullptr;
}

std::string QvCompressors::nameOf(AVCodecID codec) {
    for (const Named& named : kNamed)
        if (named.codec == codec) return named.name;
    for (const QvCompressor& compressor : all())
        if (compressor.encoder->id == codec) return compressor.name;
    return avcodec_get_name(codec);
}
