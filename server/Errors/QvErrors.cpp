#include "Errors/QvErrors.h"

#include <atomic>

#include "Errors/QvException.h"
#include "Errors/QvExceptions.h"
#include "Session/QvWarningConsole.h"

std::atomic<bool> QvAbortFlag::raised{false};

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
    if (QvAbortFlag::raised.load(std::memory_order_relaxed))
        throw new QvInterruptException;
}

void QvSetAbortEverything() { QvAbortFlag::raised.store(true, std::memory_order_relaxed); }
