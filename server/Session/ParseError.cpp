#include "Session/ParseError.h"

#include "Session/QvParser.h"

ParseError::ParseError(QvParser* owner, int line, int fileIndex, const std::string& text,
                       int tokenType, const std::string& message)
    : owner_(owner), line_(line), fileIndex_(fileIndex), text_(text), tokenType_(tokenType),
      message_(message) {}

void ParseError::appendLine(const std::string& text) { message_ += "\n        " + text; }

void ParseError::writeTo(std::ostream& os) const {
    if (line_ < 1) {
        os << "Script Error -------------------------" << std::endl
           << text_ << std::endl
           << "--------------------------------------" << std::endl
           << message_ << std::endl
           << std::endl;
        return;
    }
    owner_->sourceMap().outputError(os, line_, fileIndex_);
    os << ": (" << text_ << ")" << std::endl << message_ << std::endl << std::endl;
}
