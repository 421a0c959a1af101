// Fuzz target: arbitrary bytes as an image file through the media module's decoder.
// A picture or a reading error are both fine; anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "Media/QvMediaModuleAbi.h"

extern "C" const QvMediaModuleFunctions* QvMediaModuleOpen(uint32_t abiVersion);

namespace {
const QvMediaModuleFunctions* module = nullptr;

int32_t makePicture(void* context, int32_t width, int32_t height, QvMediaPicture* picture) {
    auto& pixels = *static_cast<std::vector<uint32_t>*>(context);
    size_t rowPixels = (static_cast<size_t>(width) + 15) / 16 * 16;
    pixels.assign(rowPixels * static_cast<size_t>(height), 0);
    *picture = QvMediaPicture{reinterpret_cast<uint8_t*>(pixels.data()), static_cast<ptrdiff_t>(rowPixels * 4), width,
                              height};
    return 0;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    module = QvMediaModuleOpen(QV_MEDIA_ABI_VERSION);
    QvMediaResult result{};
    return module->start(&result);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint32_t> pixels;
    QvMediaResult result{};
    module->imageDecode(data, size, &makePicture, &pixels, &result);
    return 0;
}
