#pragma once
#include <chrono>

// The signals a batch waits on: a child's end (SIGCHLD) and requests to stop (Ctrl-C
// or SIGTERM). Each arrival wakes wait(); stop requests are counted.
class QvBatchSignals {
public:
    // Installs the handlers; once per process.
    static void install();
    // Sleeps until a signal arrives or the time is up.
    static void wait(std::chrono::milliseconds longest);
    static int stopRequests();
};
