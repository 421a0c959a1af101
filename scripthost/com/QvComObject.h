#pragma once
#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <utility>

#include "QvInterfaces.h"

// The reference count of an object that implements interfaces: it starts at one (the
// creator's reference) and the last release deletes the object as its own class.
template <class Derived>
class QvComRefCount {
protected:
    ULONG addReference() { return references_.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG releaseReference() {
        ULONG left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) delete static_cast<Derived*>(this);
        return left;
    }

private:
    std::atomic<ULONG> references_{1};
};

// QueryInterface of an object reached through one interface pointer, `self`, which
// answers IUnknown and every identifier in `answered`.
template <class Interface>
HRESULT QvQueryOneInterface(Interface* self, REFIID riid, void** object, std::initializer_list<IID> answered) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || std::find(answered.begin(), answered.end(), riid) != answered.end()) {
        *object = self;
        self->AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// Hands a new object out as the interface asked for. The creator's reference (null
// when the object could not be made) is dropped, so a refused interface frees it.
template <class Object>
HRESULT QvHandOut(Object* created, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!created) return E_OUTOFMEMORY;
    HRESULT result = created->QueryInterface(riid, object);
    created->Release();
    return result;
}

// Holds one reference to an interface and releases it when it goes.
template <class Interface>
class QvComPtr {
public:
    QvComPtr() = default;
    // Takes over a reference the caller owns.
    explicit QvComPtr(Interface* owned) : pointer_(owned) {}
    QvComPtr(const QvComPtr& other) : pointer_(other.pointer_) {
        if (pointer_) pointer_->AddRef();
    }
    QvComPtr(QvComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    QvComPtr& operator=(QvComPtr other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }
    ~QvComPtr() { reset(); }

    // A new reference to `pointer` (which stays the caller's).
    static QvComPtr share(Interface* pointer) {
        if (pointer) pointer->AddRef();
        return QvComPtr(pointer);
    }

    void reset() {
        if (Interface* old = std::exchange(pointer_, nullptr)) old->Release();
    }
    // Hands the reference to the caller.
    Interface* detach() { return std::exchange(pointer_, nullptr); }
    // Releases what is held and gives the slot for an out parameter to fill.
    Interface** put() {
        reset();
        return &pointer_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    Interface& operator*() const { return *pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

private:
    Interface* pointer_ = nullptr;
};
