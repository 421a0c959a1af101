#include "Media/QvMediaTask.h"

#include <algorithm>

#include "Errors/QvErrors.h"
#include "Errors/QvYieldScope.h"
#include "HostServices/QvHostServices.h"

namespace {
constexpr double kSmallestStep = 0.01;
constexpr std::chrono::milliseconds kLongestQuiet{100};
}

QvMediaTask::QvMediaTask(std::string what)
    : what_(std::move(what)), work_{this, &QvMediaTask::shouldStop, &QvMediaTask::progress} {}

QvMediaTask::~QvMediaTask() {
    if (reported_ >= 0 && reported_ < 1) QvGetHostServices()->reportProgress(what_, 1.0);
}

void QvMediaTask::report(double fraction) {
    fraction = std::clamp(fraction, 0.0, 1.0);
    auto now = std::chrono::steady_clock::now();
    if (reported_ >= 0 && fraction < 1 && fraction - reported_ < kSmallestStep && now - reportedAt_ < kLongestQuiet)
        return;
    reported_ = fraction;
    reportedAt_ = now;
    QvGetHostServices()->reportProgress(what_, fraction);
}

void QvMediaTask::setSpan(double from, double to) {
    spanFrom_ = from;
    spanTo_ = to;
}

void QvMediaTask::checkStop() const { QvYield(); }

int32_t QvMediaTask::shouldStop(void*) { return QvStopRequested() ? 1 : 0; }

void QvMediaTask::progress(void* context, double fraction) {
    QvMediaTask& task = *static_cast<QvMediaTask*>(context);
    task.report(task.spanFrom_ + fraction * (task.spanTo_ - task.spanFrom_));
}
