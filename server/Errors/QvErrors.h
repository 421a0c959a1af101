#pragma once
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
