#include "Errors/QvErrors.h"

#include <atomic>

#include "Errors/QvException.h"
#include "Errors/QvExceptions.h"
#include "Errors/QvYieldScope.h"
#include "Session/QvWarningConsole.h"

namespace {
std::atomic<bool> abortEverything{false};
// Read on every variable lookup, so it takes the cheapest way to thread-local storage.
__attribute__((tls_model("initial-exec"))) thread_local const std::atomic<bool>* stopRequested = nullptr;
}

void QvError(const char* text) { throw new QvException(text); }

void QvWarning(const char* text) {
    if (!text)
        return;
    struct HeldConsole {
        Qv_stringstream& stream = QvWarningConsole::acquire();
        ~HeldConsole() { QvWarningConsole::release(); }
    } console;
    console.stream << text;
}

void QvYield() {
    if (abortEverything.load(std::memory_order_relaxed))
        throw new QvInterruptException;
    const std::atomic<bool>* stop = stopRequested;
    if (stop && stop->load(std::memory_order_relaxed))
        QvError("Execution cancelled by user.");
}

QvYieldScope::QvYieldScope(const std::atomic<bool>& stop) : outer_(stopRequested) { stopRequested = &stop; }
QvYieldScope::~QvYieldScope() { stopRequested = outer_; }

bool QvStopRequested() {
    const std::atomic<bool>* stop = stopRequested;
    return abortEverything.load(std::memory_order_relaxed) || (stop && stop->load(std::memory_order_relaxed));
}

void QvSetAbortEverything() { abortEverything.store(true, std::memory_order_relaxed); }
