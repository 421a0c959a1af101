#pragma once
// Strings that cross the interfaces: UTF-16 code units, NUL-terminated, with their
// length in bytes stored in the 32 bits before the first unit. They are allocated and
// freed with the C heap by these inline functions, so a host and a module that each
// compile this header share one allocator.
#include <cstdlib>
#include <cstring>

#include "QvComTypes.h"

namespace QvBstrLayout {
constexpr size_t kPrefixBytes = sizeof(uint32_t);
constexpr UINT kMaxLength = (UINT32_MAX - kPrefixBytes - sizeof(OLECHAR)) / sizeof(OLECHAR);

inline uint32_t* prefixOf(BSTR text) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(text) - kPrefixBytes);
}
}

// A new string of `length` units copied from `text`, or zero units when `text` is null.
inline BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    if (length > QvBstrLayout::kMaxLength) return nullptr;
    size_t bytes = size_t(length) * sizeof(OLECHAR);
    char* block = static_cast<char*>(std::malloc(QvBstrLayout::kPrefixBytes + bytes + sizeof(OLECHAR)));
    if (!block) return nullptr;
    uint32_t prefix = static_cast<uint32_t>(bytes);
    std::memcpy(block, &prefix, sizeof prefix);
    BSTR result = reinterpret_cast<BSTR>(block + QvBstrLayout::kPrefixBytes);
    if (text)
        std::memcpy(result, text, bytes);
    else
        std::memset(result, 0, bytes);
    result[length] = u'\0';
    return result;
}

inline BSTR SysAllocString(const OLECHAR* text) {
    if (!text) return nullptr;
    size_t length = 0;
    while (text[length]) ++length;
    if (length > QvBstrLayout::kMaxLength) return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(length));
}

inline UINT SysStringByteLen(BSTR text) { return text ? *QvBstrLayout::prefixOf(text) : 0; }

inline UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / sizeof(OLECHAR); }

inline void SysFreeString(BSTR text) {
    if (text) std::free(QvBstrLayout::prefixOf(text));
}
