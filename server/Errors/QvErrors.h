#pragma once
#include <atomic>

#include "QvExport.h"

// The raising helpers that engine code and plug-ins share.

// Throws new QvException(text).
QV_C_EXPORT __attribute__((noreturn)) void QvError(const char* text);
// Appends text to the process-wide warning console; adds no line end.
QV_C_EXPORT void QvWarning(const char* text);
// Throws new QvInterruptException once the process-wide abort flag is set, and the
// error "Execution cancelled by user." once the run on this thread has been asked to
// stop (see Errors/QvYieldScope.h).
QV_C_EXPORT void QvYield();
// Sets the process-wide abort flag for the rest of the process's life.
QV_C_EXPORT void QvSetAbortEverything();

// What QvYield polls. Engine code reads it inline (QvYieldFast), so it is declared here.
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
