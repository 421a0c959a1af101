#pragma once
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <vector>

#include "QvBatchRun.h"
#include "QvRunSetup.h"

// Runs a batch's runs as child processes, a number at a time. Each child gets a
// process group of its own, so that nothing it starts outlives a stop, and ends when
// the batch does. A run past its time limit is asked to stop as Ctrl-C would, then
// killed two seconds later. The first stop request (Ctrl-C) starts no more runs and
// asks the running ones to stop; a second kills them at once.
class QvProcessPool {
public:
    using Clock = std::chrono::steady_clock;
    // Called after each run ends, and a few times a second while runs go on.
    using Listener = std::function<void()>;

    QvProcessPool(const QvRunSetup& setup, unsigned slots) : setup_(setup), slots_(slots ? slots : 1) {}

    // Runs runs[i] for every i of `todo`, in that order; false when stopped early.
    bool run(std::vector<QvBatchRun>& runs, const std::vector<size_t>& todo, const Listener& listener);
    size_t running() const { return children_.size(); }

    static constexpr std::chrono::seconds kGraceAfterStop{2};

private:
    struct Child {
        size_t run;
        pid_t pid;
        Clock::time_point started;
        Clock::time_point deadline;  // max when there is no time limit
        Clock::time_point killAt = Clock::time_point::max();
        bool timedOut = false;
        bool cancelled = false;
    };

    void start(QvBatchRun& run, size_t index);
    void startFailed(QvBatchRun& run, const std::string& error);
    // Reaps the children that ended; true when any did.
    bool reap(std::vector<QvBatchRun>& runs);
    void finish(QvBatchRun& run, const Child& child, int waitStatus);
    void enforceDeadlines();
    void stopAll(bool kill);
    Clock::time_point nextWake() const;

    const QvRunSetup& setup_;
    unsigned slots_;
    std::vector<Child> children_;
    int handledStops_ = 0;
};
