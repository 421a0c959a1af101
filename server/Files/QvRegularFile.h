#pragma once
#include <cstddef>
#include <string>

#include "QvExport.h"

// Reads a whole file into memory, refusing what could be endless or too large: a
// device, a pipe or a folder is not read at all (nor waited for), and a file is read
// only up to the limit.
class QV_EXPORT QvRegularFile {
public:
    enum Status {
        Read,        // the content is complete
        NotFound,    // missing, unopenable, or not a regular file
        TooLarge,    // longer than the limit
        ReadFailed,  // the system reported an error while reading, or memory ran out
    };

    // Scripts and their includes together, and value files (which hold pictures).
    static constexpr size_t kLargestScript = size_t(64) << 20;
    static constexpr size_t kLargestValueFile = size_t(1) << 30;

    static Status read(const std::string& path, size_t limit, std::string& content);
};
