#pragma once
#include <string>
#include <vector>

// The inputs of a batch, from glob patterns and list files (`@FILE`: one input a
// line; blank lines and lines starting with '#' are skipped, a line's trailing
// spaces and '\r' dropped). Globs name files, never folders, in sorted order; list
// entries are taken as they stand (URLs too). An input named twice runs once, at its
// first place.
class QvBatchInputs {
public:
    // Answers false with a message when a list cannot be read or a pattern matches
    // nothing, which is almost always a mistake.
    static bool expand(const std::vector<std::string>& patterns, std::vector<std::string>& inputs,
                       std::string& error);
    // Whether the input names a file by path rather than by URL.
    static bool isPath(const std::string& input);
    // The input as the run sees it: a path made absolute, a URL unchanged.
    static std::string absolute(const std::string& input);

private:
    static bool readList(const std::string& listPath, std::vector<std::string>& inputs, std::string& error);
    static bool glob(const std::string& pattern, std::vector<std::string>& inputs, std::string& error);
};
