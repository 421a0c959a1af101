#pragma once
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

// Owning handles for the FFmpeg objects the media layer makes; each deleter is the
// library's own release function.
struct QvCodecContextDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct QvFrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct QvPacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct QvScalerDeleter {
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};
struct QvInputDeleter {
    void operator()(AVFormatContext* input) const { avformat_close_input(&input); }
};
// A custom reader owns its buffer, which the library may have replaced meanwhile.
struct QvReaderDeleter {
    void operator()(AVIOContext* reader) const {
        av_freep(&reader->buffer);
        avio_context_free(&reader);
    }
};

using QvCodecContextHandle = std::unique_ptr<AVCodecContext, QvCodecContextDeleter>;
using QvFrameHandle = std::unique_ptr<AVFrame, QvFrameDeleter>;
using QvPacketHandle = std::unique_ptr<AVPacket, QvPacketDeleter>;
using QvScalerHandle = std::unique_ptr<SwsContext, QvScalerDeleter>;
using QvInputHandle = std::unique_ptr<AVFormatContext, QvInputDeleter>;
using QvReaderHandle = std::unique_ptr<AVIOContext, QvReaderDeleter>;
