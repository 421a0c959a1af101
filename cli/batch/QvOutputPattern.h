#pragma once
#include <string>
#include <vector>

// The output of each run, made from a pattern by putting parts of the input's name
// in the place of {stem} (the file name without its last ending), {name} (the file
// name), {ext} (the ending with its dot, or nothing) and {dir} (the input's folder as
// given, "." when it has none). Any other {word} is refused.
class QvOutputPattern {
public:
    // Answers false with a message when the pattern names an unknown part or leaves
    // a brace open.
    static bool parse(const std::string& pattern, QvOutputPattern& parsed, std::string& error);

    std::string expand(const std::string& input) const;

private:
    enum class Part { Literal, Stem, Name, Ext, Dir };
    struct Piece {
        Part part;
        std::string text;
    };

    std::vector<Piece> pieces_;
};
