#include "FrontEnd/QvLexer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

#include "Plugins/QvPluginRegistry.h"
#include "Session/QvParser.h"
#include "Values/QvPropertyId.h"

namespace {
enum Colour { kKeyword = 6, kFunction = 7, kIdentifier = 8 };

bool isPropertyName(const char* name) {
    static const std::set<std::string> names = [] {
        std::set<std::string> all;
        for (int id = QV_PROPERTY_TYPE; id <= QV_PROPERTY_INPUT_FORMAT; ++id)
            if (id != QV_PROPERTY_WEEK) all.insert(QvPropertyName(static_cast<QvPropertyId>(id)));
        return all;
    }();
    return names.count(name) != 0;
}
}

QvLexer::QvLexer(QvTextInput* input, QvParser* session, unsigned bufferSize)
    : QvLexerBase(input, bufferSize), session_(session), source_(input->text()),
      sourceLength_(input->length()) {}

bool QvLexer::longestMatch(size_t& length, DfaState& acceptState) const {
    bool found = false;
    DfaState state = dfa_base[automaton];
    for (size_t i = scanPosition_;; ++i) {
        bool atEnd = i >= sourceLength_;
        int c = atEnd ? EOF : static_cast<unsigned char>(source_[i]);
        DfaState next = dfa[state][b_class_no[automaton][1 + c]];
        if (next == DfaStates) break;
        state = next;
        if (accepts[state]) {
            found = true;
            acceptState = state;
            length = i - scanPosition_ + (atEnd ? 0 : 1);
        }
        if (atEnd) break;
    }
    return found;
}

// Makes the next `length` characters the matched text; the copy the generated actions
// see is cut at the buffer size, the scanner's own view of the match is not.
void QvLexer::setMatch(size_t length) {
    matchStart_ = source_ + scanPosition_;
    matchLength_ = static_cast<long>(length);
    size_t copied = std::min(length, static_cast<size_t>(_bufsize - 1));
    std::memcpy(_lextext, matchStart_, copied);
    _lextext[copied] = '\0';
    _begexpr = _lextext;
    _endexpr = _lextext + copied - 1;
    scanPosition_ += length;
}

ANTLRTokenType QvLexer::nextTokenType() {
    for (;;) {
        size_t length = 0;
        DfaState state = 0;
        ANTLRTokenType type;
        add_erase = 0;
        if (longestMatch(length, state)) {
            setMatch(length);
            type = (this->*actions[accepts[state]])();
        } else {
            setMatch(1);
            type = erraction();
        }
        if (add_erase != 1) return type;
    }
}

_ANTLRTokenPtr QvLexer::getToken() {
    useText_ = false;
    ANTLRTokenType type = nextTokenType();
    const char* text = reinterpret_cast<const char*>(_lextext);
    int line = _line;
    if (useText_) {
        text = text_.c_str();
        line = textLine_;
    } else if (type == QV_TOK_EOF) {
        text = "";
    }
    return token_to_fill->makeToken(type, const_cast<ANTLRChar*>(text), line);
}

void QvLexer::setMode(int m) {
    if (m >= kModeCount) {
        char message[64];
        std::snprintf(message, sizeof message, "Invalid automaton mode = %d ", m);
        lexicalError(message);
        return;
    }
    mode(m);
}

// No pattern matches at the scan position: the one character matched is dropped.
ANTLRTokenType QvLexer::erraction() {
    advancePosition(1);
    lexicalError("invalid token");
    skip();
    return Invalid;
}

void QvLexer::errstd(const char* message) { lexicalError(message); }

void QvLexer::lexicalError(const char* message) { consoleError(std::string("Lexical Error: ") + message); }

void QvLexer::consoleError(const std::string& text) {
    std::ostream& console = session_->getConsole();
    console << text << ",";
    session_->sourceMap().writePosition(console, _line);
    console << "\n";
    session_->releaseConsole();
}

void QvLexer::advancePosition(long length) {
    tokenBegin_ = tokenEnd_ + 1;
    tokenEnd_ += static_cast<int>(length);
}

void QvLexer::openBlock(int kind) {
    blockOpen_ = true;
    blockKind_ = kind;
    blockBegin_ = tokenBegin_;
}

void QvLexer::closeBlock() {
    if (!blockOpen_) return;
    blockOpen_ = false;
    session_->getSyntaxBlockList().push_back(QvSyntaxBlock{blockBegin_, tokenEnd_, blockKind_});
    session_->releaseSyntaxBlockList();
}

void QvLexer::markBlock(int kind) {
    session_->getSyntaxBlockList().push_back(QvSyntaxBlock{tokenBegin_, tokenEnd_, kind});
    session_->releaseSyntaxBlockList();
}

void QvLexer::mark(int kind) {
    advancePosition(matchedLength());
    markBlock(kind);
}

void QvLexer::open(int kind) {
    advancePosition(matchedLength());
    openBlock(kind);
}

void QvLexer::close() {
    advancePosition(matchedLength());
    closeBlock();
}

void QvLexer::step() { advancePosition(matchedLength()); }

void QvLexer::startText() {
    text_.clear();
    textLine_ = _line;
}

void QvLexer::appendMatched() { text_.append(matchStart_, static_cast<size_t>(matchLength_)); }

// A backslash and three decimal digits: the character of that code, modulo 256.
void QvLexer::appendEscape() {
    const char* digits = matchStart_ + 1;
    int code = (digits[0] - '0') * 100 + (digits[1] - '0') * 10 + (digits[2] - '0');
    appendChar(code % 256);
}

// Closes a string or AppleScript block and hands out the text built so far. A string
// cut by a line end counts that line after the token, which keeps its own line.
ANTLRTokenType QvLexer::finishText(ANTLRTokenType type) {
    close();
    setMode(START);
    useText_ = true;
    if (type == QV_TOK_BADSTRING) newline();
    return type;
}

void QvLexer::startMarker() {
    markerText_.clear();
    markerReturnMode_ = START;
}

void QvLexer::startMarkerInComment() {
    markerText_.clear();
    markerReturnMode_ = BLOCKCOMMENT;
}

void QvLexer::appendMarker() {
    for (long i = 0; i < matchLength_; ++i) {
        unsigned char c = static_cast<unsigned char>(matchStart_[i]);
        if (c >= 32) markerText_.push_back(static_cast<char>(c));
    }
}

// A marker inside a block comment leaves the comment's block open and returns to it.
void QvLexer::finishMarker() {
    if (automaton != MARKER) return;
    processMarker();
    if (markerReturnMode_ == START) closeBlock();
    setMode(markerReturnMode_);
}

void QvLexer::processMarker() {
    QvSourceMap& map = session_->sourceMap();
    char kind = markerText_.empty() ? '\0' : markerText_[0];
    if (kind == '+')
        map.beginInclude(markerText_.substr(1), _line);
    else if (kind == '-')
        map.endInclude(_line);
    else if (kind == '!')
        consoleError(markerText_.substr(1));
    // The marker's own line end: counted here so that lines after any /## line,
    // whatever it says, keep their numbers.
    newline();
    markerText_.clear();
}

ANTLRTokenType QvLexer::identifier() {
    advancePosition(matchedLength());
    const char* name = reinterpret_cast<const char*>(_lextext);
    if (isPropertyName(name))
        markBlock(kKeyword);
    else if (QvPluginRegistry::THE_PluginRegistry().hasInternalFunction(name))
        markBlock(kFunction);
    else
        markBlock(kIdentifier);
    return QV_TOK_IDENT;
}

ANTLRTokenType QvLexer::endOfInput() {
    closeBlock();
    return QV_TOK_EOF;
}
