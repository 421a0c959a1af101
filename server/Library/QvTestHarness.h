#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

// The test log that scripts keep with the TestHarness functions: a title, then one
// line per test with its name, the seconds it took and whether it succeeded. The pass
// flag and start time are shared by every script of the process.
class QvTestHarness {
public:
    // Milliseconds on a clock that only moves forward.
    using Clock = std::function<int64_t()>;

    explicit QvTestHarness(Clock clock = steadyMilliseconds);
    static QvTestHarness& process();
    static int64_t steadyMilliseconds();

    // Each returns false when the log could not be written.
    // Starts the log afresh with its title.
    bool clear(const std::string& logPath);
    // Starts a test: its name on a new line; the clock starts and the test passes so far.
    bool begin(const std::string& logPath, const std::string& testName);
    // Ends the test with `success`, or when not given with whether every requirement
    // held, appending the elapsed seconds and the outcome; `passed` tells the outcome.
    bool end(const std::string& logPath, std::optional<bool> success, bool& passed);
    // A requirement that failed once fails the whole test.
    void require(bool condition);

    void setLogging(bool active) { logging_ = active; }
    void setLogNames(bool active) { logNames_ = active; }

private:
    static bool write(const std::string& logPath, const std::string& text, bool append);

    Clock clock_;
    std::mutex lock_;
    bool passing_ = true;
    int64_t start_;
    std::atomic<bool> logging_{false};
    std::atomic<bool> logNames_{false};
};
