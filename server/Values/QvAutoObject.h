#pragma once
#include <atomic>
#include <cstdint>

#include "QvExport.h"
#include "Values/QvMutexLock.h"

// Base of every reference-counted engine object (values, graphics, pixel buffers).
//
// Two counters: the reference count starts at 1 (the creator's reference) and the
// holder count starts at 0 (the number of qv_auto_value handles pointing here).
// Both live in one 64-bit atomic word so that they always change together without a
// lock on the hot path; the engine-wide lock (GetAutoObjectMutex) stays available to
// callers that must order their own work around counting, and taking it never blocks
// a count change.
class QV_EXPORT QvAutoObject {
public:
    QvAutoObject() = default;
    // A copy is a new object: it starts with its own fresh counters.
    QvAutoObject(const QvAutoObject&) : QvAutoObject() {}
    QvAutoObject& operator=(const QvAutoObject&) { return *this; }
    virtual ~QvAutoObject();

    uint32_t referenceCount() const { return unpackReferences(state_.load(std::memory_order_acquire)); }
    uint32_t holderCount() const { return unpackHolders(state_.load(std::memory_order_acquire)); }

    // Counting rules used by qv_auto_value; not meant for direct use.
    // A fresh object (no holders) is adopted: holders become 1, references stay 1.
    // Otherwise holders and references both grow by one.
    void takeHolder();
    // Holders shrink by one; the last reference destroys the object.
    void releaseHolder();

private:
    static constexpr uint64_t packed(uint32_t references, uint32_t holders) {
        return (uint64_t(references) << 32) | holders;
    }
    static constexpr uint32_t unpackReferences(uint64_t state) { return uint32_t(state >> 32); }
    static constexpr uint32_t unpackHolders(uint64_t state) { return uint32_t(state); }

    std::atomic<uint64_t> state_{packed(1, 0)};
};

// The engine-wide lock of the counting model; lives from library load to unload.
QV_C_EXPORT QvMutexLock* GetAutoObjectMutex();

// Destroys an object at once without consulting its counts; for objects the caller
// created and never handed to a holder. Null is ignored. Exported under the names
// hosts and plug-ins use for each kind of value.
QV_C_EXPORT void QvAutoObjectDelete(QvAutoObject* object);
QV_C_EXPORT void QvNumberDelete(QvAutoObject* object);
QV_C_EXPORT void QvTextDelete(QvAutoObject* object);
QV_C_EXPORT void QvVectorDelete(QvAutoObject* object);
QV_C_EXPORT void QvListDelete(QvAutoObject* object);
