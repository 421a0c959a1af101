#pragma once
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "QvBatchRun.h"

// How a batch goes, as one line that rewrites itself on a terminal (standard error);
// nothing when standard error is no terminal, so logs and pipes stay clean.
class QvBatchProgress {
public:
    QvBatchProgress();
    ~QvBatchProgress() { clear(); }

    // "<what>: 12 of 100 done (1 failed), 2 running, 0:42"
    void show(const std::string& what, const std::vector<QvBatchRun>& runs, size_t running);
    void clear();

private:
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

// The table a finished batch prints: input, status, exit status, seconds and first
// error line per run, then the counts. Beyond kLongestFullTable runs only those that
// did not succeed are listed (all are in the report).
class QvBatchSummary {
public:
    static constexpr size_t kLongestFullTable = 40;
    static void print(std::FILE* out, const std::vector<QvBatchRun>& runs, const std::string& reportPath);
};
