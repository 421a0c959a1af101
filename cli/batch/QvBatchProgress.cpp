#include "QvBatchProgress.h"

#include <unistd.h>

#include <algorithm>

namespace {
constexpr size_t kWidestInput = 48;

struct Counts {
    size_t done = 0, succeeded = 0, failed = 0, cancelled = 0, resumed = 0;
};

Counts countRuns(const std::vector<QvBatchRun>& runs) {
    Counts counts;
    for (const QvBatchRun& run : runs) {
        if (!run.finished()) continue;
        ++counts.done;
        if (run.resumed) ++counts.resumed;
        if (run.succeeded())
            ++counts.succeeded;
        else if (run.status == QvBatchRun::Status::Cancelled)
            ++counts.cancelled;
        else
            ++counts.failed;
    }
    return counts;
}

// A long input keeps its end, where the file name is.
std::string shortened(const std::string& input) {
    if (input.size() <= kWidestInput) return input;
    return "..." + input.substr(input.size() - (kWidestInput - 3));
}

std::string exitText(const QvBatchRun& run) {
    if (!run.signal.empty()) return run.signal;
    return run.exitStatus >= 0 ? std::to_string(run.exitStatus) : "-";
}
}

QvBatchProgress::QvBatchProgress() : enabled_(isatty(STDERR_FILENO) == 1) {}

void QvBatchProgress::show(const std::string& what, const std::vector<QvBatchRun>& runs, size_t running) {
    if (!enabled_) return;
    Counts counts = countRuns(runs);
    long seconds = static_cast<long>(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count());
    std::fprintf(stderr, "\r\033[K%s: %zu of %zu done", what.c_str(), counts.done, runs.size());
    if (counts.failed) std::fprintf(stderr, " (%zu failed)", counts.failed);
    if (running) std::fprintf(stderr, ", %zu running", running);
    std::fprintf(stderr, ", %ld:%02ld", seconds / 60, seconds % 60);
    std::fflush(stderr);
    shown_ = true;
}

void QvBatchProgress::clear() {
    if (!shown_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
}

void QvBatchSummary::print(std::FILE* out, const std::vector<QvBatchRun>& runs, const std::string& reportPath) {
    bool onlyFailures = runs.size() > kLongestFullTable;
    size_t inputWidth = 5;
    for (const QvBatchRun& run : runs)
        if (!onlyFailures || !run.succeeded()) inputWidth = std::max(inputWidth, shortened(run.input).size());
    int width = static_cast<int>(inputWidth);
    std::fprintf(out, "%-*s  %-9s  %7s  %8s  %s\n", width, "input", "status", "exit", "seconds", "error");
    for (const QvBatchRun& run : runs) {
        if (onlyFailures && run.succeeded()) continue;
        const char* status = run.resumed ? "resumed" : QvBatchRun::statusName(run.status);
        // Rows without an error end at the seconds, with no trailing blanks.
        std::fprintf(out, "%-*s  %-9s  %7s  %8.2f%s%s\n", width, shortened(run.input).c_str(), status,
                     exitText(run).c_str(), run.seconds, run.error.empty() ? "" : "  ", run.error.c_str());
    }
    Counts counts = countRuns(runs);
    if (onlyFailures && counts.succeeded)
        std::fprintf(out, "(%zu runs that succeeded are not listed)\n", counts.succeeded);
    std::fprintf(out, "%zu runs: %zu succeeded, %zu failed", runs.size(), counts.succeeded, counts.failed);
    if (counts.resumed) std::fprintf(out, " (%zu done before, kept by --resume)", counts.resumed);
    if (counts.cancelled) std::fprintf(out, ", %zu cancelled", counts.cancelled);
    if (counts.done < runs.size()) std::fprintf(out, ", %zu not started", runs.size() - counts.done);
    std::fprintf(out, "; report: %s\n", reportPath.c_str());
}
