#pragma once
#include "Files/QvFile.h"
#include "Session/ParseError.h"
#include "Session/QvParser.h"
#include "Session/Qv_stringstream.h"
#include "QvExport.h"

// The flat interface through which hosts drive a session. Booleans are int 0 or 1;
// every get of a stream or list holds its lock until the matching release.
QV_C_EXPORT QvParser* QvParserCreate(const char* text, long length, const QvFile* file);
QV_C_EXPORT void QvParserDelete(QvParser* session);
// The session keeps its own reference to the value.
QV_C_EXPORT void QvParserPresetVariable(QvParser* session, const char* name, QvValue* value);
QV_C_EXPORT void QvParserCheckSyntax(QvParser* session);
QV_C_EXPORT void QvParserExecute(QvParser* session);
QV_C_EXPORT int QvParserGetDoneFlag(QvParser* session);
QV_C_EXPORT int QvParserGetDirtyFlag(QvParser* session);
QV_C_EXPORT void QvParserSetDoneFlag(QvParser* session, int value);
QV_C_EXPORT int QvParserGetErrorFlag(QvParser* session);
QV_C_EXPORT void QvParserClearRunErrorFlag(QvParser* session);
QV_C_EXPORT int QvParserGetPendingInputFlag(QvParser* session);
QV_C_EXPORT int QvParserGetPendingInputType(QvParser* session);
QV_C_EXPORT void QvParserReturnPendingInput(QvParser* session, QvValue* value);
QV_C_EXPORT Qv_stringstream* QvParserGetConsoleStream(QvParser* session);
QV_C_EXPORT void QvParserReleaseConsoleStream(QvParser* session);
QV_C_EXPORT Qv_stringstream* QvParserGetWarningConsoleStream(QvParser* session);
QV_C_EXPORT void QvParserReleaseWarningConsoleStream(QvParser* session);
QV_C_EXPORT Qv_stringstream* QvParserGetRuntimeErrorStream(QvParser* session);
QV_C_EXPORT void QvParserReleaseRuntimeErrorStream(QvParser* session);
QV_C_EXPORT int QvParserGetParseErrorCount(QvParser* session);
QV_C_EXPORT ParseError* QvParserGetParseError(QvParser* session, int i);
QV_C_EXPORT void QvParserReleaseParseErrors(QvParser* session);
QV_C_EXPORT void QvParserGetWindowList(QvParser* session);
QV_C_EXPORT QvWindow* QvParserGetWindow(QvParser* session, long i);
QV_C_EXPORT void QvParserReleaseWindowList(QvParser* session);
QV_C_EXPORT int QvParseErrorGetDisplayedFlag(ParseError* error);
QV_C_EXPORT void QvParseErrorSetDisplayedFlag(ParseError* error);
QV_C_EXPORT void QvParseErrorWriteToStream(ParseError* error, Qv_stringstream* stream);
