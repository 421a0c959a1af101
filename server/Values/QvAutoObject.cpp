#include "Values/QvAutoObject.h"

#include <vector>

namespace {
// Flags are plain, so they can still be read once the work list has gone with its
// thread (static objects die after the main thread's work list).
thread_local bool destroying = false;
thread_local bool workListGone = false;

struct WorkList {
    std::vector<QvAutoObject*> objects;
    ~WorkList() { workListGone = true; }
};
thread_local WorkList waiting;

void defer(QvAutoObject* object) {
    try {
        waiting.objects.push_back(object);
    } catch (...) {
        delete object;  // no memory to defer it: free it at once, one level deeper
    }
}
}  // namespace

void QvAutoObject::destroy(QvAutoObject* object) {
    if (workListGone) {
        delete object;
        return;
    }
    if (destroying) {
        defer(object);
        return;
    }
    destroying = true;
    delete object;
    while (!waiting.objects.empty()) {
        QvAutoObject* next = waiting.objects.back();
        waiting.objects.pop_back();
        delete next;
    }
    destroying = false;
}

QvMutexLock* GetAutoObjectMutex() {
    static QvMutexLock engineWideLock;
    return &engineWideLock;
}

void QvAutoObjectDelete(QvAutoObject* object) { QvAutoObject::destroy(object); }

void QvNumberDelete(QvAutoObject* object) __attribute__((alias("QvAutoObjectDelete"), nothrow));
void QvTextDelete(QvAutoObject* object) __attribute__((alias("QvAutoObjectDelete"), nothrow));
void QvVectorDelete(QvAutoObject* object) __attribute__((alias("QvAutoObjectDelete"), nothrow));
void QvListDelete(QvAutoObject* object) __attribute__((alias("QvAutoObjectDelete"), nothrow));
