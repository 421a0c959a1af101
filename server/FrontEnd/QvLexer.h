#pragma once
#include <string>

#include "QvTokens.h"
#include "FrontEnd/QvToken.h"
#include "FrontEnd/AST.h"
#include "DLexerBase.h"
#include "FrontEnd/QvTextInput.h"
#include "QvLexerBase.h"

class QvParser;

// The scanner of one session. The generated base holds the seven modes' tables; this
// class gives the tokens their text and start line, keeps character positions for
// colouring, reports lexical errors on the session console and reads the marker
// lines that the preprocessor leaves in the text.
class QvLexer : public QvLexerBase {
public:
    static constexpr int kModeCount = 7;

    QvLexer(QvTextInput* input, QvParser* session, unsigned bufferSize);

    _ANTLRTokenPtr getToken() override;
    // Longest match with backtracking: the generated tables are walked as far as they
    // go and the scanner returns to the end of the longest accepted prefix, so that
    // "1." is a number and a dot, and "3ex" a number and an identifier.
    ANTLRTokenType nextTokenType() override;
    // Switches to mode m; a mode of 7 or more is reported and ignored.
    void setMode(int m);
    ANTLRTokenType erraction() override;
    void errstd(const char* message) override;
    void lexicalError(const char* message);
    // Writes text, ",", the current position and a line end to the session console.
    void consoleError(const std::string& text);

    // Colouring: a block spans from the token that opens it to the one that closes it.
    void openBlock(int kind);
    void closeBlock();
    void markBlock(int kind);

protected:
    void mark(int kind) override;
    void open(int kind) override;
    void close() override;
    void step() override;
    void newLine() override { newline(); }
    void startText() override;
    void appendMatched() override;
    void appendChar(int c) override { text_.push_back(static_cast<char>(c)); }
    void appendEscape() override;
    ANTLRTokenType finishText(ANTLRTokenType type) override;
    void startMarker() override;
    void startMarkerInComment() override;
    void appendMarker() override;
    void finishMarker() override;
    ANTLRTokenType identifier() override;
    ANTLRTokenType endOfInput() override;

private:
    void advancePosition(long length);
    long matchedLength() const { return matchLength_; }
    // The longest accepted prefix at the scan position: its length and DFA state.
    bool longestMatch(size_t& length, DfaState& state) const;
    void setMatch(size_t length);
    void processMarker();

    QvParser* session_;
    const char* source_;
    size_t sourceLength_;
    size_t scanPosition_ = 0;
    const char* matchStart_ = nullptr;
    long matchLength_ = 0;
    std::string markerText_;
    int markerReturnMode_ = START;
    bool blockOpen_ = false;
    int blockKind_ = 0;
    int blockBegin_ = 0;
    int tokenBegin_ = 0;
    int tokenEnd_ = 0;
    // Text and start line of a token the scanner assembles itself (strings, scripts).
    std::string text_;
    int textLine_ = 0;
    bool useText_ = false;
};
