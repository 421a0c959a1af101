#include "Errors/QvException.h"

QvException::QvException() = default;

QvException::QvException(const char* text) {
    if (text)
        text_ << text;
}

QvException::QvException(const std::string& text) { text_ << text; }

QvException::~QvException() = default;

std::string QvException::message() const { return text_.str(); }

std::ostream& QvException::stream() { return text_; }
