#include "FrontEnd/QvTokens.h"
#include "FrontEnd/QvToken.h"

#include <atomic>

QvToken::QvToken(ANTLRTokenType type, const char* text, int line)
    : line_(line), type_(type), text_(text ? text : "") {}

QvToken::QvToken(const QvToken& other)
    : ANTLRRefCountToken(), line_(other.line_), serial_(other.serial_), type_(other.type_),
      text_(other.text_) {}

ANTLRAbstractToken* QvToken::makeToken(ANTLRTokenType type, ANTLRChar* text, int line) {
    return new QvToken(type, text, line);
}

int QvToken::nextSerial() {
    static std::atomic<int> counter{0};
    return ++counter;
}
