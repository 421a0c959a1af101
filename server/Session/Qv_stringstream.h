#pragma once
#include <sstream>
#include <string>

#include "QvExport.h"

// A text stream that one party writes and another reads: the put position and the
// get position move independently, so a reader takes exactly what was written since
// its last read.
class QV_EXPORT Qv_stringstream : public std::stringstream {
public:
    Qv_stringstream() : std::stringstream(std::ios::in | std::ios::out) {}

    // The characters between the read and the write position. Taking them empties
    // the stream, so that what was taken no longer accumulates.
    std::string takeUnread();
};
