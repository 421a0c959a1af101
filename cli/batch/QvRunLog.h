#pragma once
#include <string>

// The console output of one run, kept in its log file.
class QvRunLog {
public:
    // The first error the run reported, on one line: an error record's place and
    // message ("line 3: Syntax Error: ..."), else a line of the command's own
    // ("quarvel: ..."), else the last line the run wrote; empty for an empty log.
    static std::string firstError(const std::string& path);
    // Adds a line of the batch's own, after what the run wrote.
    static void appendNote(const std::string& path, const std::string& note);

    // Longest error kept, in bytes; longer ones are cut and end in "...".
    static constexpr size_t kLongestError = 300;
};
