// qvscripthost [--parse-after-start] SCRIPT.qv: a console host of the script engine
// registered as "Quarvel". It gives the engine a site, a new script and the file's
// text, starts it (or starts it first and then hands it the text), and closes it,
// printing every call's result, every state change and every error the engine
// reports. The exit status is 0 exactly when every call succeeded and no error was
// reported.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "com/QvActivation.h"
#include "com/QvActiveScript.h"
#include "com/QvComObject.h"
#include "com/QvHresultText.h"
#include "com/QvUtf.h"

namespace {
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 64;
constexpr int kExitNoInput = 66;

const char* stateName(SCRIPTSTATE state) {
    static const char* const kNames[] = {"uninitialized", "started", "connected", "disconnected", "closed", "initialized"};
    return state >= 0 && state <= 5 ? kNames[state] : "unknown";
}

// Prints what the engine tells its site.
class ConsoleSite final : public IActiveScriptSite, private QvComRefCount<ConsoleSite> {
    friend class QvComRefCount<ConsoleSite>;

public:
    bool errorReported = false;

    HRESULT QueryInterface(REFIID riid, void** object) override {
        return QvQueryOneInterface<IActiveScriptSite>(this, riid, object, {IID_IActiveScriptSite});
    }
    ULONG AddRef() override { return addReference(); }
    ULONG Release() override { return releaseReference(); }

    HRESULT GetLCID(LCID*) override { return E_NOTIMPL; }
    HRESULT GetItemInfo(LPCOLESTR, DWORD, IUnknown**, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    HRESULT OnEnterScript() override { return S_OK; }
    HRESULT OnLeaveScript() override { return S_OK; }

    HRESULT OnStateChange(SCRIPTSTATE state) override {
        std::printf("state: %s\n", stateName(state));
        return S_OK;
    }

    HRESULT OnScriptError(IActiveScriptError* error) override {
        errorReported = true;
        EXCEPINFO info{};
        ULONG line = 0;
        error->GetExceptionInfo(&info);
        error->GetSourcePosition(nullptr, &line, nullptr);
        std::printf("error: line %u: %s\n", static_cast<unsigned>(line + 1),
                    QvUtf8FromOleString(info.bstrDescription).c_str());
        QvClearExcepInfo(&info);
        return S_OK;
    }

private:
    ~ConsoleSite() = default;
};

// Prints the call's result and remembers a failure.
class CallLog {
public:
    void operator()(const char* call, HRESULT result) {
        std::printf("%s: %s\n", call, QvHresultText(result).c_str());
        if (FAILED(result)) failed_ = true;
    }
    bool failed() const { return failed_; }

private:
    bool failed_ = false;
};

bool readFile(const char* path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// Hands the text to the engine; a failed run's description is printed too.
HRESULT parse(IActiveScriptParse32& parser, const std::u16string& code) {
    EXCEPINFO exception{};
    HRESULT result = parser.ParseScriptText(code.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, nullptr, &exception);
    if (exception.bstrDescription)
        std::printf("exception: %s\n", QvUtf8FromOleString(exception.bstrDescription).c_str());
    QvClearExcepInfo(&exception);
    return result;
}

int runScript(const std::u16string& code, bool parseAfterStart) {
    CallLog log;
    QvComPtr<IActiveScript> engine;
    HRESULT created = QvCoCreateInstance("Quarvel", nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript, engine.putVoid());
    log("QvCoCreateInstance(Quarvel)", created);
    if (FAILED(created)) {
        std::fprintf(stderr, "qvscripthost: the engine is not registered; run qvregsvr QuarvelEngine.so first\n");
        return kExitFailed;
    }
    QvComPtr<IActiveScriptParse32> parser;
    log("QueryInterface(IActiveScriptParse)", engine->QueryInterface(IID_IActiveScriptParse32, parser.putVoid()));
    if (!parser) return kExitFailed;

    QvComPtr<ConsoleSite> site(new ConsoleSite);
    log("SetScriptSite", engine->SetScriptSite(site.get()));
    log("InitNew", parser->InitNew());
    if (parseAfterStart) {
        log("SetScriptState(started)", engine->SetScriptState(SCRIPTSTATE_STARTED));
        log("ParseScriptText", parse(*parser, code));
    } else {
        log("ParseScriptText", parse(*parser, code));
        log("SetScriptState(started)", engine->SetScriptState(SCRIPTSTATE_STARTED));
    }
    log("Close", engine->Close());
    return log.failed() || site->errorReported ? kExitFailed : 0;
}
}

int main(int argc, char** argv) {
    bool parseAfterStart = argc == 3 && std::strcmp(argv[1], "--parse-after-start") == 0;
    if (argc != 2 + parseAfterStart || argv[argc - 1][0] == '-') {
        std::fprintf(stderr, "usage: qvscripthost [--parse-after-start] SCRIPT.qv\n");
        return kExitUsage;
    }
    std::string text;
    if (!readFile(argv[argc - 1], text)) {
        std::fprintf(stderr, "qvscripthost: cannot read %s\n", argv[argc - 1]);
        return kExitNoInput;
    }
    int status = runScript(QvUtf8ToUtf16(text), parseAfterStart);
    QvCoFreeUnusedLibraries();
    return status;
}
