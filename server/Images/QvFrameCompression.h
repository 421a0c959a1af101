#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The compression a frame is saved with: its name and four-character code. The
// names are exact and case-sensitive: "JPEG" 'jpeg', "PNG" 'png ', "TIFF" 'tiff',
// "BMP" 'BMPf', "PPM" 'PPM ' (those the media layer can write).
struct QvFrameCompression {
    std::string name;
    uint32_t code = 0;

    static QvFrameCompression standard();
    // Raises "Unknown frame compression type." with the available names for a name the
    // media layer cannot write.
    static QvFrameCompression byName(const std::string& name);
    // The names offered, in the order above.
    static std::vector<std::string> availableNames();
    [[noreturn]] static void raiseUnknown();
};
