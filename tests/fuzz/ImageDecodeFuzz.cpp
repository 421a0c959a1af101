// Fuzz target: arbitrary bytes as an image file through the loader's image step: the
// recognition of the format, the media layer's decoder and the frame made from the
// picture. A frame or a reading error are both fine; anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "Errors/QvException.h"
#include "Images/QvPictureConversion.h"
#include "Media/QvFFmpegImageCodec.h"
#include "Media/QvMediaLayer.h"
#include "QvGWorld/QvPixelBuffer.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return static_cast<int>(QvTheMediaLayer().start()); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        QvFFmpegImageCodec::recognises(data, size);
        std::unique_ptr<QvPixelBuffer> picture = QvFFmpegImageCodec::decode(data, size);
        QvPictureConversion::fromARGB(*picture, QvPixelClass::ByteColor);
    } catch (QvException* error) {
        delete error;
    }
    return 0;
}
