#pragma once

// The media layer's name for a file: a fixed-size record, so that hosts written in C
// can hold one. The path is absolute and NUL-terminated.
struct QvMediaFileLocation {
    static constexpr unsigned kPathCapacity = 4096;
    char path[kPathCapacity];
};
