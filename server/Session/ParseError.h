#pragma once
#include <ostream>
#include <string>

#include "QvExport.h"

class QvParser;

// One reported error of a session, syntax or run-time: where it lies (line in its
// source file and that file's index), the offending text and the message.
class QV_EXPORT ParseError {
public:
    ParseError(QvParser* owner, int line, int fileIndex, const std::string& text, int tokenType,
               const std::string& message);

    QvParser* owner() const { return owner_; }
    int line() const { return line_; }
    int fileIndex() const { return fileIndex_; }
    const std::string& text() const { return text_; }
    int tokenType() const { return tokenType_; }
    const std::string& message() const { return message_; }
    bool displayed() const { return displayed_; }
    void setDisplayed() { displayed_ = true; }

    // Adds a further line to the message, indented by eight spaces.
    void appendLine(const std::string& text);
    // The error as hosts show it: its position (or a banner when it has none), the
    // offending text, the message and an empty line.
    void writeTo(std::ostream& os) const;

private:
    QvParser* owner_;
    int line_;
    int fileIndex_;
    std::string text_;
    int tokenType_;
    std::string message_;
    bool displayed_ = false;
};
