#include "MediaModule/QvMediaOutput.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <cstdlib>

#include "MediaModule/QvModuleFailure.h"
#include "MediaModule/QvVideoDevices.h"

extern "C" {
#include <libavutil/imgutils.h>
}

namespace {
bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// An empty DISPLAY names no display: a window there would fail to show.
bool hasDisplay() { return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY"); }

const AVOutputFormat* windowFormat() { return av_guess_format("sdl", nullptr, nullptr); }
}  // namespace

std::vector<std::string> QvMediaOutput::names() {
    std::vector<std::string> list;
    if (hasDisplay() && windowFormat()) list.push_back(kWindow);
    list.push_back(kNull);
    for (const std::string& device : QvVideoDevices(V4L2_CAP_VIDEO_OUTPUT)) list.push_back(device);
    return list;
}

QvMediaOutput::QvMediaOutput(const std::string& name, int width, int height)
    : frame_(QvModuleCheckMemory(av_frame_alloc())), packet_(QvModuleCheckMemory(av_packet_alloc())) {
    std::vector<std::string> offered = names();
    if (std::find(offered.begin(), offered.end(), name) == offered.end()) QvModuleFail(QV_MEDIA_NO_DEVICE, name);
    if (width < 1 || height < 1 || width > QV_MEDIA_MAX_SIDE || height > QV_MEDIA_MAX_SIDE)
        QvModuleFail(QV_MEDIA_SETTINGS_REFUSED);
    if (name == kNull) return;
    bool window = name == kWindow;
    // Windows take the picture's own layout; loopback readers expect planar YUV.
    AVPixelFormat pixels = window ? AV_PIX_FMT_RGB32 : AV_PIX_FMT_YUV420P;
    if (!window) {
        width += width % 2;
        height += height % 2;
    }
    const AVOutputFormat* format = window ? windowFormat() : av_guess_format("video4linux2", nullptr, nullptr);
    if (!format) QvModuleFail(QV_MEDIA_NO_DEVICE, name);
    const char* target = window ? "Quarvel" : name.c_str();
    if (avformat_alloc_output_context2(&context_, format, nullptr, target) < 0) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    AVStream* stream = QvModuleCheckMemory(avformat_new_stream(context_, nullptr));
    stream->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
    stream->codecpar->codec_id = AV_CODEC_ID_RAWVIDEO;
    stream->codecpar->format = pixels;
    stream->codecpar->width = width;
    stream->codecpar->height = height;
    stream->time_base = AVRational{1, 1000};
    if (!(format->flags & AVFMT_NOFILE)) {
        int status = avio_open(&context_->pb, name.c_str(), AVIO_FLAG_WRITE);
        if (status == AVERROR(EBUSY)) QvModuleFail(QV_MEDIA_DEVICE_BUSY, name);
        if (status < 0) QvModuleFailStatus(QV_MEDIA_DEVICE_FAILED, name, status);
    }
    int status = avformat_write_header(context_, nullptr);
    if (status == AVERROR(EBUSY)) QvModuleFail(QV_MEDIA_DEVICE_BUSY, name);
    if (status < 0) QvModuleFailStatus(QV_MEDIA_DEVICE_FAILED, name, status);
    headerWritten_ = true;
    frame_->format = pixels;
    frame_->width = width;
    frame_->height = height;
    if (av_frame_get_buffer(frame_.get(), 0) < 0) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
}

QvMediaOutput::~QvMediaOutput() {
    if (!context_) return;
    if (headerWritten_) av_write_trailer(context_);
    if (context_->pb && !(context_->oformat->flags & AVFMT_NOFILE)) avio_closep(&context_->pb);
    avformat_free_context(context_);
}

void QvMediaOutput::show(const QvMediaPicture& picture) {
    if (picture.width < 1 || picture.height < 1) QvModuleFail(QV_MEDIA_FAILED, "There is no picture to show.");
    if (!context_) return;
    AVStream& stream = *context_->streams[0];
    if (av_frame_make_writable(frame_.get()) < 0) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    converter_.scaleToFrame(picture, *frame_);
    int size = av_image_get_buffer_size(static_cast<AVPixelFormat>(frame_->format), frame_->width, frame_->height, 1);
    if (av_new_packet(packet_.get(), size) < 0) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    av_image_copy_to_buffer(packet_->data, size, frame_->data, frame_->linesize,
                            static_cast<AVPixelFormat>(frame_->format), frame_->width, frame_->height, 1);
    packet_->pts = packet_->dts = shown_++;
    packet_->stream_index = stream.index;
    packet_->time_base = stream.time_base;
    int status = av_write_frame(context_, packet_.get());
    av_packet_unref(packet_.get());
    if (status < 0) QvModuleFailStatus(QV_MEDIA_DEVICE_FAILED, "The picture cannot be shown", status);
}
