#pragma once
#include <atomic>

// Stop requests for work that runs long inside one statement (saving or recording a
// movie): the process-wide abort flag, and the stop flag of the session whose script
// runs on the calling thread.

// Whether the work is to stop.
bool QvStopRequested();
// Raises the stop as the evaluator does after a statement: an interrupt for the abort
// flag, "Execution Terminated by User." for the session's flag.
void QvCheckStopRequest();
// True once QvSetAbortEverything has been called.
bool QvAbortEverythingRequested();

// Marks `flag` as the stop flag of the script that runs on this thread, for the life
// of the scope.
class QvRunningScriptScope {
public:
    explicit QvRunningScriptScope(const std::atomic<bool>& flag);
    ~QvRunningScriptScope();
    QvRunningScriptScope(const QvRunningScriptScope&) = delete;
    QvRunningScriptScope& operator=(const QvRunningScriptScope&) = delete;

private:
    const std::atomic<bool>* previous_;
};
