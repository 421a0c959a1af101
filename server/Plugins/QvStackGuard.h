#pragma once

// Script functions recurse on the thread's own stack. Before a call goes deeper, the
// guard makes sure a safe reserve is left and otherwise raises a run-time error, so
// that runaway recursion ends the script instead of the process.
class QvStackGuard {
public:
    static constexpr unsigned long kReserveBytes = 256 * 1024;
    // Raises "Function calls nested too deeply: the script ran out of stack space."
    static void check();
};
