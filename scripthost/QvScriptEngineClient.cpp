#include "QvScriptEngineClient.h"

// The record is copied while the list is held: the session, and its records with it,
// may be gone by the time the engine reports the error.
void QvScriptEngineClient::showParseErrors() {
    QvParser* parser = session();
    if (!parser) return;
    if (!firstError_ && QvParserGetParseErrorCount(parser) > 0) {
        const ParseError* first = QvParserGetParseError(parser, 0);
        firstError_ = QvScriptError{first->message(), first->line(), first->fileIndex(), first->text()};
    }
    QvParserReleaseParseErrors(parser);
}

void QvScriptEngineClient::writeText(const char*, int) {}
