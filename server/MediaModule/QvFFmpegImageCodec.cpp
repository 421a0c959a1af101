#include "MediaModule/QvFFmpegImageCodec.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Errors/QvErrors.h"
#include "Errors/QvException.h"
#include "Errors/QvExceptions.h"
#include "Media/QvFFmpegHandles.h"
#include "QvGWorld/QvPixelBuffer.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

namespace {
const char* const kNoImporter = "Could not get graphics importer for file.";
const char* const kNoDescription = "Could not get image description from file.";
const char* const kNoGraphicsMode = "Could not set graphics mode when reading file.";
const char* const kNoBuffer = "Could not set gWorld for graphics import";

constexpr int kReadChunk = 64 * 1024;
// JPEG quantiser scale: 2 is the finest the encoder takes by default, 31 the coarsest.
constexpr int kFinestScale = 2;
constexpr int kCoarsestScale = 31;

struct ImageFormat {
    const char* name;
    AVCodecID codec;
    AVPixelFormat pixels;  // what the encoder is given
    bool lossy;
};

const ImageFormat kFormats[] = {
    {"JPEG", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, true},
    {"PNG", AV_CODEC_ID_PNG, AV_PIX_FMT_RGBA, false},
    {"TIFF", AV_CODEC_ID_TIFF, AV_PIX_FMT_RGBA, false},
    {"BMP", AV_CODEC_ID_BMP, AV_PIX_FMT_BGRA, false},
    {"PPM", AV_CODEC_ID_PPM, AV_PIX_FMT_RGB24, false},
};

// The JPEG-range formats are the plain YUV layouts with full-range values; the
// scaler wants the plain name and the range said separately.
AVPixelFormat plainLayout(AVPixelFormat format, bool& fullRange) {
    switch (format) {
    case AV_PIX_FMT_YUVJ420P: fullRange = true; return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: fullRange = true; return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: fullRange = true; return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: fullRange = true; return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P: fullRange = true; return AV_PIX_FMT_YUV411P;
    default: return format;
    }
}

bool isYuv(AVPixelFormat format) {
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    return descriptor && descriptor->nb_components >= 3 && !(descriptor->flags & AV_PIX_FMT_FLAG_RGB);
}

// A same-size converter between two layouts; null when the scaler refuses them.
QvScalerHandle makeScaler(int width, int height, AVPixelFormat from, bool fromFull, AVPixelFormat to, bool toFull) {
    QvScalerHandle scaler(sws_getContext(width, height, from, width, height, to, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (scaler && (isYuv(from) || isYuv(to))) {
        const int* coefficients = sws_getCoefficients(SWS_CS_ITU601);
        sws_setColorspaceDetails(scaler.get(), coefficients, fromFull ? 1 : 0, coefficients, toFull ? 1 : 0, 0,
                                 1 << 16, 1 << 16);
    }
    return scaler;
}

const ImageFormat* findFormat(const std::string& name) {
    for (const ImageFormat& format : kFormats)
        if (name == format.name && avcodec_find_encoder(format.codec)) return &format;
    return nullptr;
}

[[noreturn]] void raiseUnknownCompression() {
    std::string message = "Unknown frame compression type.\nAvailable types are:";
    for (const std::string& name : QvFFmpegImageCodec::compressorNames()) message += "\n\"" + name + "\"";
    QvError(message.c_str());
}

[[noreturn]] void raiseExportFailure(const ImageFormat& format) {
    std::string message = std::string("Export of the picture as ") + format.name + " failed.";
    QvError(message.c_str());
}

QvFrameHandle frameFromPicture(QvPixelBuffer& picture, const ImageFormat& format) {
    QvFrameHandle frame(av_frame_alloc());
    if (!frame) throw new QvMemoryException("Out of Memory");
    frame->format = format.pixels;
    frame->width = picture.width();
    frame->height = picture.height();
    if (av_frame_get_buffer(frame.get(), 0) < 0) throw new QvMemoryException("Out of Memory");
    bool fullRange = false;
    AVPixelFormat layout = plainLayout(format.pixels, fullRange);
    QvScalerHandle scaler = makeScaler(picture.width(), picture.height(), AV_PIX_FMT_RGB32, true, layout, fullRange);
    if (!scaler) raiseExportFailure(format);
    const uint8_t* source[4] = {picture.lock(), nullptr, nullptr, nullptr};
    const int sourceStride[4] = {static_cast<int>(picture.rowBytes()), 0, 0, 0};
    sws_scale(scaler.get(), source, sourceStride, 0, picture.height(), frame->data, frame->linesize);
    picture.unlock();
    return frame;
}

QvCodecContextHandle openEncoder(const ImageFormat& format, int width, int height, double quality) {
    const AVCodec* codec = avcodec_find_encoder(format.codec);
    QvCodecContextHandle context(avcodec_alloc_context3(codec));
    if (!context) throw new QvMemoryException("Out of Memory");
    context->width = width;
    context->height = height;
    context->pix_fmt = format.pixels;
    context->time_base = AVRational{1, 25};
    if (format.lossy) {
        double scale = kCoarsestScale - std::clamp(quality, 0.0, 1.0) * (kCoarsestScale - kFinestScale);
        context->flags |= AV_CODEC_FLAG_QSCALE;
        context->global_quality = static_cast<int>(std::lround(scale)) * FF_QP2LAMBDA;
        context->color_range = AVCOL_RANGE_JPEG;
    }
    if (avcodec_open2(context.get(), codec, nullptr) < 0) raiseExportFailure(format);
    return context;
}

// Reads from a block of memory for the demuxer.
struct MemoryReader {
    const uint8_t* data;
    size_t size;
    size_t position;

    static int read(void* opaque, uint8_t* target, int wanted) {
        MemoryReader& reader = *static_cast<MemoryReader*>(opaque);
        size_t count = std::min(static_cast<size_t>(wanted), reader.size - reader.position);
        if (count == 0) return AVERROR_EOF;
        std::memcpy(target, reader.data + reader.position, count);
        reader.position += count;
        return static_cast<int>(count);
    }

    static int64_t seek(void* opaque, int64_t offset, int whence) {
        MemoryReader& reader = *static_cast<MemoryReader*>(opaque);
        if (whence & AVSEEK_SIZE) return static_cast<int64_t>(reader.size);
        int64_t base = 0;
        switch (whence & ~AVSEEK_FORCE) {
        case SEEK_SET: base = 0; break;
        case SEEK_CUR: base = static_cast<int64_t>(reader.position); break;
        case SEEK_END: base = static_cast<int64_t>(reader.size); break;
        default: return AVERROR(EINVAL);
        }
        int64_t target = base + offset;
        if (target < 0 || target > static_cast<int64_t>(reader.size)) return AVERROR(EINVAL);
        reader.position = static_cast<size_t>(target);
        return target;
    }
};

// Only the demuxers of single pictures may read the bytes: a file must not turn into
// a playlist that opens other files or addresses.
const std::string& pictureDemuxers() {
    static const std::string names = [] {
        std::string list;
        void* state = nullptr;
        while (const AVInputFormat* demuxer = av_demuxer_iterate(&state)) {
            std::string name = demuxer->name;
            bool picture = name == "gif" || (name.size() > 5 && name.compare(name.size() - 5, 5, "_pipe") == 0);
            if (picture) list += (list.empty() ? "" : ",") + name;
        }
        return list;
    }();
    return names;
}

QvInputHandle openPictureInput(AVIOContext* reader) {
    AVFormatContext* input = avformat_alloc_context();
    if (!input) throw new QvMemoryException("Out of Memory");
    input->pb = reader;
    input->flags |= AVFMT_FLAG_CUSTOM_IO;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "format_whitelist", pictureDemuxers().c_str(), 0);
    int status = avformat_open_input(&input, nullptr, nullptr, &options);
    av_dict_free(&options);
    if (status < 0) QvError(kNoImporter);  // the library has freed the input
    QvInputHandle handle(input);
    if (input->nb_streams < 1 || input->streams[0]->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) QvError(kNoImporter);
    return handle;
}

QvCodecContextHandle openDecoder(const AVStream& stream) {
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!codec) QvError(kNoImporter);
    QvCodecContextHandle context(avcodec_alloc_context3(codec));
    if (!context) throw new QvMemoryException("Out of Memory");
    if (avcodec_parameters_to_context(context.get(), stream.codecpar) < 0) QvError(kNoDescription);
    context->max_pixels = QvFFmpegImageCodec::kMaxPixels;
    if (avcodec_open2(context.get(), codec, nullptr) < 0) QvError(kNoDescription);
    return context;
}

// The first picture of the input; the decoder is drained at the end of the data.
QvFrameHandle decodeFirstPicture(AVFormatContext& input, AVCodecContext& decoder) {
    QvFrameHandle frame(av_frame_alloc());
    QvPacketHandle packet(av_packet_alloc());
    if (!frame || !packet) throw new QvMemoryException("Out of Memory");
    bool draining = false;
    for (;;) {
        int status = avcodec_receive_frame(&decoder, frame.get());
        if (status == 0) return frame;
        if (status != AVERROR(EAGAIN) || draining) QvError(kNoDescription);
        status = av_read_frame(&input, packet.get());
        if (status < 0) {
            draining = true;
            avcodec_send_packet(&decoder, nullptr);
            continue;
        }
        if (packet->stream_index == 0) avcodec_send_packet(&decoder, packet.get());
        av_packet_unref(packet.get());
    }
}

std::unique_ptr<QvPixelBuffer> pictureFromFrame(const AVFrame& frame) {
    if (frame.width < 1 || frame.height < 1 || frame.width > QvPixelBuffer::kMaxSide ||
        frame.height > QvPixelBuffer::kMaxSide)
        QvError(kNoDescription);
    std::unique_ptr<QvPixelBuffer> picture = QvPixelBuffer::create(frame.width, frame.height);
    if (!picture) QvError(kNoBuffer);
    bool fullRange = frame.color_range == AVCOL_RANGE_JPEG;
    AVPixelFormat layout = plainLayout(static_cast<AVPixelFormat>(frame.format), fullRange);
    QvScalerHandle scaler = makeScaler(frame.width, frame.height, layout, fullRange, AV_PIX_FMT_RGB32, true);
    if (!scaler) QvError(kNoGraphicsMode);
    uint8_t* target[4] = {picture->lock(), nullptr, nullptr, nullptr};
    const int targetStride[4] = {static_cast<int>(picture->rowBytes()), 0, 0, 0};
    sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, target, targetStride);
    picture->unlock();
    return picture;
}
}  // namespace

std::vector<std::string> QvFFmpegImageCodec::compressorNames() {
    std::vector<std::string> names;
    for (const ImageFormat& format : kFormats)
        if (avcodec_find_encoder(format.codec)) names.push_back(format.name);
    return names;
}

std::vector<uint8_t> QvFFmpegImageCodec::encode(QvPixelBuffer& picture, const std::string& compression,
                                                double quality) {
    const ImageFormat* format = findFormat(compression);
    if (!format) raiseUnknownCompression();
    QvCodecContextHandle encoder = openEncoder(*format, picture.width(), picture.height(), quality);
    QvFrameHandle frame = frameFromPicture(picture, *format);
    frame->quality = encoder->global_quality;
    frame->pts = 0;
    QvPacketHandle packet(av_packet_alloc());
    if (!packet) throw new QvMemoryException("Out of Memory");
    if (avcodec_send_frame(encoder.get(), frame.get()) < 0 || avcodec_send_frame(encoder.get(), nullptr) < 0 ||
        avcodec_receive_packet(encoder.get(), packet.get()) < 0)
        raiseExportFailure(*format);
    return std::vector<uint8_t>(packet->data, packet->data + packet->size);
}

std::unique_ptr<QvPixelBuffer> QvFFmpegImageCodec::decode(const uint8_t* data, size_t size) {
    MemoryReader source{data, size, 0};
    uint8_t* chunk = static_cast<uint8_t*>(av_malloc(kReadChunk));
    if (!chunk) throw new QvMemoryException("Out of Memory");
    QvReaderHandle reader(
        avio_alloc_context(chunk, kReadChunk, 0, &source, &MemoryReader::read, nullptr, &MemoryReader::seek));
    if (!reader) {
        av_free(chunk);
        throw new QvMemoryException("Out of Memory");
    }
    QvInputHandle input = openPictureInput(reader.get());
    QvCodecContextHandle decoder = openDecoder(*input->streams[0]);
    QvFrameHandle frame = decodeFirstPicture(*input, *decoder);
    return pictureFromFrame(*frame);
}
