// Fuzz target: arbitrary bytes as the content of a value file, through the loader's
// decoding; what it accepts is then shown as text and written out again. A value or a
// run-time error are both fine; anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "Errors/QvException.h"
#include "Values/QvValueFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string content(reinterpret_cast<const char*>(data), size);
    try {
        QvValueRef value = QvValueFile::decode(content, "fuzz");
        value->AsText();
        std::ostringstream written;
        value->WriteData(written);
    } catch (QvException* error) {
        delete error;
    }
    return 0;
}
