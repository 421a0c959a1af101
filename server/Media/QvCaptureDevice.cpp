#include "Media/QvCaptureDevice.h"

#include <algorithm>
#include <cmath>

#include "Errors/QvErrors.h"
#include "Errors/QvSystemErrors.h"
#include "Media/QvMediaModule.h"
#include "Media/QvMediaMovie.h"
#include "Media/QvMediaPictures.h"
#include "Media/QvMediaTask.h"
#include "Media/QvSettingsBlob.h"
#include "QvGWorld/QvPixelBuffer.h"

namespace {
const char kBlobKind[5] = "QvCS";
constexpr uint16_t kBlobVersion = 1;
// The status whose text says the camera is not available.
constexpr long kSourceNotAvailable = -9405;
const char* const kSourcePath = "server/Media/QvCaptureDevice";

[[noreturn]] void raiseCamera(const QvMediaResult& result) {
    if (result.code == QV_MEDIA_DEVICE_BUSY || result.code == QV_MEDIA_DEVICE_FAILED)
        QvCheckSystemError(kSourceNotAvailable, __LINE__, kSourcePath);
    QvMediaModule::raise(result, "Cannot open a Sequence Grabber component.");
}
}  // namespace

std::vector<uint8_t> QvCaptureSettings::toBlob() const {
    QvSettingsBlobWriter blob;
    blob.text(device);
    blob.number(static_cast<uint32_t>(width), 4);
    blob.number(static_cast<uint32_t>(height), 4);
    blob.real(frameRate);
    for (double value : picture) blob.real(value);
    return blob.finish(kBlobKind, kBlobVersion);
}

QvCaptureSettings QvCaptureSettings::fromBlob(const uint8_t* bytes, size_t size) {
    QvSettingsBlobReader blob(bytes, size, kBlobKind, kBlobVersion);
    QvCaptureSettings settings;
    settings.device = blob.text();
    settings.width = static_cast<int32_t>(blob.number(4));
    settings.height = static_cast<int32_t>(blob.number(4));
    settings.frameRate = blob.real();
    for (double& value : settings.picture) value = blob.real();
    blob.finish();
    return settings;
}

QvCaptureSettings& QvCaptureSettings::processWide() {
    static QvCaptureSettings settings;
    return settings;
}

std::vector<std::string> QvCaptureDevice::names() { return QvCollectNames(QvMediaModule::functions().cameraNames); }

bool QvCaptureDevice::available() { return !names().empty(); }

QvCaptureDevice::QvCaptureDevice(const std::string& name, int width, int height, double frameRate) {
    const QvMediaModuleFunctions& module = QvMediaModule::functions();
    const QvCaptureSettings& preferred = QvCaptureSettings::processWide();
    std::vector<std::string> offered = names();
    if (offered.empty()) QvError("No camera currently available.");
    std::string wanted = !name.empty() ? name : preferred.device;
    if (wanted.empty() || (name.empty() && std::find(offered.begin(), offered.end(), wanted) == offered.end()))
        wanted = offered.front();
    if (std::find(offered.begin(), offered.end(), wanted) == offered.end())
        QvError("Could not set VideoSource to specified name.");
    QvMediaResult result{};
    if (module.cameraOpen(wanted.c_str(), width, height, frameRate, &camera_, &result) != QV_MEDIA_OK)
        raiseCamera(result);
    name_ = wanted;
    std::fill(std::begin(stored_), std::end(stored_), 0.5);
    for (int which = 0; which < QV_MEDIA_SETTING_COUNT; ++which)
        if (preferred.picture[which] >= 0) setSetting(static_cast<QvMediaPictureSetting>(which), preferred.picture[which]);
}

QvCaptureDevice::~QvCaptureDevice() {
    if (camera_) QvMediaModule::functions().cameraClose(camera_);
}

void QvCaptureDevice::grab(QvPixelBuffer& target) {
    QvMediaTask task("Grabbing");
    QvPictureView view(target);
    QvMediaResult result{};
    if (QvMediaModule::functions().cameraGrab(camera_, view.get(), task.work(), &result) != QV_MEDIA_OK)
        raiseCamera(result);
}

void QvCaptureDevice::record(QvMediaMovie& movie, long frames, double seconds, double frameRate, int width,
                             int height, const QvMovieSettings& settings) {
    if (frames < 0 && seconds < 0) QvError("The record time is less than zero!");
    if (!(frameRate > 0) || !std::isfinite(frameRate)) QvError("Movie frame rate must be greater than zero");
    long wanted = frames >= 0 ? frames : static_cast<long>(std::llround(std::min(seconds * frameRate, 1e9)));
    if (wanted <= 0) QvError("Movie record failed: The duration was too short.");
    QvMovieSettings recording = settings;
    recording.setRate(frameRate);
    QvMediaTask task("Recording movie");
    std::unique_ptr<QvPixelBuffer> picture = QvNewPicture(width, height);
    for (long frame = 0; frame < wanted; ++frame) {
        task.checkStop();
        grab(*picture);
        movie.insertPicture(movie.frameCount(), *picture, recording);
        task.report(double(frame + 1) / wanted);
    }
}

double QvCaptureDevice::setting(QvMediaPictureSetting which) {
    double value = 0;
    if (QvMediaModule::functions().cameraGetSetting(camera_, which, &value)) return value;
    return stored_[which];
}

void QvCaptureDevice::setSetting(QvMediaPictureSetting which, double value) {
    QvMediaResult result{};
    if (QvMediaModule::functions().cameraSetSetting(camera_, which, value, &result) != QV_MEDIA_OK)
        raiseCamera(result);
    stored_[which] = std::clamp(value, 0.0, 1.0);
}

int QvCaptureDevice::inputFormat() { return QvMediaModule::functions().cameraInputFormat(camera_); }
