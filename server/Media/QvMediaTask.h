#pragma once
#include <chrono>
#include <string>

#include "Media/QvMediaModuleAbi.h"

// Long media work as the engine sees it: progress goes to the host's services, stop
// requests come from the script running on this thread. The module polls both through
// the plain record `work()`.
class QvMediaTask {
public:
    // `what` names the work for the host, as "Saving movie".
    explicit QvMediaTask(std::string what);
    // Reports the work done when anything was reported.
    ~QvMediaTask();
    QvMediaTask(const QvMediaTask&) = delete;
    QvMediaTask& operator=(const QvMediaTask&) = delete;

    // Passes on a fraction (0..1) when it moved by a percent or a tenth of a second passed.
    void report(double fraction);
    // The module's reports of the work it is given next run over [from, to] of the whole.
    void setSpan(double from, double to);
    // Raises the stop when one was asked for.
    void checkStop() const;
    const QvMediaWork* work() const { return &work_; }

private:
    static int32_t shouldStop(void* context);
    static void progress(void* context, double fraction);

    std::string what_;
    QvMediaWork work_;
    double reported_ = -1;
    double spanFrom_ = 0;
    double spanTo_ = 1;
    std::chrono::steady_clock::time_point reportedAt_;
};
