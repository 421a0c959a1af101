#pragma once
#include <string>
#include <string_view>

#include "QvComTypes.h"

// Conversions between the engine's UTF-8 text and the interfaces' UTF-16 strings.
// Malformed input (stray or truncated UTF-8 sequences, overlong forms, encoded
// surrogates, lone UTF-16 surrogates) becomes U+FFFD; nothing is thrown but memory
// exhaustion.
std::u16string QvUtf8ToUtf16(std::string_view text);
std::string QvUtf16ToUtf8(std::u16string_view text);
// A NUL-terminated interface string; null reads as empty.
std::string QvUtf8FromOleString(LPCOLESTR text);
// A new BSTR for the caller to free; null when memory runs out.
BSTR QvBstrFromUtf8(std::string_view text);
