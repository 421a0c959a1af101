#pragma once
#include <string>

#include "QvPreprocessorTokens.h"
#include "AParser.h"
#include "QvDirectiveParserBase.h"

class QvPreprocessor;

// The directive parser's actions: copied text and directive replacements go to the
// output, includes to the preprocessor.
class QvDirectiveParser final : public QvDirectiveParserBase {
public:
    QvDirectiveParser(ANTLRTokenBuffer* tokens, QvPreprocessor& preprocessor, std::string& output)
        : QvDirectiveParserBase(tokens), preprocessor_(preprocessor), output_(output) {}

protected:
    void copy(ANTLRTokenPtr token) override { output_ += token->getText(); }
    void startName() override { name_.clear(); }
    void appendName(const char* text) override { name_ += text; }
    void include() override;
    void preprocessorError() override { output_ += "/##!Preprocessor Error"; }

private:
    QvPreprocessor& preprocessor_;
    std::string& output_;
    std::string name_;
};
