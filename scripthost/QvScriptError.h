#pragma once
#include <string>
#include <utility>

// The first error a run reported, syntax or run-time, copied out of the session's
// error list so that it outlives the session.
struct QvScriptError {
    QvScriptError() = default;
    explicit QvScriptError(std::string message, int line = 0, int fileIndex = 0, std::string text = "")
        : message(std::move(message)), line(line), fileIndex(fileIndex), text(std::move(text)) {}

    std::string message;
    int line = 0;       // in its source file; below 1 when the error has no position
    int fileIndex = 0;  // 1 for the script itself, higher for included files
    std::string text;   // the offending text, when there is one
};
