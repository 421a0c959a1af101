#pragma once
#include <string>

// Token numbers must be known before any header of the parser library.
#include "FrontEnd/QvTokens.h"
#include "pcctscfg.h"
#include "AToken.h"

#include "QvExport.h"

// One token of a script: type, text (after escape processing) and the line it starts
// on. Every token object made in the process gets the next serial number.
class QV_EXPORT QvToken : public ANTLRRefCountToken {
public:
    QvToken() = default;
    QvToken(ANTLRTokenType type, const char* text, int line);
    QvToken(const QvToken& other);
    QvToken& operator=(const QvToken&) = delete;

    ANTLRTokenType getType() const override { return type_; }
    void setType(ANTLRTokenType type) override { type_ = type; }
    int getLine() const override { return line_; }
    void setLine(int line) override { line_ = line; }
    ANTLRChar* getText() const override { return const_cast<ANTLRChar*>(text_.c_str()); }
    void setText(const ANTLRChar* text) override { text_ = text ? text : ""; }
    ANTLRAbstractToken* makeToken(ANTLRTokenType type, ANTLRChar* text, int line) override;

    int serial() const { return serial_; }
    const std::string& text() const { return text_; }

private:
    static int nextSerial();

    int line_ = 0;
    int serial_ = nextSerial();
    ANTLRTokenType type_ = Invalid;
    std::string text_;
};
