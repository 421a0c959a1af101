#include "Errors/QvErrors.h"

#include <atomic>

#include "Errors/QvException.h"
#include "Errors/QvExceptions.h"
#include "Errors/QvYieldScope.h"
#include "Errors/QvYieldState.h"
#include "Session/QvWarningConsole.h"

std::atomic<bool> QvYieldState::abortEverything{false};
__attribute__((tls_model("initial-exec"))) thread_local const std::atomic<bool>* QvYieldState::stopRequested = nullptr;

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
    if (QvYieldState::abortEverything.load(std::memory_order_relaxed))
        throw new QvInterruptException;
    const std::atomic<bool>* stop = QvYieldState::stopRequested;
    if (stop && stop->load(std::memory_order_relaxed))
        QvError("Execution cancelled by user.");
}

QvYieldScope::QvYieldScope(const std::atomic<bool>& stop) : outer_(QvYieldState::stopRequested) {
    QvYieldState::stopRequested = &stop;
}
QvYieldScope::~QvYieldScope() { QvYieldState::stopRequested = outer_; }

bool QvStopRequested() { return QvYieldState::raised(); }

void QvSetAbortEverything() { QvYieldState::abortEverything.store(true, std::memory_order_relaxed); }
