#pragma once
#include <utility>

#include "Values/QvAutoObject.h"

// A handle holding one counted reference to a QvAutoObject (see the counting rules
// there). Moving a handle hands its reference over without touching the counts.
template <class T>
class qv_auto_value {
public:
    qv_auto_value() = default;
    qv_auto_value(T* object) : object_(object) { take(); }  // NOLINT: adopting a new object reads naturally
    qv_auto_value(const qv_auto_value& other) : object_(other.object_) { take(); }
    qv_auto_value(qv_auto_value&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    template <class U>
    qv_auto_value(const qv_auto_value<U>& other) : object_(other.get()) {  // NOLINT: upcast like a pointer
        take();
    }
    ~qv_auto_value() { drop(); }

    qv_auto_value& operator=(T* object) {
        if (object != object_) {
            T* previous = std::exchange(object_, object);
            take();
            if (previous)
                previous->releaseHolder();
        }
        return *this;
    }
    qv_auto_value& operator=(const qv_auto_value& other) { return *this = other.object_; }
    qv_auto_value& operator=(qv_auto_value&& other) noexcept {
        if (this != &other) {
            drop();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset() { *this = nullptr; }

    // Copy-on-write: before writing into the held object, replace a shared one by
    // its clone so that no other holder sees the change.
    void makeUnique() {
        if (object_ && object_->referenceCount() != 1)
            *this = static_cast<T*>(object_->Clone());
    }

private:
    void take() {
        if (object_)
            object_->takeHolder();
    }
    void drop() {
        if (object_)
            std::exchange(object_, nullptr)->releaseHolder();
    }

    T* object_ = nullptr;
};
