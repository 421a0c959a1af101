// Fuzz target: arbitrary bytes as the body of a picture value file (or of a list that
// may hold pictures). A picture or a reading error are both fine; a picture read must
// write back to the same bytes it came from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "Errors/QvException.h"
#include "Values/QvValue.h"
#include "Values/QvValueKinds.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const QvTypeEnum types[] = {QV_FRAME_MONO, QV_FRAME, QV_IMAGE_MONO, QV_IMAGE, QV_LIST};
    QvTypeEnum type = types[data[0] % 5];
    std::string body(reinterpret_cast<const char*>(data + 1), size - 1);
    std::istringstream in(body);
    try {
        std::unique_ptr<QvValue> value(QvValueKinds::readData(type, in));
        if (value && type != QV_LIST) {
            std::ostringstream out;
            value->WriteData(out);
            std::string written = out.str();
            if (body.compare(0, written.size(), written) != 0) std::abort();
        }
    } catch (QvException* error) {
        delete error;
    }
    return 0;
}
