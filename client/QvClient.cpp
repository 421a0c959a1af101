#include "QvClient.h"

#include <chrono>
#include <cstdio>
#include <thread>

QvClient::~QvClient() {
    QvParserDelete(session_.exchange(nullptr));
    QvFileDelete(file_);
}

void QvClient::createSession() {
    QvParserDelete(session_.exchange(nullptr));
    session_ = QvParserCreate(sourceText_.data(), static_cast<long>(sourceText_.size()), file_);
}

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

void QvClient::pollUntilDone() {
    while (!QvParserGetDoneFlag(session_)) {
        flushOutput();
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollIntervalMs));
    }
    flushOutput();
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
    if (!unread.empty()) writeText(unread.data(), static_cast<int>(unread.size()));
    stream.clear();
}

void QvClient::showParseErrors() {
    QvParser* session = session_;
    int count = QvParserGetParseErrorCount(session);
    for (int i = 0; i < count; ++i) {
        ParseError* error = QvParserGetParseError(session, i);
        if (QvParseErrorGetDisplayedFlag(error)) continue;
        Qv_stringstream text;
        QvParseErrorWriteToStream(error, &text);
        writeStream(text);
        QvParseErrorSetDisplayedFlag(error);
    }
    QvParserReleaseParseErrors(session);
}

void QvClient::writeText(const char* text, int length) {
    for (int i = 0; i < length; ++i) {
        char c = text[i];
        std::fputc(c == '\r' ? '\n' : c, stdout);
    }
    std::fflush(stdout);
}

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
