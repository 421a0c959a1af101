#include "Plugins/QvStackGuard.h"

#include <pthread.h>

#include <algorithm>
#include <cstdint>

#include "Errors/QvErrors.h"

namespace {
// The lowest usable address of this thread's stack (stacks grow downwards here);
// 0 when the system cannot tell, which turns the check off.
uintptr_t stackLimit() {
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) return 0;
    void* base = nullptr;
    size_t size = 0;
    int status = pthread_attr_getstack(&attributes, &base, &size);
    pthread_attr_destroy(&attributes);
    return status == 0 ? reinterpret_cast<uintptr_t>(base) + QvStackGuard::kReserveBytes : 0;
}
}

__attribute__((tls_model("initial-exec"))) thread_local uintptr_t QvStackGuard::limit_ = UINTPTR_MAX;

bool QvStackGuard::belowLimit(uintptr_t frame) {
    if (limit_ == UINTPTR_MAX) limit_ = std::max<uintptr_t>(stackLimit(), 1);
    return frame < limit_;
}

void QvStackGuard::checkThoroughly() {
    if (belowLimit(reinterpret_cast<uintptr_t>(__builtin_frame_address(0))))
        QvError("Function calls nested too deeply: the script ran out of stack space.");
}
