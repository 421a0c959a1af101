#include "QvUtf.h"

#include "QvBstr.h"

namespace {
constexpr char32_t kReplacement = 0xFFFD;

struct LeadByte {
    int continuations;    // bytes that must follow
    unsigned char low;    // range of the first of them
    unsigned char high;
};

// Valid UTF-8 lead bytes and the range of their first continuation byte, which rules
// out overlong forms, surrogates and values above U+10FFFF.
bool leadByte(unsigned char byte, LeadByte& lead) {
    if (byte >= 0xC2 && byte <= 0xDF) lead = {1, 0x80, 0xBF};
    else if (byte == 0xE0) lead = {2, 0xA0, 0xBF};
    else if (byte == 0xED) lead = {2, 0x80, 0x9F};
    else if (byte >= 0xE1 && byte <= 0xEF) lead = {2, 0x80, 0xBF};
    else if (byte == 0xF0) lead = {3, 0x90, 0xBF};
    else if (byte >= 0xF1 && byte <= 0xF3) lead = {3, 0x80, 0xBF};
    else if (byte == 0xF4) lead = {3, 0x80, 0x8F};
    else return false;
    return true;
}

// Decodes one character at `at` and moves past it; a malformed sequence yields U+FFFD
// and is skipped up to the first byte that cannot continue it.
char32_t decodeUtf8(std::string_view text, size_t& at) {
    unsigned char byte = static_cast<unsigned char>(text[at++]);
    if (byte < 0x80) return byte;
    LeadByte lead;
    if (!leadByte(byte, lead)) return kReplacement;
    static constexpr unsigned char kLeadMask[] = {0, 0x1F, 0x0F, 0x07};
    char32_t value = byte & kLeadMask[lead.continuations];
    for (int i = 0; i < lead.continuations; ++i) {
        unsigned char low = i == 0 ? lead.low : 0x80;
        unsigned char high = i == 0 ? lead.high : 0xBF;
        if (at >= text.size()) return kReplacement;
        unsigned char next = static_cast<unsigned char>(text[at]);
        if (next < low || next > high) return kReplacement;
        value = value << 6 | (next & 0x3F);
        ++at;
    }
    return value;
}

void appendUtf16(std::u16string& out, char32_t value) {
    if (value < 0x10000) {
        out += static_cast<char16_t>(value);
        return;
    }
    value -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (value >> 10));
    out += static_cast<char16_t>(0xDC00 + (value & 0x3FF));
}

void appendUtf8(std::string& out, char32_t value) {
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | value >> 6);
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xE0 | value >> 12);
        out += static_cast<char>(0x80 | (value >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | value >> 18);
        out += static_cast<char>(0x80 | (value >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (value >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
}

std::u16string QvUtf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) appendUtf16(out, decodeUtf8(text, at));
    return out;
}

std::string QvUtf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size(); ++at) {
        char16_t unit = text[at];
        if (isHighSurrogate(unit) && at + 1 < text.size() && isLowSurrogate(text[at + 1])) {
            char32_t value = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[at + 1] - 0xDC00);
            appendUtf8(out, value);
            ++at;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            appendUtf8(out, kReplacement);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::string QvUtf8FromOleString(LPCOLESTR text) {
    return text ? QvUtf16ToUtf8(std::u16string_view(text)) : std::string();
}

BSTR QvBstrFromUtf8(std::string_view text) {
    std::u16string wide = QvUtf8ToUtf16(text);
    if (wide.size() > QvBstrLayout::kMaxLength) return nullptr;
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}
