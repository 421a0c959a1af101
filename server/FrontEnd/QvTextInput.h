#pragma once
// Include the token numbers of the scanner that reads the input before this header.
#include <cstddef>

#include "DLexerBase.h"

// A text in memory as a scanner reads it: all of it is at hand, so a scanner can go
// back to the end of the longest match after looking further ahead, and NUL bytes
// are characters like any other.
class QvTextInput final : public DLGInputStream {
public:
    QvTextInput(const char* text, size_t length) : text_(text), length_(length) {}
    int nextChar() override { return position_ < length_ ? static_cast<unsigned char>(text_[position_++]) : EOF; }
    const char* text() const { return text_; }
    size_t length() const { return length_; }

private:
    const char* text_;
    size_t length_;
    size_t position_ = 0;
};
