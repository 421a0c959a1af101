#include "Images/QvFrameCompression.h"

#include <algorithm>

#include "Errors/QvErrors.h"
#include "Media/QvMediaLayer.h"

namespace {

constexpr uint32_t fourCharacters(const char (&code)[5]) {
    return uint32_t(uint8_t(code[0])) << 24 | uint32_t(uint8_t(code[1])) << 16 | uint32_t(uint8_t(code[2])) << 8 |
           uint32_t(uint8_t(code[3]));
}

struct Known {
    const char* name;
    uint32_t code;
};

const Known knownCompressions[] = {
    {"JPEG", fourCharacters("jpeg")}, {"PNG", fourCharacters("png ")}, {"TIFF", fourCharacters("tiff")},
    {"BMP", fourCharacters("BMPf")},  {"PPM", fourCharacters("PPM ")},
};

}  // namespace

QvFrameCompression QvFrameCompression::standard() { return {knownCompressions[0].name, knownCompressions[0].code}; }

std::vector<std::string> QvFrameCompression::availableNames() {
    std::vector<std::string> offered = QvTheMediaLayer().imageCompressorNames();
    std::vector<std::string> names;
    for (const Known& known : knownCompressions)
        if (std::find(offered.begin(), offered.end(), known.name) != offered.end()) names.push_back(known.name);
    return names;
}

QvFrameCompression QvFrameCompression::byName(const std::string& name) {
    std::vector<std::string> names = availableNames();
    if (std::find(names.begin(), names.end(), name) == names.end()) raiseUnknown();
    for (const Known& known : knownCompressions)
        if (name == known.name) return {known.name, known.code};
    raiseUnknown();
}

void QvFrameCompression::raiseUnknown() {
    std::string message = "Unknown frame compression type.\nAvailable types are:";
    for (const std::string& name : availableNames()) message += "\n\"" + name + "\"";
    QvError(message.c_str());
}
