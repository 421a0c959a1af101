#include "Errors/QvErrors.h"

#include <atomic>

#include "Errors/QvException.h"
#include "Errors/QvExceptions.h"
#include "Errors/QvStopRequests.h"
#include "Session/QvWarningConsole.h"

namespace {
std::atomic<bool> abortEverything{false};
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
}

void QvSetAbortEverything() { abortEverything.store(true, std::memory_order_relaxed); }

bool QvAbortEverythingRequested() { return abortEverything.load(std::memory_order_relaxed); }
