#pragma once
#include <functional>

// Runs work on a thread of its own with a stack large enough for deep recursion of
// script functions (some 50,000 nested calls), and waits for it. The work must not
// throw. Falls back to the calling thread when no such thread can be made.
class QvLargeStack {
public:
    static constexpr size_t kStackBytes = 64UL * 1024 * 1024;
    static void run(const std::function<void()>& work);
};
