// Fuzz target: arbitrary bytes as an image file through the loader's image step: the
// recognition of the format, the media module's decoder and the frame made from the
// picture. A frame or a reading error are both fine; anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "Errors/QvException.h"
#include "Images/QvPictureConversion.h"
#include "Media/QvMediaModuleAbi.h"
#include "QvGWorld/QvPixelBuffer.h"

extern "C" const QvMediaModuleFunctions* QvMediaModuleOpen(uint32_t abiVersion);

namespace {
const QvMediaModuleFunctions* module = nullptr;

int32_t makePicture(void* context, int32_t width, int32_t height, QvMediaPicture* picture) {
    auto& made = *static_cast<std::unique_ptr<QvPixelBuffer>*>(context);
    made = QvPixelBuffer::create(width, height);
    if (!made) return 1;
    *picture = QvMediaPicture{made->lock(), static_cast<ptrdiff_t>(made->rowBytes()), width, height};
    return 0;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    module = QvMediaModuleOpen(QV_MEDIA_ABI_VERSION);
    QvMediaResult result{};
    return module->start(&result);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    module->imageRecognise(data, size);
    std::unique_ptr<QvPixelBuffer> picture;
    QvMediaResult result{};
    int32_t code = module->imageDecode(data, size, &makePicture, &picture, &result);
    if (picture) picture->unlock();
    if (code != QV_MEDIA_OK) return 0;
    try {
        QvPictureConversion::fromARGB(*picture, QvPixelClass::ByteColor);
    } catch (QvException* error) {
        delete error;
    }
    return 0;
}
