#include "Errors/QvStopRequests.h"

#include "Errors/QvErrors.h"

namespace {
thread_local const std::atomic<bool>* runningScriptStop = nullptr;
}

bool QvStopRequested() {
    return QvAbortEverythingRequested() || (runningScriptStop && runningScriptStop->load(std::memory_order_relaxed));
}

void QvCheckStopRequest() {
    QvYield();
    if (runningScriptStop && runningScriptStop->load(std::memory_order_relaxed))
        QvError("Execution Terminated by User.");
}

QvRunningScriptScope::QvRunningScriptScope(const std::atomic<bool>& flag) : previous_(runningScriptStop) {
    runningScriptStop = &flag;
}

QvRunningScriptScope::~QvRunningScriptScope() { runningScriptStop = previous_; }
