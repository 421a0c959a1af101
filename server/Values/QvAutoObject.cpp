#include "Values/QvAutoObject.h"

QvMutexLock* GetAutoObjectMutex() {
    static QvMutexLock engineWideLock;
    return &engineWideLock;
}

void QvAutoObjectDelete(QvAutoObject* object) { delete object; }

void QvNumberDelete(QvAutoObject* object) __attribute__((alias("QvAutoObjectDelete"), nothrow));
void QvTextDelete(QvAutoObject* object) __attribute__((alias("QvAutoObjectDelete"), nothrow));
void QvVectorDelete(QvAutoObject* object) __attribute__((alias("QvAutoObjectDelete"), nothrow));
void QvListDelete(QvAutoObject* object) __attribute__((alias("QvAutoObjectDelete"), nothrow));
