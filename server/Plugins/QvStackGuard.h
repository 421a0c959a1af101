#pragma once
#include <cstdint>

// Script functions recurse on the thread's own stack. Before a call goes deeper, the
// guard makes sure a safe reserve is left and otherwise raises a run-time error, so
// that runaway recursion ends the script instead of the process.
class QvStackGuard {
public:
    static constexpr unsigned long kReserveBytes = 256 * 1024;
    // Raises "Function calls nested too deeply: the script ran out of stack space."
    static void check() {
        if (reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < limit_) checkThoroughly();
    }

    // Whether a call from here would eat into the reserve; for code that has another way
    // out than an error.
    [[gnu::always_inline]] static bool exhausted() {
        const uintptr_t frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
        return frame < limit_ && belowLimit(frame);
    }

private:
    // Works the limit out at the thread's first check, then checks against it.
    static void checkThoroughly();
    static bool belowLimit(uintptr_t frame);
    // The lowest address a frame may have on this thread: the highest address until
    // the first check has worked it out, 1 when the system cannot tell.
    static __attribute__((tls_model("initial-exec"))) thread_local uintptr_t limit_;
};
