#include "QvPreprocessorTokens.h"
#include "FrontEnd/QvPreprocessor.h"

#include <algorithm>
#include <filesystem>

#include "ATokenBuffer.h"
#include "FrontEnd/QvDirectiveParser.h"
#include "FrontEnd/QvTextInput.h"
#include "Files/QvRegularFile.h"
#include "QvPreprocessorScanner.h"

namespace {
constexpr int kLookahead = 2;
constexpr int kTokenChunk = 50;
// Each level of nesting runs a parser of its own on the stack.
constexpr size_t kMaxIncludeDepth = 100;

// NUL bytes become spaces, as they do in a session's own text.
QvRegularFile::Status readText(const QvFile& file, size_t limit, std::string& text) {
    if (file.empty()) return QvRegularFile::NotFound;
    QvRegularFile::Status status = QvRegularFile::read(file.path(), limit, text);
    std::replace(text.begin(), text.end(), '\0', ' ');
    return status;
}

// Every spelling of a file (through links, "..", or links to folders) names the same
// file, so that it is inserted once; a file that cannot be resolved keeps its path.
std::string identityOf(const QvFile& file) {
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::canonical(file.path(), error);
    return error ? file.path() : canonical.string();
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
    if (!included_.insert(identityOf(file)).second) {
        output += "//#include '" + name + "'";
        return;
    }
    std::string content;
    QvRegularFile::Status status = readText(file, QvRegularFile::kLargestScript - includedBytes_, content);
    if (status == QvRegularFile::TooLarge) {
        output += "/##!Include Error: file '" + name + "' makes the script longer than " +
                  std::to_string(QvRegularFile::kLargestScript >> 20) + " MB";
        return;
    }
    if (status != QvRegularFile::Read) {
        output += "/##!Include Error: file '" + name + "'";
        return;
    }
    if (includeStack_.size() > kMaxIncludeDepth) {
        output += "/##!Include Error: file '" + name + "' nested more than " + std::to_string(kMaxIncludeDepth) +
                  " files deep";
        return;
    }
    includedBytes_ += content.size();
    IncludeScope scope(includeStack_, file);
    output += "/##+" + name + "\n";
    output += preprocess(content);
    output += "/##-";
}

QvFile QvPreprocessor::resolve(const std::string& name) const {
    if (includeStack_.empty() || includeStack_.back().empty()) return QvFile(name);
    return QvFile(includeStack_.back().directory()).resolve(name);
}
