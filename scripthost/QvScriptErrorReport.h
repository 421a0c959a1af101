#pragma once
#include <optional>
#include <string>

#include "QvScriptError.h"
#include "com/QvActiveScript.h"
#include "com/QvComObject.h"

// An error as a site receives it: the message with E_FAIL as exception information,
// the position as (context 0, zero-based line, character 0) and the text of the
// script line, when the error lies in the script itself.
class QvScriptErrorReport final : public IActiveScriptError, private QvComRefCount<QvScriptErrorReport> {
    friend class QvComRefCount<QvScriptErrorReport>;

public:
    // Null when memory runs out; the caller owns the one reference.
    static QvScriptErrorReport* create(const QvScriptError& error, const std::optional<std::string>& sourceLine);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override { return addReference(); }
    ULONG Release() override { return releaseReference(); }

    HRESULT GetExceptionInfo(EXCEPINFO* info) override;
    HRESULT GetSourcePosition(DWORD* sourceContext, ULONG* lineNumber, LONG* characterPosition) override;
    HRESULT GetSourceLineText(BSTR* sourceLine) override;

    // Fills a caller's EXCEPINFO: the message (a new string the caller frees) and E_FAIL.
    static HRESULT fillExceptionInfo(const std::string& message, EXCEPINFO* info);

private:
    QvScriptErrorReport(const QvScriptError& error, const std::optional<std::string>& sourceLine)
        : error_(error), sourceLine_(sourceLine) {}
    ~QvScriptErrorReport() = default;

    QvScriptError error_;
    std::optional<std::string> sourceLine_;
};
