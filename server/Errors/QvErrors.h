#pragma once
#include <atomic>

#include "QvExport.h"

// The raising helpers that engine code and plug-ins share.

// Throws new QvException(text).
QV_C_EXPORT __attribute__((noreturn)) void QvError(const char* text);
// Appends text to the process-wide warning console; adds no line end.
QV_C_EXPORT void QvWarning(const char* text);
// Throws new QvInterruptException once the process-wide abort flag is set.
QV_C_EXPORT void QvYield();
// Sets the process-wide abort flag for the rest of the process's life.
QV_C_EXPORT void QvSetAbortEverything();

namespace QvAbortFlag {
// The process-wide abort flag that QvSetAbortEverything sets and QvYield polls.
extern std::atomic<bool> raised;
}

// QvYield for the engine's own hot paths: the same poll, inline.
inline void QvYieldFast() {
    if (QvAbortFlag::raised.load(std::memory_order_relaxed)) QvYield();
}
