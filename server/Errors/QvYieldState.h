#pragma once
#include <atomic>

#include "Errors/QvErrors.h"

// What QvYield polls, for the engine's own hot paths, which read it inline. Engine
// code only: the flags are not exported to plug-ins.
namespace QvYieldState {
// The process-wide abort flag that QvSetAbortEverything sets.
extern std::atomic<bool> abortEverything;
// The stop request of the run on this thread (see Errors/QvYieldScope.h), or null. Read
// on every variable lookup, so it takes the cheapest way to thread-local storage.
extern __attribute__((tls_model("initial-exec"))) thread_local const std::atomic<bool>* stopRequested;

// True once either flag is raised.
inline bool raised() {
    const std::atomic<bool>* stop = stopRequested;
    return abortEverything.load(std::memory_order_relaxed) || (stop && stop->load(std::memory_order_relaxed));
}
}

// QvYield for the engine's own hot paths: the same polls, inline.
inline void QvYieldFast() {
    if (QvYieldState::raised()) QvYield();
}
