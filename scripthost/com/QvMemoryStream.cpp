#include "QvMemoryStream.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "QvComObject.h"

namespace {
class QvMemoryStream final : public IStream, private QvComRefCount<QvMemoryStream> {
    friend class QvComRefCount<QvMemoryStream>;

public:
    QvMemoryStream(const uint8_t* data, size_t size, size_t capacity)
        : bytes_(data, data + size), capacity_(capacity) {}

    HRESULT QueryInterface(REFIID riid, void** object) override {
        return QvQueryOneInterface<IStream>(this, riid, object, {IID_ISequentialStream, IID_IStream});
    }
    ULONG AddRef() override { return addReference(); }
    ULONG Release() override { return releaseReference(); }

    HRESULT Read(void* buffer, ULONG size, ULONG* read) override {
        if (!buffer && size) return E_POINTER;
        std::lock_guard<std::mutex> guard(lock_);
        size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
        size_t count = std::min<size_t>(size, available);
        if (count) std::memcpy(buffer, bytes_.data() + position_, count);
        position_ += count;
        if (read) *read = static_cast<ULONG>(count);
        return S_OK;
    }

    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override {
        if (written) *written = 0;
        if (!buffer && size) return E_POINTER;
        std::lock_guard<std::mutex> guard(lock_);
        if (size > capacity_ || position_ > capacity_ - size) return STG_E_MEDIUMFULL;
        size_t end = position_ + size;
        HRESULT grown = growTo(end);
        if (FAILED(grown)) return grown;
        if (size) std::memcpy(bytes_.data() + position_, buffer, size);
        position_ = end;
        if (written) *written = size;
        return S_OK;
    }

    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
        std::lock_guard<std::mutex> guard(lock_);
        int64_t base = 0;
        if (origin == STREAM_SEEK_CUR)
            base = static_cast<int64_t>(position_);
        else if (origin == STREAM_SEEK_END)
            base = static_cast<int64_t>(bytes_.size());
        else if (origin != STREAM_SEEK_SET)
            return E_INVALIDARG;
        if ((move.QuadPart < 0 && base < -move.QuadPart) || (move.QuadPart > 0 && base > INT64_MAX - move.QuadPart))
            return E_INVALIDARG;
        position_ = static_cast<size_t>(base + move.QuadPart);
        if (newPosition) newPosition->QuadPart = position_;
        return S_OK;
    }

    HRESULT SetSize(ULARGE_INTEGER newSize) override {
        std::lock_guard<std::mutex> guard(lock_);
        if (newSize.QuadPart > capacity_) return STG_E_MEDIUMFULL;
        if (newSize.QuadPart < bytes_.size()) {
            bytes_.resize(static_cast<size_t>(newSize.QuadPart));
            return S_OK;
        }
        return growTo(static_cast<size_t>(newSize.QuadPart));
    }

    HRESULT CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read, ULARGE_INTEGER* written) override {
        if (!target) return E_POINTER;
        std::vector<uint8_t> chunk;
        {
            std::lock_guard<std::mutex> guard(lock_);
            size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
            size_t count = static_cast<size_t>(std::min<uint64_t>({size.QuadPart, available, UINT32_MAX}));
            chunk.assign(bytes_.begin() + position_, bytes_.begin() + position_ + count);
            position_ += count;
        }
        ULONG copied = 0;
        HRESULT result = target->Write(chunk.data(), static_cast<ULONG>(chunk.size()), &copied);
        if (read) read->QuadPart = chunk.size();
        if (written) written->QuadPart = copied;
        return result;
    }

    HRESULT Commit(DWORD) override { return S_OK; }
    HRESULT Revert() override { return S_OK; }
    HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }

    HRESULT Stat(STATSTG* status, DWORD) override {
        if (!status) return E_POINTER;
        std::lock_guard<std::mutex> guard(lock_);
        *status = STATSTG{};
        status->type = STGTY_STREAM;
        status->cbSize.QuadPart = bytes_.size();
        return S_OK;
    }

    HRESULT Clone(IStream** copy) override {
        if (copy) *copy = nullptr;
        return E_NOTIMPL;
    }

private:
    ~QvMemoryStream() = default;

    // The caller holds the lock; new bytes are zero.
    HRESULT growTo(size_t size) {
        if (size <= bytes_.size()) return S_OK;
        try {
            bytes_.resize(size);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (const std::length_error&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

    std::mutex lock_;
    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
    size_t capacity_;
};
}

HRESULT QvCreateMemoryStream(const void* data, size_t size, IStream** stream, size_t capacity) {
    if (!stream || (!data && size)) return E_POINTER;
    *stream = nullptr;
    if (size > capacity) return STG_E_MEDIUMFULL;
    try {
        *stream = new QvMemoryStream(static_cast<const uint8_t*>(data), size, capacity);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}
