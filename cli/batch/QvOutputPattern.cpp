#include "QvOutputPattern.h"

namespace {
// The file name of an input that may be a URL: what follows its last '/'.
std::string fileNameOf(const std::string& input) {
    size_t slash = input.find_last_of('/');
    return slash == std::string::npos ? input : input.substr(slash + 1);
}
}

bool QvOutputPattern::parse(const std::string& pattern, QvOutputPattern& parsed, std::string& error) {
    parsed.pieces_.clear();
    size_t at = 0;
    while (at < pattern.size()) {
        size_t open = pattern.find('{', at);
        if (open == std::string::npos) open = pattern.size();
        if (open > at) parsed.pieces_.push_back({Part::Literal, pattern.substr(at, open - at)});
        if (open == pattern.size()) break;
        size_t close = pattern.find('}', open);
        if (close == std::string::npos) {
            error = "the output pattern '" + pattern + "' leaves a '{' open";
            return false;
        }
        std::string word = pattern.substr(open + 1, close - open - 1);
        if (word == "stem") parsed.pieces_.push_back({Part::Stem, ""});
        else if (word == "name") parsed.pieces_.push_back({Part::Name, ""});
        else if (word == "ext") parsed.pieces_.push_back({Part::Ext, ""});
        else if (word == "dir") parsed.pieces_.push_back({Part::Dir, ""});
        else {
            error = "the output pattern '" + pattern + "' names {" + word + "}; it may use {stem}, {name}, {ext} and {dir}";
            return false;
        }
        at = close + 1;
    }
    return true;
}

std::string QvOutputPattern::expand(const std::string& input) const {
    std::string name = fileNameOf(input);
    size_t dot = name.find_last_of('.');
    bool hasExtension = dot != std::string::npos && dot > 0;
    std::string folder = input.size() > name.size() ? input.substr(0, input.size() - name.size() - 1) : ".";
    if (folder.empty()) folder = "/";
    std::string output;
    for (const Piece& piece : pieces_) {
        switch (piece.part) {
        case Part::Literal: output += piece.text; break;
        case Part::Stem: output += hasExtension ? name.substr(0, dot) : name; break;
        case Part::Name: output += name; break;
        case Part::Ext: output += hasExtension ? name.substr(dot) : ""; break;
        case Part::Dir: output += folder; break;
        }
    }
    return output;
}
