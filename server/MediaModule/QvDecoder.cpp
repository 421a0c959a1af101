#include "MediaModule/QvDecoder.h"

#include "Media/QvMediaModuleAbi.h"
#include "MediaModule/QvModuleFailure.h"

QvCodecContextHandle QvOpenDecoder(const AVCodecParameters& parameters, AVRational timeBase, bool threaded) {
    const AVCodec* codec = avcodec_find_decoder(parameters.codec_id);
    if (!codec) QvModuleFail(QV_MEDIA_FAILED, "Invalid Media Error");
    QvCodecContextHandle decoder(QvModuleCheckMemory(avcodec_alloc_context3(codec)));
    if (avcodec_parameters_to_context(decoder.get(), &parameters) < 0) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    decoder->pkt_timebase = timeBase;
    decoder->max_pixels = QV_MEDIA_MAX_PIXELS;
    decoder->thread_count = threaded ? 0 : 1;
    if (threaded) decoder->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) QvModuleFail(QV_MEDIA_FAILED, "Invalid Media Error");
    return decoder;
}
