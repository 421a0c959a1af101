#include "QvScriptErrorReport.h"

#include <new>

#include "com/QvUtf.h"

QvScriptErrorReport* QvScriptErrorReport::create(const QvScriptError& error,
                                                 const std::optional<std::string>& sourceLine) {
    try {
        return new QvScriptErrorReport(error, sourceLine);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HRESULT QvScriptErrorReport::QueryInterface(REFIID riid, void** object) {
    return QvQueryOneInterface<IActiveScriptError>(this, riid, object, {IID_IActiveScriptError});
}

HRESULT QvScriptErrorReport::fillExceptionInfo(const std::string& message, EXCEPINFO* info) {
    if (!info) return E_POINTER;
    *info = EXCEPINFO{};
    info->bstrDescription = QvBstrFromUtf8(message);
    info->scode = E_FAIL;
    return info->bstrDescription ? S_OK : E_OUTOFMEMORY;
}

HRESULT QvScriptErrorReport::GetExceptionInfo(EXCEPINFO* info) { return fillExceptionInfo(error_.message, info); }

HRESULT QvScriptErrorReport::GetSourcePosition(DWORD* sourceContext, ULONG* lineNumber, LONG* characterPosition) {
    if (sourceContext) *sourceContext = 0;
    if (lineNumber) *lineNumber = error_.line > 0 ? static_cast<ULONG>(error_.line - 1) : 0;
    if (characterPosition) *characterPosition = 0;
    return S_OK;
}

HRESULT QvScriptErrorReport::GetSourceLineText(BSTR* sourceLine) {
    if (!sourceLine) return E_POINTER;
    *sourceLine = nullptr;
    if (!sourceLine_) return E_FAIL;
    *sourceLine = QvBstrFromUtf8(*sourceLine_);
    return *sourceLine ? S_OK : E_OUTOFMEMORY;
}
