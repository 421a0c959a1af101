#pragma once
#include <atomic>

// While it lives, QvYield on this thread also watches a run's stop request, so that
// plug-in functions calling it end their long loops when the run is stopped.
class QvYieldScope {
public:
    explicit QvYieldScope(const std::atomic<bool>& stopRequested);
    ~QvYieldScope();
    QvYieldScope(const QvYieldScope&) = delete;
    QvYieldScope& operator=(const QvYieldScope&) = delete;

private:
    const std::atomic<bool>* outer_;
};

// Whether QvYield would stop now, without raising: for long work that polls between
// steps it cannot interrupt (media work in the media module).
bool QvStopRequested();
