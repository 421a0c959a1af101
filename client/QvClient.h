#pragma once
#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "QvClientWindow.h"

#include "Session/QvParserApi.h"
#include "Values/QvValue.h"

// The host side of running a script: owns one session at a time, runs it and polls it,
// moving console text, warnings and error records onto the host's own output. Hosts
// derive from it and override the output operations.
class QvClient {
public:
    QvClient() = default;
    QvClient(const QvClient&) = delete;
    QvClient& operator=(const QvClient&) = delete;
    virtual ~QvClient();

    // Polls until the session is done, then once more so nothing written last is lost.
    // A poll that found output is followed by the next at once.
    virtual void pollUntilDone();
    // Gives every new script window its client window and forgets those of windows
    // the script has closed.
    virtual void syncWindows();
    virtual void destroyWindows();
    // Hands each window whose update flag is set its newest graphics and redraws it.
    virtual void updateWindows();
    // Warnings, console, new error records, then the run-time error stream.
    virtual void flushOutput();
    // Hands what was written to the stream since its last read to writeText.
    virtual void writeStream(Qv_stringstream& stream);
    // Shows every error record not shown before, once.
    virtual void showParseErrors();
    // Writes to standard output; each '\n' or '\r' becomes one end of line.
    virtual void writeText(const char* text, int length);
    // Answers every input request of the session with the host's ask operation for
    // its type; a request of an unknown type is answered with no value.
    virtual void answerPendingInput();
    // The answers a host gives when it asks the user nothing. Each returns a new value
    // that the session takes over, or null for no value.
    virtual QvValue* askText();
    virtual QvValue* askBoolean();
    virtual QvValue* askNumber();

    void setSourceText(const std::string& text) { sourceText_ = text; }
    // A global variable every new session starts with; the client keeps a reference.
    void presetVariable(const std::string& name, QvValue* value);
    // The file that relative includes and paths resolve against; the client owns it.
    void setFile(QvFile* file);
    // Replaces the session by a fresh one over the source text.
    void createSession();
    // A fresh session whose syntax is checked, polled until done.
    void check();
    // check(), then, when that found no error, execution: on the calling thread, or on
    // a worker thread while this thread polls.
    void run(bool executeOnWorkerThread = false);

    QvParser* session() const { return session_; }

protected:
    static constexpr int kPollIntervalMs = 50;

    // Shows one error record that has not been shown yet.
    virtual void showParseError(ParseError* error);
    // The host's own kind of client window.
    virtual std::unique_ptr<QvClientWindow> createClientWindow(QvWindow* window);
    const std::map<QvWindow*, std::unique_ptr<QvClientWindow>>& clientWindows() const { return windows_; }

private:
    std::vector<QvWindow*> scriptWindows(QvParser* session) const;

    std::map<QvWindow*, std::unique_ptr<QvClientWindow>> windows_;
    std::vector<std::pair<std::string, QvValueRef>> presets_;

    std::atomic<QvParser*> session_{nullptr};
    size_t bytesTaken_ = 0;  // output taken from the session's streams so far
    std::string sourceText_;
    QvFile* file_ = nullptr;
};
