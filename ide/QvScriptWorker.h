#pragma once
#include <functional>
#include <string>
#include <thread>

class QvParser;

// Executes one session on a thread of its own, with the media layer started around
// the run. Whatever escapes the execution is reported on the session's console and
// ends the run as interrupted and done, so the host never waits for a dead script.
class QvScriptWorker {
public:
    using Execution = std::function<void(QvParser*)>;

    QvScriptWorker() = default;
    QvScriptWorker(const QvScriptWorker&) = delete;
    QvScriptWorker& operator=(const QvScriptWorker&) = delete;
    // Waits for the thread: the session must be done (or about to be).
    ~QvScriptWorker() { join(); }

    void start(QvParser* session);
    void join();
    bool started() const { return thread_.joinable(); }

    // The thread's work; the execution is QvParserExecute unless a test replaces it.
    static void run(QvParser* session, const Execution& execute);
    // The console report for a status code a platform call threw.
    static std::string systemErrorReport(long code);

private:
    std::thread thread_;
};
