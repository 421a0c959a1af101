#include "QvPreprocessorTokens.h"
#include "FrontEnd/QvPreprocessor.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ATokenBuffer.h"
#include "FrontEnd/QvDirectiveParser.h"
#include "FrontEnd/QvTextInput.h"
#include "QvPreprocessorScanner.h"

namespace {
constexpr int kLookahead = 2;
constexpr int kTokenChunk = 50;
// Each level of nesting runs a parser of its own on the stack.
constexpr size_t kMaxIncludeDepth = 100;

// Regular files only: a device or a pipe could be endless. NUL bytes become spaces,
// as they do in a session's own text.
bool readText(const QvFile& file, std::string& text) {
    std::error_code error;
    if (file.empty() || !std::filesystem::is_regular_file(file.path(), error)) return false;
    std::ifstream in(file.path(), std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::replace(text.begin(), text.end(), '\0', ' ');
    return !in.bad();
}

// Pops what it pushed, also when the nested run ends in an exception.
class IncludeScope {
public:
    IncludeScope(std::deque<QvFile>& stack, const QvFile& file) : stack_(stack) { stack_.push_back(file); }
    ~IncludeScope() { stack_.pop_back(); }
    IncludeScope(const IncludeScope&) = delete;
    IncludeScope& operator=(const IncludeScope&) = delete;

private:
    std::deque<QvFile>& stack_;
};
}

QvPreprocessor::QvPreprocessor(std::deque<QvFile>& includeStack, std::set<std::string>& included)
    : includeStack_(includeStack), included_(included) {}

std::string QvPreprocessor::preprocess(const std::string& text) {
    if (text.find('#') == std::string::npos) return text;  // no directive to expand
    std::string output;
    output.reserve(text.size());
    QvTextInput input(text.data(), text.size());
    // A buffer as long as the text: no line is ever cut.
    QvPreprocessorScanner scanner(&input, static_cast<unsigned>(text.size() + 2));
    ANTLRCommonToken prototype;
    scanner.setToken(&prototype);
    ANTLRTokenBuffer tokens(&scanner, kLookahead, kTokenChunk);
    QvDirectiveParser parser(&tokens, *this, output);
    parser.init();
    parser.text();
    return output;
}

void QvPreprocessor::include(const std::string& name, std::string& output) {
    QvFile file = resolve(name);
    if (!included_.insert(file.path()).second) {
        output += "//#include '" + name + "'";
        return;
    }
    std::string content;
    if (!readText(file, content)) {
        output += "/##!Include Error: file '" + name + "'";
        return;
    }
    if (includeStack_.size() > kMaxIncludeDepth) {
        output += "/##!Include Error: file '" + name + "' nested more than " + std::to_string(kMaxIncludeDepth) +
                  " files deep";
        return;
    }
    IncludeScope scope(includeStack_, file);
    output += "/##+" + name + "\n";
    output += preprocess(content);
    output += "/##-";
}

QvFile QvPreprocessor::resolve(const std::string& name) const {
    if (includeStack_.empty() || includeStack_.back().empty()) return QvFile(name);
    return QvFile(includeStack_.back().directory()).resolve(name);
}
