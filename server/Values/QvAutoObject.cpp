#include "Values/QvAutoObject.h"

QvAutoObject::~QvAutoObject() = default;

void QvAutoObject::takeHolder() {
    uint64_t state = state_.load(std::memory_order_relaxed);
    uint64_t next;
    do {
        uint32_t references = unpackReferences(state);
        uint32_t holders = unpackHolders(state);
        next = holders == 0 ? packed(references, 1) : packed(references + 1, holders + 1);
    } while (!state_.compare_exchange_weak(state, next, std::memory_order_acq_rel, std::memory_order_relaxed));
}

void QvAutoObject::releaseHolder() {
    uint64_t state = state_.load(std::memory_order_acquire);
    while (true) {
        uint32_t references = unpackReferences(state);
        uint32_t holders = unpackHolders(state);
        if (references <= 1) {
            delete this;
            return;
        }
        uint64_t next = packed(references - 1, holders ? holders - 1 : 0);
        if (state_.compare_exchange_weak(state, next, std::memory_order_acq_rel, std::memory_order_acquire))
            return;
    }
}

QvMutexLock* GetAutoObjectMutex() {
    static QvMutexLock engineWideLock;
    return &engineWideLock;
}

void QvAutoObjectDelete(QvAutoObject* object) { delete object; }

void QvNumberDelete(QvAutoObject* object) __attribute__((alias("QvAutoObjectDelete")));
void QvTextDelete(QvAutoObject* object) __attribute__((alias("QvAutoObjectDelete")));
void QvVectorDelete(QvAutoObject* object) __attribute__((alias("QvAutoObjectDelete")));
void QvListDelete(QvAutoObject* object) __attribute__((alias("QvAutoObjectDelete")));
