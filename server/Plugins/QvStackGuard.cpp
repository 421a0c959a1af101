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

// The limit is worked out at the thread's first check (a limit of 1 lets every frame
// pass); a plain thread-local read costs far less than a guarded initialisation.
void QvStackGuard::check() {
    thread_local uintptr_t limit = 0;
    if (limit == 0) limit = std::max<uintptr_t>(stackLimit(), 1);
    if (reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < limit)
        QvError("Function calls nested too deeply: the script ran out of stack space.");
}
