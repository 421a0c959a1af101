#include "QvClient.h"

#include <chrono>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>

#include "Values/QvBooleanValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"

QvClient::~QvClient() {
    destroyWindows();
    QvParserDelete(session_.exchange(nullptr));
    QvFileDelete(file_);
}

void QvClient::createSession() {
    destroyWindows();
    QvParserDelete(session_.exchange(nullptr));
    QvParser* session = QvParserCreate(sourceText_.data(), static_cast<long>(sourceText_.size()), file_);
    if (session)
        for (const auto& [name, value] : presets_) QvParserPresetVariable(session, name.c_str(), value.get());
    session_ = session;
}

void QvClient::presetVariable(const std::string& name, QvValue* value) { presets_.emplace_back(name, value); }

void QvClient::check() {
    createSession();
    if (!session_) return;
    QvParserCheckSyntax(session_);
    pollUntilDone();
}

void QvClient::setFile(QvFile* file) {
    QvFileDelete(file_);
    file_ = file;
}

// While the script prints, its output is taken again at once instead of after a pause,
// so that a script printing in a tight loop cannot pile text up in the engine. The
// first pauses are short, so that a short run ends as soon as it is done; they grow to
// the poll interval.
void QvClient::pollUntilDone() {
    int pause = 1;
    while (!QvParserGetDoneFlag(session_)) {
        updateWindows();
        size_t takenBefore = bytesTaken_;
        flushOutput();
        if (bytesTaken_ != takenBefore) continue;
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        pause = std::min(2 * pause, kPollIntervalMs);
    }
    updateWindows();
    flushOutput();
}

std::unique_ptr<QvClientWindow> QvClient::createClientWindow(QvWindow* window) {
    return std::make_unique<QvClientWindow>(window);
}

// The caller holds the session's window list.
std::vector<QvWindow*> QvClient::scriptWindows(QvParser* session) const {
    std::vector<QvWindow*> windows;
    for (long i = 0; QvWindow* window = QvParserGetWindow(session, i); ++i) windows.push_back(window);
    return windows;
}

void QvClient::syncWindows() {
    QvParser* session = session_;
    if (!session) return;
    QvParserGetWindowList(session);
    std::vector<QvWindow*> windows = scriptWindows(session);
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (std::find(windows.begin(), windows.end(), it->first) == windows.end())
            it = windows_.erase(it);
        else
            ++it;
    }
    for (QvWindow* window : windows)
        if (!windows_.count(window)) windows_.emplace(window, createClientWindow(window));
    QvParserReleaseWindowList(session);
}

void QvClient::destroyWindows() { windows_.clear(); }

// The window list stays held while the windows are read, so none can go meanwhile.
void QvClient::updateWindows() {
    QvParser* session = session_;
    if (!session) return;
    QvParserGetWindowList(session);
    syncWindows();
    for (QvWindow* window : scriptWindows(session)) {
        if (!window->getUpdateFlag()) continue;
        window->setUpdateFlag(false);
        QvClientWindow& client = *windows_.at(window);
        client.setGraphics(window->getQvGraphics());
        client.setPosition(window->getXPosition(), window->getYPosition());
        client.redraw();
    }
    QvParserReleaseWindowList(session);
}

void QvClient::flushOutput() {
    QvParser* session = session_;
    if (!session) return;
    writeStream(*QvParserGetWarningConsoleStream(session));
    QvParserReleaseWarningConsoleStream(session);
    writeStream(*QvParserGetConsoleStream(session));
    QvParserReleaseConsoleStream(session);
    showParseErrors();
    writeStream(*QvParserGetRuntimeErrorStream(session));
    QvParserReleaseRuntimeErrorStream(session);
}

void QvClient::writeStream(Qv_stringstream& stream) {
    std::string unread = stream.takeUnread();
    bytesTaken_ += unread.size();
    if (!unread.empty()) writeText(unread.data(), static_cast<int>(unread.size()));
    stream.clear();
}

void QvClient::showParseErrors() {
    QvParser* session = session_;
    int count = QvParserGetParseErrorCount(session);
    for (int i = 0; i < count; ++i) {
        ParseError* error = QvParserGetParseError(session, i);
        if (QvParseErrorGetDisplayedFlag(error)) continue;
        showParseError(error);
        QvParseErrorSetDisplayedFlag(error);
    }
    QvParserReleaseParseErrors(session);
}

void QvClient::showParseError(ParseError* error) {
    Qv_stringstream text;
    QvParseErrorWriteToStream(error, &text);
    writeStream(text);
}

// Written in runs between carriage returns: a script printing in a tight loop must
// not outpace its host.
void QvClient::writeText(const char* text, int length) {
    const char* end = text + length;
    while (text < end) {
        const char* run = static_cast<const char*>(std::memchr(text, '\r', size_t(end - text)));
        if (!run) run = end;
        std::fwrite(text, 1, size_t(run - text), stdout);
        if (run < end) std::fputc('\n', stdout);
        text = run + 1;
    }
    std::fflush(stdout);
}

void QvClient::answerPendingInput() {
    QvParser* session = session_;
    if (!session) return;
    while (QvParserGetPendingInputFlag(session)) {
        QvValue* answer = nullptr;
        switch (QvParserGetPendingInputType(session)) {
        case QV_INPUT_NUMBER: answer = askNumber(); break;
        case QV_INPUT_TEXT: answer = askText(); break;
        case QV_INPUT_BOOLEAN: answer = askBoolean(); break;
        }
        QvParserReturnPendingInput(session, answer);
    }
}

QvValue* QvClient::askText() { return QvTextCreate("g"); }

QvValue* QvClient::askBoolean() { return QvBooleanCreate(1); }

QvValue* QvClient::askNumber() { return QvNumberCreate(34.6); }

void QvClient::run(bool executeOnWorkerThread) {
    check();
    QvParser* session = session_;
    if (!session || QvParserGetErrorFlag(session)) return;
    if (!executeOnWorkerThread) {
        QvParserExecute(session);
        pollUntilDone();
        return;
    }
    QvParserSetDoneFlag(session, 0);
    std::thread worker(QvParserExecute, session);
    pollUntilDone();
    worker.join();
}
