#include "MediaModule/QvFrameEncoder.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "MediaModule/QvCompressors.h"
#include "MediaModule/QvFFmpegImageCodec.h"
#include "MediaModule/QvModuleFailure.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace {
bool supports(const AVCodec& encoder, AVPixelFormat format) {
    if (!encoder.pix_fmts) return true;
    for (const AVPixelFormat* offered = encoder.pix_fmts; *offered != AV_PIX_FMT_NONE; ++offered)
        if (*offered == format) return true;
    return false;
}

bool isGreyDepth(int depth) { return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth > 32; }

// Layouts in the order a depth prefers them: millions of colours with alpha (32 and
// the default), millions (24), thousands (16) or grey (8 and below, and the grey depths
// above 32), each followed by the next best.
std::vector<AVPixelFormat> preferredLayouts(int depth) {
    const std::vector<AVPixelFormat> alpha = {AV_PIX_FMT_ARGB, AV_PIX_FMT_RGBA, AV_PIX_FMT_BGRA, AV_PIX_FMT_ABGR};
    const std::vector<AVPixelFormat> colour = {AV_PIX_FMT_RGB24, AV_PIX_FMT_BGR24};
    const std::vector<AVPixelFormat> thousands = {AV_PIX_FMT_RGB555BE, AV_PIX_FMT_RGB555LE, AV_PIX_FMT_RGB565BE,
                                                  AV_PIX_FMT_RGB565LE};
    const std::vector<AVPixelFormat> grey = {AV_PIX_FMT_GRAY8};
    auto join = [](std::vector<AVPixelFormat> first, const std::vector<AVPixelFormat>& then) {
        first.insert(first.end(), then.begin(), then.end());
        return first;
    };
    if (isGreyDepth(depth)) return join(grey, colour);
    if (depth == 16) return join(thousands, colour);
    if (depth == 24) return join(colour, alpha);
    return join(alpha, colour);
}

// The layout pictures are handed to the encoder in. H.264 takes 4:2:0, or 4:4:4 for odd
// sizes (which 4:2:0 cannot hold); Photo - JPEG takes 4:2:0 at full range.
AVPixelFormat choosePixels(const AVCodec& encoder, int depth, int width, int height) {
    if (encoder.id == AV_CODEC_ID_H264)
        return (width % 2 || height % 2) && supports(encoder, AV_PIX_FMT_YUV444P) ? AV_PIX_FMT_YUV444P
                                                                                  : AV_PIX_FMT_YUV420P;
    if (encoder.id == AV_CODEC_ID_MJPEG) return AV_PIX_FMT_YUVJ420P;
    for (AVPixelFormat format : preferredLayouts(depth))
        if (supports(encoder, format)) return format;
    return avcodec_find_best_pix_fmt_of_list(encoder.pix_fmts, AV_PIX_FMT_BGRA, 1, nullptr);
}

bool validDepth(int depth) {
    for (int known : {0, 1, 2, 4, 8, 16, 24, 32, 33, 34, 36, 40})
        if (depth == known) return true;
    return false;
}

// The sizes to offer the encoder, the picture's own first: encoders that cannot take it
// (whole chroma samples, Cinepak's blocks of 4 x 4, macroblocks) get it grown.
std::vector<std::pair<int, int>> codedSizes(AVPixelFormat format, int width, int height) {
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    int chromaX = descriptor ? 1 << descriptor->log2_chroma_w : 1;
    int chromaY = descriptor ? 1 << descriptor->log2_chroma_h : 1;
    auto roundUp = [](int value, int step) { return (value + step - 1) / step * step; };
    std::vector<std::pair<int, int>> sizes;
    for (auto step : {std::make_pair(1, 1), std::make_pair(chromaX, chromaY), std::make_pair(4, 4), std::make_pair(16, 16)}) {
        std::pair<int, int> size(roundUp(width, step.first), roundUp(height, step.second));
        if (std::find(sizes.begin(), sizes.end(), size) == sizes.end()) sizes.push_back(size);
    }
    return sizes;
}

// Encoders with a constant-quality setting get it from the quality, the MPEG family
// and JPEG a fixed quantiser scale as JPEG pictures do; the lossless ones have nothing
// to set.
void applyQuality(AVCodecContext& context, double quality) {
    if (const AVOption* crf = av_opt_find(context.priv_data, "crf", nullptr, 0, 0)) {
        double top = crf->max > 0 && crf->max <= 63 ? crf->max : 51;
        av_opt_set_double(context.priv_data, "crf", std::round(top * (0.75 - 0.55 * quality)), 0);
        return;
    }
    context.flags |= AV_CODEC_FLAG_QSCALE;
    context.qmin = QvFFmpegImageCodec::kFinestScale;
    context.global_quality = QvFFmpegImageCodec::quantiserScale(quality) * FF_QP2LAMBDA;
}
}  // namespace

QvFrameEncoder::QvFrameEncoder(const QvMediaCompression& compression, int width, int height, AVRational timeBase,
                               bool globalHeader, bool reordering)
    : parameters_(nullptr, [](AVCodecParameters* parameters) { avcodec_parameters_free(&parameters); }) {
    const QvCompressor* compressor = compression.compressor ? QvCompressors::find(compression.compressor) : nullptr;
    if (!compressor) QvModuleFail(QV_MEDIA_UNKNOWN_COMPRESSOR, compression.compressor ? compression.compressor : "");
    if (!validDepth(compression.depth) || !std::isfinite(compression.spatialQuality) ||
        !std::isfinite(compression.temporalQuality) || compression.keyFrameInterval < 0)
        QvModuleFail(QV_MEDIA_SETTINGS_REFUSED);
    if (width < 1 || height < 1 || width > QV_MEDIA_MAX_SIDE || height > QV_MEDIA_MAX_SIDE)
        QvModuleFail(QV_MEDIA_COMPRESSOR_REFUSED);
    open(compression, *compressor->encoder, width, height, timeBase, globalHeader, reordering);
}

void QvFrameEncoder::open(const QvMediaCompression& compression, const AVCodec& encoder, int width, int height,
                          AVRational timeBase, bool globalHeader, bool reordering) {
    AVPixelFormat pixels = choosePixels(encoder, compression.depth, width, height);
    for (const std::pair<int, int>& coded : codedSizes(pixels, width, height)) {
        context_.reset(QvModuleCheckMemory(avcodec_alloc_context3(&encoder)));
        context_->width = coded.first;
        context_->height = coded.second;
        context_->pix_fmt = pixels;
        context_->time_base = timeBase;
        context_->framerate = AVRational{30000, 1001};
        context_->gop_size = std::max(1, compression.keyFrameInterval);
        if (!reordering) context_->max_b_frames = 0;
        context_->thread_count = 0;
        // A frame-threaded encoder hands a packet back whenever a worker happens to finish,
        // so how much of a stream is readable, and so where a movie's streams end, would
        // depend on timing; slice threads give every frame's packet back at once.
        if (encoder.capabilities & AV_CODEC_CAP_FRAME_THREADS) context_->thread_type = FF_THREAD_SLICE;
        if (QvPictureConverter::isYuv(pixels)) {
            context_->colorspace = AVCOL_SPC_BT470BG;
            context_->color_range = pixels == AV_PIX_FMT_YUVJ420P ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
        }
        if (globalHeader) context_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        applyQuality(*context_, std::clamp(compression.spatialQuality, 0.0, 1.0));
        if (avcodec_open2(context_.get(), &encoder, nullptr) >= 0) break;
        context_.reset();
    }
    if (!context_) QvModuleFail(QV_MEDIA_COMPRESSOR_REFUSED);

    parameters_.reset(QvModuleCheckMemory(avcodec_parameters_alloc()));
    if (avcodec_parameters_from_context(parameters_.get(), context_.get()) < 0) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    parameters_->width = width;
    parameters_->height = height;

    frame_.reset(QvModuleCheckMemory(av_frame_alloc()));
    frame_->format = pixels;
    frame_->width = context_->width;
    frame_->height = context_->height;
    frame_->color_range = context_->color_range;
    if (av_frame_get_buffer(frame_.get(), 0) < 0) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    packet_.reset(QvModuleCheckMemory(av_packet_alloc()));
}

// Encoders working on several frames at once give each packet back later too.
bool QvFrameEncoder::delays() const {
    return (context_->codec->capabilities & AV_CODEC_CAP_DELAY) || (context_->active_thread_type & FF_THREAD_FRAME);
}

void QvFrameEncoder::encode(const QvMediaPicture& picture, int64_t pts, int64_t duration, bool forceKey,
                            const PacketSink& sink) {
    if (flushed_) QvModuleFail(QV_MEDIA_FAILED, "The compressor has been closed.");
    if (av_frame_make_writable(frame_.get()) < 0) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    converter_.pictureToFrame(picture, *frame_);
    frame_->pts = pts;
    frame_->pict_type = forceKey ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    durations_[pts] = duration;
    int status = avcodec_send_frame(context_.get(), frame_.get());
    if (status < 0) QvModuleFailStatus(QV_MEDIA_FAILED, "The compressor refused a frame", status);
    drain(sink);
}

void QvFrameEncoder::flush(const PacketSink& sink) {
    if (flushed_) return;
    flushed_ = true;
    avcodec_send_frame(context_.get(), nullptr);
    drain(sink);
}

void QvFrameEncoder::drain(const PacketSink& sink) {
    for (;;) {
        int status = avcodec_receive_packet(context_.get(), packet_.get());
        if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) return;
        if (status < 0) QvModuleFailStatus(QV_MEDIA_FAILED, "The compressor failed", status);
        int64_t duration = 0;
        auto found = durations_.find(packet_->pts);
        if (found != durations_.end()) {
            duration = found->second;
            durations_.erase(found);
        }
        struct Unref {
            AVPacket* packet;
            ~Unref() { av_packet_unref(packet); }
        } unref{packet_.get()};
        sink(*packet_, duration);
    }
}
