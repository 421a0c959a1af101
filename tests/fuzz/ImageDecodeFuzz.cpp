// Fuzz target: arbitrary bytes as an image file through the media layer's decoder.
// A picture or a reading error are both fine; anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "Errors/QvException.h"
#include "MediaModule/QvFFmpegImageCodec.h"
#include "Media/QvMediaLayer.h"
#include "QvGWorld/QvPixelBuffer.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return static_cast<int>(QvTheMediaLayer().start()); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        QvFFmpegImageCodec::decode(data, size);
    } catch (QvException* error) {
        delete error;
    }
    return 0;
}
