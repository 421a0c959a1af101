#include "Session/QvParserApi.h"

#include "Errors/QvException.h"

// Nothing is thrown across to hosts: a session that cannot be made (out of memory) is null.
QvParser* QvParserCreate(const char* text, long length, const QvFile* file) {
    try {
        return new QvParser(text, length, file, true);
    } catch (QvException* error) {
        delete error;
    } catch (...) {
    }
    return nullptr;
}

void QvParserDelete(QvParser* session) { delete session; }
// A variable that cannot be kept (memory running out) is left undeclared, so the
// script's syntax check names it.
void QvParserPresetVariable(QvParser* session, const char* name, QvValue* value) {
    try {
        session->presetVariable(name, value);
    } catch (...) {
    }
}

// The session turns errors into console text itself; what escapes even that (memory
// running out while it reports) ends the phase with its error flag set.
void QvParserCheckSyntax(QvParser* session) {
    try {
        session->CheckSyntax();
    } catch (...) {
        session->setParseErrorFlag(true);
        session->setDoneFlag(true);
    }
}

void QvParserExecute(QvParser* session) {
    try {
        session->Execute();
    } catch (...) {
        session->setRunErrorFlag(true);
    }
}
int QvParserGetDoneFlag(QvParser* session) { return session->getDoneFlag() ? 1 : 0; }
int QvParserGetDirtyFlag(QvParser* session) { return session->getDirtyFlag() ? 1 : 0; }
void QvParserSetDoneFlag(QvParser* session, int value) { session->setDoneFlag(value == 1); }
int QvParserGetErrorFlag(QvParser* session) { return session->getParseErrorFlag() ? 1 : 0; }
void QvParserClearRunErrorFlag(QvParser* session) { session->setRunErrorFlag(false); }
int QvParserGetPendingInputFlag(QvParser* session) { return session->getPendingInputFlag() ? 1 : 0; }
int QvParserGetPendingInputType(QvParser* session) { return session->getPendingInputType(); }
void QvParserReturnPendingInput(QvParser* session, QvValue* value) { session->returnPendingInput(value); }

Qv_stringstream* QvParserGetConsoleStream(QvParser* session) { return &session->getConsole(); }
void QvParserReleaseConsoleStream(QvParser* session) { session->releaseConsole(); }
Qv_stringstream* QvParserGetWarningConsoleStream(QvParser*) { return &QvParser::getWarningConsole(); }
void QvParserReleaseWarningConsoleStream(QvParser*) { QvParser::releaseWarningConsole(); }
Qv_stringstream* QvParserGetRuntimeErrorStream(QvParser* session) { return &session->getRuntimeErrors(); }
void QvParserReleaseRuntimeErrorStream(QvParser* session) { session->releaseRuntimeErrors(); }

int QvParserGetParseErrorCount(QvParser* session) { return session->getParseErrorCount(); }
ParseError* QvParserGetParseError(QvParser* session, int i) { return session->getParseError(i); }
void QvParserReleaseParseErrors(QvParser* session) { session->releaseParseErrors(); }

void QvParserGetWindowList(QvParser* session) { session->getWindowList(); }
QvWindow* QvParserGetWindow(QvParser* session, long i) { return session->getWindow(i); }
void QvParserReleaseWindowList(QvParser* session) { session->releaseWindowList(); }

int QvParseErrorGetDisplayedFlag(ParseError* error) { return error->displayed() ? 1 : 0; }
void QvParseErrorSetDisplayedFlag(ParseError* error) { error->setDisplayed(); }
void QvParseErrorWriteToStream(ParseError* error, Qv_stringstream* stream) { error->writeTo(*stream); }
