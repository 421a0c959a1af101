#pragma once
#include <atomic>
#include <cstdint>

#include "QvExport.h"
#include "Values/QvMutexLock.h"

// Base of every reference-counted engine object (values, graphics, pixel buffers).
//
// Two counts describe an object: the reference count starts at 1 (the creator's
// reference) and the holder count at 0 (the number of qv_auto_value handles pointing
// here). The first holder adopts the creator's reference; every later holder adds one
// of each, and a release removes one of each, destroying the object with its last
// reference. The two therefore always agree once the object is held (references are
// the holders, and 1 before the first holder), so one atomic counter carries both and
// a handle copy costs a single atomic increment. The engine-wide lock
// (GetAutoObjectMutex) stays available to callers that must order their own work
// around counting; counting itself never takes it.
// Two counting steps need no atomic read-modify-write, which costs far more than a
// plain access: adopting an object nobody holds yet (only its creator can reach it),
// and releasing the last holder (no other thread may still reach the object through a
// handle, so none may change the count meanwhile).
class QV_EXPORT QvAutoObject {
public:
    QvAutoObject() = default;
    // A copy is a new object: it starts with its own fresh counters.
    QvAutoObject(const QvAutoObject&) : QvAutoObject() {}
    QvAutoObject& operator=(const QvAutoObject&) { return *this; }
    virtual ~QvAutoObject() = default;

    uint32_t referenceCount() const {
        uint32_t holders = holders_.load(std::memory_order_acquire);
        return holders ? holders : 1;
    }
    uint32_t holderCount() const { return holders_.load(std::memory_order_acquire); }

    // Counting rules used by qv_auto_value; not meant for direct use.
    void takeHolder() {
        if (holders_.load(std::memory_order_relaxed) == 0)
            holders_.store(1, std::memory_order_relaxed);
        else
            holders_.fetch_add(1, std::memory_order_relaxed);
    }
    // The last holder's release destroys the object.
    void releaseHolder() {
        if (holders_.load(std::memory_order_acquire) <= 1 || holders_.fetch_sub(1, std::memory_order_acq_rel) <= 1)
            destroy(this);
    }
    // Deletes the object. Objects whose last holder goes while another is being
    // destroyed on this thread (the elements of a list) wait in a work list and are
    // deleted one after another, so a deeply nested value is freed without recursion.
    static void destroy(QvAutoObject* object);

protected:
    // The same counting for objects that only ever live on one thread at a time (a run's
    // variables): plain reads and writes instead of atomic read-modify-writes, which
    // cost far more. Adopting (0 to 1) and adding a holder are then the same step.
    void takeHolderOnOneThread() { holders_.store(holders_.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed); }
    void releaseHolderOnOneThread() {
        uint32_t holders = holders_.load(std::memory_order_relaxed);
        if (holders <= 1)
            destroy(this);
        else
            holders_.store(holders - 1, std::memory_order_relaxed);
    }

private:
    std::atomic<uint32_t> holders_{0};
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
