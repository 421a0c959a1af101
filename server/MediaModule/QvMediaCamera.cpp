#include "MediaModule/QvMediaCamera.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "MediaModule/QvDecoder.h"
#include "MediaModule/QvModuleFailure.h"
#include "MediaModule/QvVideoDevices.h"

extern "C" {
#include <libavdevice/avdevice.h>
}

namespace {
constexpr int kTestWidth = 640;
constexpr int kTestHeight = 480;
constexpr int kMostEmptyReads = 1000;
const uint32_t kControls[QV_MEDIA_SETTING_COUNT] = {V4L2_CID_HUE,        V4L2_CID_SATURATION, V4L2_CID_BRIGHTNESS,
                                                    V4L2_CID_CONTRAST,   V4L2_CID_SHARPNESS,  V4L2_CID_BLACK_LEVEL,
                                                    V4L2_CID_WHITENESS, V4L2_CID_GAMMA};

std::string rateText(double rate) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", rate);
    return text;
}
}  // namespace

std::vector<std::string> QvMediaCamera::names() {
    const char* chosen = std::getenv("QUARVEL_CAMERA");
    if (chosen && std::strcmp(chosen, "none") == 0) return {};
    if (chosen && *chosen) {
        if (QvVideoDeviceCan(chosen, V4L2_CAP_VIDEO_CAPTURE)) return {chosen};
        return {};
    }
    std::vector<std::string> list = QvVideoDevices(V4L2_CAP_VIDEO_CAPTURE);
    if (av_find_input_format("lavfi")) list.push_back(kTestCamera);
    return list;
}

QvMediaCamera::QvMediaCamera(const char* name, int width, int height, double frameRate)
    : frameRate_(frameRate > 0 && frameRate <= 1000 ? frameRate : 30),
      packet_(QvModuleCheckMemory(av_packet_alloc())),
      frame_(QvModuleCheckMemory(av_frame_alloc())) {
    std::vector<std::string> offered = names();
    std::string wanted = name && *name ? name : offered.empty() ? std::string() : offered.front();
    if (std::find(offered.begin(), offered.end(), wanted) == offered.end()) QvModuleFail(QV_MEDIA_NO_DEVICE, wanted);
    virtual_ = wanted == kTestCamera;
    device_ = wanted;
    std::fill(std::begin(settings_), std::end(settings_), 0.5);

    AVDictionary* options = nullptr;
    std::string url;
    const AVInputFormat* format;
    if (virtual_) {
        format = av_find_input_format("lavfi");
        url = "testsrc2=size=" + std::to_string(width > 0 ? width : kTestWidth) + "x" +
              std::to_string(height > 0 ? height : kTestHeight) + ":rate=" + rateText(frameRate_);
    } else {
        format = av_find_input_format("video4linux2");
        url = device_;
        if (width > 0 && height > 0)
            av_dict_set(&options, "video_size", (std::to_string(width) + "x" + std::to_string(height)).c_str(), 0);
        av_dict_set(&options, "framerate", rateText(frameRate_).c_str(), 0);
    }
    if (!format) QvModuleFail(QV_MEDIA_NO_DEVICE, wanted);
    AVFormatContext* context = QvModuleCheckMemory(avformat_alloc_context());
    context->interrupt_callback = hook_.callback();
    int status = avformat_open_input(&context, url.c_str(), format, &options);
    av_dict_free(&options);
    if (status == AVERROR(EBUSY)) QvModuleFail(QV_MEDIA_DEVICE_BUSY, wanted);
    if (status == AVERROR(ENOENT) || status == AVERROR(ENODEV)) QvModuleFail(QV_MEDIA_NO_DEVICE, wanted);
    if (status < 0) QvModuleFailStatus(QV_MEDIA_DEVICE_FAILED, wanted, status);
    input_.reset(context);
    if (context->nb_streams < 1 || context->streams[0]->codecpar->codec_type != AVMEDIA_TYPE_VIDEO)
        QvModuleFail(QV_MEDIA_DEVICE_FAILED, wanted);
    openDecoder();
    if (!virtual_) controls_ = ::open(device_.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    started_ = std::chrono::steady_clock::now();
}

QvMediaCamera::~QvMediaCamera() {
    if (controls_ >= 0) ::close(controls_);
}

void QvMediaCamera::openDecoder() {
    try {
        decoder_ = QvOpenDecoder(*input_->streams[0]->codecpar, input_->streams[0]->time_base, false);
    } catch (const QvModuleFailure& failure) {
        if (failure.code == QV_MEDIA_OUT_OF_MEMORY) throw;
        QvModuleFail(QV_MEDIA_DEVICE_FAILED, device_);
    }
}

// A picture is due every 1 / rate seconds after the first; one asked for early waits for
// its time, one asked for late comes at once and the pace goes on from there.
void QvMediaCamera::keepPace(const QvModuleWork& work) {
    using namespace std::chrono;
    auto due = started_ + duration_cast<steady_clock::duration>(duration<double>(grabbed_ / frameRate_));
    auto now = steady_clock::now();
    if (due < now) {
        started_ = now - duration_cast<steady_clock::duration>(duration<double>(grabbed_ / frameRate_));
        return;
    }
    while (now < due) {
        work.checkStop();
        std::this_thread::sleep_for(std::min<steady_clock::duration>(due - now, milliseconds(20)));
        now = steady_clock::now();
    }
}

void QvMediaCamera::grab(const QvMediaPicture& target, const QvModuleWork& work) {
    QvInterruptHook::Scope scope(hook_, work);
    if (virtual_) keepPace(work);
    for (int empty = 0; empty < kMostEmptyReads; ++empty) {
        int status = avcodec_receive_frame(decoder_.get(), frame_.get());
        if (status == 0) {
            converter_.frameToPicture(*frame_, frame_->width, frame_->height, target);
            av_frame_unref(frame_.get());
            ++grabbed_;
            return;
        }
        work.checkStop();
        status = av_read_frame(input_.get(), packet_.get());
        if (status == AVERROR(EAGAIN)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            continue;
        }
        if (status == AVERROR_EXIT) QvModuleFail(QV_MEDIA_STOPPED);
        if (status < 0) QvModuleFailStatus(QV_MEDIA_DEVICE_FAILED, device_, status);
        avcodec_send_packet(decoder_.get(), packet_.get());
        av_packet_unref(packet_.get());
    }
    QvModuleFail(QV_MEDIA_DEVICE_FAILED, device_);
}

bool QvMediaCamera::control(int setting, uint32_t& id) const {
    if (controls_ < 0 || setting < 0 || setting >= QV_MEDIA_SETTING_COUNT) return false;
    id = kControls[setting];
    return true;
}

// Device controls run from their own minimum to maximum; settings from 0 to 1. The test
// camera keeps what it is given.
bool QvMediaCamera::getSetting(int setting, double& value) const {
    if (setting < 0 || setting >= QV_MEDIA_SETTING_COUNT) return false;
    uint32_t id;
    if (!control(setting, id)) {
        value = settings_[setting];
        return virtual_;
    }
    v4l2_queryctrl range{};
    range.id = id;
    v4l2_control current{};
    current.id = id;
    if (ioctl(controls_, VIDIOC_QUERYCTRL, &range) != 0 || (range.flags & V4L2_CTRL_FLAG_DISABLED) ||
        range.maximum <= range.minimum || ioctl(controls_, VIDIOC_G_CTRL, &current) != 0)
        return false;
    value = double(current.value - range.minimum) / (range.maximum - range.minimum);
    return true;
}

void QvMediaCamera::setSetting(int setting, double value) {
    if (setting < 0 || setting >= QV_MEDIA_SETTING_COUNT || !std::isfinite(value))
        QvModuleFail(QV_MEDIA_SETTINGS_REFUSED);
    value = std::clamp(value, 0.0, 1.0);
    settings_[setting] = value;
    uint32_t id;
    if (!control(setting, id)) return;
    v4l2_queryctrl range{};
    range.id = id;
    if (ioctl(controls_, VIDIOC_QUERYCTRL, &range) != 0 || (range.flags & V4L2_CTRL_FLAG_DISABLED)) return;
    v4l2_control wanted{};
    wanted.id = id;
    wanted.value = range.minimum + static_cast<int32_t>(std::lround(value * (range.maximum - range.minimum)));
    if (ioctl(controls_, VIDIOC_S_CTRL, &wanted) != 0)
        QvModuleFail(QV_MEDIA_DEVICE_FAILED, device_ + ": the setting cannot be changed", errno);
}

// Cameras and the test picture deliver RGB; devices with other inputs say what they take.
int QvMediaCamera::inputFormat() const {
    if (controls_ < 0) return 2;
    int index = 0;
    v4l2_input input{};
    if (ioctl(controls_, VIDIOC_G_INPUT, &index) != 0) return 2;
    input.index = static_cast<uint32_t>(index);
    if (ioctl(controls_, VIDIOC_ENUMINPUT, &input) != 0 || input.type == V4L2_INPUT_TYPE_CAMERA) return 2;
    if (std::strstr(reinterpret_cast<const char*>(input.name), "S-Video")) return 1;
    if (std::strstr(reinterpret_cast<const char*>(input.name), "Composite")) return 0;
    return -1;
}
