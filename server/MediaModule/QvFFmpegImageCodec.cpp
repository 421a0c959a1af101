#include "MediaModule/QvFFmpegImageCodec.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "MediaModule/QvFFmpegHandles.h"
#include "MediaModule/QvModuleFailure.h"
#include "MediaModule/QvPictureConverter.h"

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
constexpr int kFinestScale = QvFFmpegImageCodec::kFinestScale;
constexpr int kCoarsestScale = QvFFmpegImageCodec::kCoarsestScale;

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

const ImageFormat* findFormat(const std::string& name) {
    for (const ImageFormat& format : kFormats)
        if (name == format.name && avcodec_find_encoder(format.codec)) return &format;
    return nullptr;
}

[[noreturn]] void raiseExportFailure(const ImageFormat& format) {
    QvModuleFail(QV_MEDIA_FAILED, std::string("Export of the picture as ") + format.name + " failed.");
}

[[noreturn]] void raiseReading(const char* message) { QvModuleFail(QV_MEDIA_FAILED, message); }

QvFrameHandle frameFromPicture(const QvMediaPicture& picture, const ImageFormat& format) {
    QvFrameHandle frame(QvModuleCheckMemory(av_frame_alloc()));
    frame->format = format.pixels;
    frame->width = picture.width;
    frame->height = picture.height;
    if (av_frame_get_buffer(frame.get(), 0) < 0) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    QvPictureConverter().pictureToFrame(picture, *frame);
    return frame;
}

QvCodecContextHandle openEncoder(const ImageFormat& format, int width, int height, double quality) {
    const AVCodec* codec = avcodec_find_encoder(format.codec);
    QvCodecContextHandle context(QvModuleCheckMemory(avcodec_alloc_context3(codec)));
    context->width = width;
    context->height = height;
    context->pix_fmt = format.pixels;
    context->time_base = AVRational{1, 25};
    if (format.lossy) {
        context->flags |= AV_CODEC_FLAG_QSCALE;
        context->qmin = kFinestScale;
        context->qmax = kCoarsestScale;
        context->global_quality = QvFFmpegImageCodec::quantiserScale(quality) * FF_QP2LAMBDA;
        context->color_range = AVCOL_RANGE_JPEG;
    }
    AVDictionary* options = nullptr;
    if (format.lossy) av_dict_set(&options, "huffman", "default", 0);
    int status = avcodec_open2(context.get(), codec, &options);
    av_dict_free(&options);
    if (status < 0) raiseExportFailure(format);
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
    AVFormatContext* input = QvModuleCheckMemory(avformat_alloc_context());
    input->pb = reader;
    input->flags |= AVFMT_FLAG_CUSTOM_IO;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "format_whitelist", pictureDemuxers().c_str(), 0);
    int status = avformat_open_input(&input, nullptr, nullptr, &options);
    av_dict_free(&options);
    if (status < 0) raiseReading(kNoImporter);  // the library has freed the input
    QvInputHandle handle(input);
    if (input->nb_streams < 1 || input->streams[0]->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) raiseReading(kNoImporter);
    return handle;
}

QvCodecContextHandle openDecoder(const AVStream& stream) {
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!codec) raiseReading(kNoImporter);
    QvCodecContextHandle context(QvModuleCheckMemory(avcodec_alloc_context3(codec)));
    if (avcodec_parameters_to_context(context.get(), stream.codecpar) < 0) raiseReading(kNoDescription);
    context->max_pixels = QvFFmpegImageCodec::kMaxPixels;
    if (avcodec_open2(context.get(), codec, nullptr) < 0) raiseReading(kNoDescription);
    return context;
}

// The first picture of the input; the decoder is drained at the end of the data.
QvFrameHandle decodeFirstPicture(AVFormatContext& input, AVCodecContext& decoder) {
    QvFrameHandle frame(QvModuleCheckMemory(av_frame_alloc()));
    QvPacketHandle packet(QvModuleCheckMemory(av_packet_alloc()));
    bool draining = false;
    for (;;) {
        int status = avcodec_receive_frame(&decoder, frame.get());
        if (status == 0) return frame;
        if (status != AVERROR(EAGAIN) || draining) raiseReading(kNoDescription);
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

void pictureFromFrame(const AVFrame& frame, QvMediaPictureMaker maker, void* context) {
    if (frame.width < 1 || frame.height < 1 || frame.width > QV_MEDIA_MAX_SIDE ||
        frame.height > QV_MEDIA_MAX_SIDE)
        raiseReading(kNoDescription);
    QvMediaPicture picture{};
    if (maker(context, frame.width, frame.height, &picture) != 0) raiseReading(kNoBuffer);
    QvPictureConverter().frameToPicture(frame, frame.width, frame.height, picture);
}
}  // namespace

int QvFFmpegImageCodec::quantiserScale(double quality) {
    double q = std::isnan(quality) ? 0.0 : quality;
    double percent = std::clamp(std::round(100 * q), 1.0, 100.0);
    double factor = percent < 50 ? 5000 / percent : 200 - 2 * percent;
    return static_cast<int>(std::clamp(std::round(0.14 * factor), double(kFinestScale), double(kCoarsestScale)));
}

bool QvFFmpegImageCodec::recognises(const uint8_t* data, size_t size) {
    if (size == 0) return false;
    std::vector<uint8_t> padded(data, data + std::min(size, kProbeBytes));
    padded.resize(padded.size() + AVPROBE_PADDING_SIZE, 0);
    AVProbeData probe{};
    probe.filename = "";
    probe.buf = padded.data();
    probe.buf_size = static_cast<int>(std::min(size, kProbeBytes));
    int score = 0;
    const AVInputFormat* format = av_probe_input_format3(&probe, 1, &score);
    if (!format || score <= AVPROBE_SCORE_RETRY) return false;
    std::string names = "," + pictureDemuxers() + ",";
    return names.find("," + std::string(format->name) + ",") != std::string::npos;
}

std::vector<std::string> QvFFmpegImageCodec::compressorNames() {
    std::vector<std::string> names;
    for (const ImageFormat& format : kFormats)
        if (avcodec_find_encoder(format.codec)) names.push_back(format.name);
    return names;
}

std::vector<uint8_t> QvFFmpegImageCodec::encode(const QvMediaPicture& picture, const std::string& compression,
                                                double quality) {
    const ImageFormat* format = findFormat(compression);
    if (!format) QvModuleFail(QV_MEDIA_UNKNOWN_COMPRESSOR, compression);
    QvCodecContextHandle encoder = openEncoder(*format, picture.width, picture.height, quality);
    QvFrameHandle frame = frameFromPicture(picture, *format);
    frame->quality = encoder->global_quality;
    frame->pts = 0;
    QvPacketHandle packet(QvModuleCheckMemory(av_packet_alloc()));
    if (avcodec_send_frame(encoder.get(), frame.get()) < 0 || avcodec_send_frame(encoder.get(), nullptr) < 0 ||
        avcodec_receive_packet(encoder.get(), packet.get()) < 0)
        raiseExportFailure(*format);
    return std::vector<uint8_t>(packet->data, packet->data + packet->size);
}

void QvFFmpegImageCodec::decode(const uint8_t* data, size_t size, QvMediaPictureMaker maker, void* context) {
    MemoryReader source{data, size, 0};
    uint8_t* chunk = QvModuleCheckMemory(static_cast<uint8_t*>(av_malloc(kReadChunk)));
    QvReaderHandle reader(
        avio_alloc_context(chunk, kReadChunk, 0, &source, &MemoryReader::read, nullptr, &MemoryReader::seek));
    if (!reader) {
        av_free(chunk);
        QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    }
    QvInputHandle input = openPictureInput(reader.get());
    QvCodecContextHandle decoder = openDecoder(*input->streams[0]);
    QvFrameHandle frame = decodeFirstPicture(*input, *decoder);
    pictureFromFrame(*frame, maker, context);
}
