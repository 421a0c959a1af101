#include "Library/QvTestHarness.h"

#include <chrono>
#include <fstream>

#include "Values/QvNumberValue.h"

QvTestHarness::QvTestHarness(Clock clock) : clock_(std::move(clock)), start_(clock_()) {}

QvTestHarness& QvTestHarness::process() {
    static QvTestHarness harness;
    return harness;
}

int64_t QvTestHarness::steadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool QvTestHarness::write(const std::string& logPath, const std::string& text, bool append) {
    std::ofstream log(logPath, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    log << text;
    log.close();
    return !log.fail();
}

bool QvTestHarness::clear(const std::string& logPath) { return write(logPath, "Quarvel Test Harness", false); }

bool QvTestHarness::begin(const std::string& logPath, const std::string& testName) {
    std::lock_guard<std::mutex> hold(lock_);
    start_ = clock_();
    passing_ = true;
    return write(logPath, "\n" + testName + " ... ", true);
}

bool QvTestHarness::end(const std::string& logPath, std::optional<bool> success, bool& passed) {
    std::lock_guard<std::mutex> hold(lock_);
    passed = success.value_or(passing_);
    std::string seconds = QvNumberValue::FormatNumber(double(clock_() - start_) * 0.001);
    return write(logPath, " [ " + seconds + " ]  " + (passed ? "succeeded" : "FAILED!!!"), true);
}

void QvTestHarness::require(bool condition) {
    std::lock_guard<std::mutex> hold(lock_);
    passing_ = passing_ && condition;
}
