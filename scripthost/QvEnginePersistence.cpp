// The engine's saved form: a 32-bit little-endian byte count n, then the n bytes of
// the script text (UTF-8). Loading refuses counts above the engine's text limit and
// streams that end early; neither a failed load nor a failed save changes the engine.
#include <algorithm>
#include <new>

#include "QvEngine.h"

using Guard = std::lock_guard<std::recursive_mutex>;

namespace {
constexpr ULONG kCountBytes = 4;

// Moves exactly `size` bytes, however the stream splits them: `move(offset, count,
// &moved)` is one call of the stream. A stream that moves nothing (or claims more than
// it was asked) ends the transfer with `shortfall`; its own failure ends it as it is.
template <class Move>
HRESULT moveExactly(ULONG size, HRESULT shortfall, Move move) {
    for (ULONG done = 0; done < size;) {
        ULONG moved = 0;
        HRESULT result = move(done, size - done, &moved);
        if (FAILED(result)) return result;
        if (moved == 0 || moved > size - done) return shortfall;
        done += moved;
    }
    return S_OK;
}

HRESULT readExactly(IStream* stream, uint8_t* buffer, ULONG size) {
    return moveExactly(size, STG_E_READFAULT,
                       [&](ULONG at, ULONG count, ULONG* moved) { return stream->Read(buffer + at, count, moved); });
}

HRESULT writeExactly(IStream* stream, const uint8_t* buffer, ULONG size) {
    return moveExactly(size, STG_E_WRITEFAULT,
                       [&](ULONG at, ULONG count, ULONG* moved) { return stream->Write(buffer + at, count, moved); });
}
}

HRESULT QvEngine::GetClassID(CLSID* classId) {
    if (!classId) return E_POINTER;
    return E_FAIL;
}

HRESULT QvEngine::IsDirty() {
    Guard guard(lock_);
    return dirty_ ? S_OK : S_FALSE;
}

HRESULT QvEngine::Load(LPSTREAM stream) {
    if (!stream) return E_POINTER;
    Guard guard(lock_);
    uint8_t count[kCountBytes];
    HRESULT result = readExactly(stream, count, kCountBytes);
    if (FAILED(result)) return result;
    uint32_t size = uint32_t(count[0]) | uint32_t(count[1]) << 8 | uint32_t(count[2]) << 16 | uint32_t(count[3]) << 24;
    if (size > kMaxScriptBytes) return E_OUTOFMEMORY;
    std::string bytes;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    result = readExactly(stream, reinterpret_cast<uint8_t*>(bytes.data()), size);
    if (FAILED(result)) return result;
    bytes.resize(std::min(bytes.find('\0'), bytes.size()));
    text_ = std::move(bytes);
    dirty_ = true;
    return result;
}

HRESULT QvEngine::Save(LPSTREAM stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    Guard guard(lock_);
    uint32_t size = static_cast<uint32_t>(text_.size());
    const uint8_t count[kCountBytes] = {uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), uint8_t(size >> 24)};
    HRESULT result = writeExactly(stream, count, kCountBytes);
    if (FAILED(result)) return result;
    result = writeExactly(stream, reinterpret_cast<const uint8_t*>(text_.data()), size);
    if (FAILED(result)) return result;
    if (clearDirty) dirty_ = false;
    return result;
}

HRESULT QvEngine::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    Guard guard(lock_);
    size->QuadPart = 2 * uint64_t(text_.size()) + kCountBytes;
    return S_OK;
}
