#include "Media/QvVideoOutputDevice.h"

#include <algorithm>

#include "Errors/QvErrors.h"
#include "Media/QvMediaModule.h"
#include "Media/QvMediaPictures.h"
#include "Media/QvSettingsBlob.h"

namespace {
const char kBlobKind[5] = "QvOS";
constexpr uint16_t kBlobVersion = 1;
const char* const kNull = "null";
}

std::vector<uint8_t> QvOutputSettings::toBlob() const {
    QvSettingsBlobWriter blob;
    blob.text(name);
    blob.number(static_cast<uint32_t>(width), 4);
    blob.number(static_cast<uint32_t>(height), 4);
    return blob.finish(kBlobKind, kBlobVersion);
}

QvOutputSettings QvOutputSettings::fromBlob(const uint8_t* bytes, size_t size) {
    QvSettingsBlobReader blob(bytes, size, kBlobKind, kBlobVersion);
    QvOutputSettings settings;
    settings.name = blob.text();
    settings.width = static_cast<int32_t>(blob.number(4));
    settings.height = static_cast<int32_t>(blob.number(4));
    blob.finish();
    return settings;
}

QvOutputSettings& QvOutputSettings::processWide() {
    static QvOutputSettings settings;
    return settings;
}

std::vector<std::string> QvVideoOutputDevice::names() {
    return QvCollectNames(QvMediaModule::functions().outputNames);
}

std::string QvVideoOutputDevice::defaultName() {
    std::vector<std::string> offered = names();
    return offered.empty() ? kNull : offered.front();
}

QvVideoOutputDevice::QvVideoOutputDevice(const std::string& name, int width, int height) {
    const QvMediaModuleFunctions& module = QvMediaModule::functions();
    std::vector<std::string> offered = names();
    if (std::find(offered.begin(), offered.end(), name) == offered.end()) {
        std::string message = "The specified Video Output component (" + name + ") could not be found.\n" +
                              "Available components are:";
        for (const std::string& available : offered) message += "\n" + available;
        QvError(message.c_str());
    }
    QvMediaResult result{};
    if (module.outputOpen(name.c_str(), width, height, &output_, &result) != QV_MEDIA_OK) {
        if (result.code == QV_MEDIA_DEVICE_BUSY) QvError("Video Output component is being used by another application.");
        if (result.code == QV_MEDIA_OUT_OF_MEMORY) QvMediaModule::raise(result, "");
        QvError("Cannot open Video Output component.");
    }
    name_ = name;
}

QvVideoOutputDevice::~QvVideoOutputDevice() {
    if (output_) QvMediaModule::functions().outputClose(output_);
}

void QvVideoOutputDevice::show(QvPixelBuffer& picture) {
    QvPictureView view(picture);
    QvMediaResult result{};
    if (QvMediaModule::functions().outputShow(output_, view.get(), &result) != QV_MEDIA_OK)
        QvMediaModule::raise(result, "Cannot open Video Output component.");
}
