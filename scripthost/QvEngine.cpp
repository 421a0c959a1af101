#include "QvEngine.h"

#include <unistd.h>

#include <new>

#include "QvEngineModule.h"
#include "QvScriptErrorReport.h"
#include "QvScriptRun.h"
#include "com/QvUtf.h"

using Guard = std::lock_guard<std::recursive_mutex>;

QvEngine::QvEngine() { QvEngineModule::objectCreated(); }

QvEngine::~QvEngine() {
    site_.reset();
    QvEngineModule::objectDestroyed();
}

HRESULT QvEngine::create(REFIID riid, void** object) { return QvHandOut(new (std::nothrow) QvEngine, riid, object); }

// ---- IUnknown ---------------------------------------------------------------------

HRESULT QvEngine::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IActiveScript)
        *object = static_cast<IActiveScript*>(this);
    else if (riid == IID_IActiveScriptParse32)
        *object = static_cast<IActiveScriptParse32*>(this);
    else if (riid == IID_IPersist || riid == IID_IPersistStreamInit)
        *object = static_cast<IPersistStreamInit*>(this);
    else if (riid == IID_IObjectSafety)
        *object = static_cast<IObjectSafety*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT QvEngine::probeInterface(REFIID riid) {
    void* probe = nullptr;
    HRESULT exposed = QueryInterface(riid, &probe);
    if (SUCCEEDED(exposed)) Release();
    return exposed;
}

// ---- States -----------------------------------------------------------------------

// Both states lie in 0..5.
QvEngine::Transition QvEngine::transition(SCRIPTSTATE from, SCRIPTSTATE to) {
    constexpr Transition NO = Transition::None, EX = Transition::Execute, RE = Transition::Reset,
                         SI = Transition::ReleaseSite, RS = Transition::ResetAndReleaseSite;
    // Rows: the new state; columns: the current one (a closed engine never gets here).
    static constexpr Transition kTable[6][6] = {
        // 0   1   2   3   4   5
        {NO, RS, RS, RS, NO, SI},  // to uninitialized
        {EX, NO, EX, EX, NO, EX},  // to started
        {EX, NO, NO, NO, NO, EX},  // to connected
        {NO, NO, NO, NO, NO, NO},  // to disconnected
        {NO, NO, NO, NO, NO, NO},  // to closed
        {NO, RE, RE, RE, NO, NO},  // to initialized
    };
    return kTable[to][from];
}

HRESULT QvEngine::SetScriptState(SCRIPTSTATE state) {
    Guard guard(lock_);
    if (state == state_) return S_FALSE;
    if (state_ == SCRIPTSTATE_CLOSED) return E_UNEXPECTED;
    if (state < SCRIPTSTATE_UNINITIALIZED || state > SCRIPTSTATE_INITIALIZED) return S_OK;
    Transition action = transition(state_, state);
    if (action == Transition::Reset || action == Transition::ResetAndReleaseSite) text_.clear();
    if (action == Transition::ReleaseSite || action == Transition::ResetAndReleaseSite) site_.reset();
    if (action == Transition::Execute) {
        // A failed run has been reported to the site, and the state changes all the
        // same, unless the site has moved the engine on meanwhile (closed it, say).
        SCRIPTSTATE before = state_;
        execute();
        if (state_ != before) return S_OK;
    }
    state_ = state;
    if (state != SCRIPTSTATE_UNINITIALIZED) notifyStateChange(state);
    return S_OK;
}

HRESULT QvEngine::GetScriptState(SCRIPTSTATE* state) {
    if (!state) return E_POINTER;
    Guard guard(lock_);
    *state = state_;
    return S_OK;
}

HRESULT QvEngine::Close() {
    Guard guard(lock_);
    SetScriptState(SCRIPTSTATE_CLOSED);
    site_.reset();
    return S_OK;
}

// The site is held for the call, which may release the engine's own reference.
void QvEngine::notifyStateChange(SCRIPTSTATE state) {
    if (QvComPtr<IActiveScriptSite> site = site_) site->OnStateChange(state);
}

// ---- Running ----------------------------------------------------------------------

std::optional<QvScriptError> QvEngine::execute() {
    QvScriptRun::Outcome outcome;
    try {
        outcome = QvScriptRun::run(text_, executing_);
    } catch (const std::bad_alloc&) {
        outcome.error = QvScriptError{"Out of memory."};
    } catch (...) {
        outcome.error = QvScriptError{"Unknown Error, please submit a bug report (with sample code)."};
    }
    if (!outcome.error) return std::nullopt;
    reportToSite(*outcome.error);
    if (outcome.mediaUnavailable) return std::nullopt;
    return outcome.error;
}

// A report that cannot be made for want of memory is dropped.
void QvEngine::reportToSite(const QvScriptError& error) {
    QvComPtr<IActiveScriptSite> site = site_;
    if (!site) return;
    QvComPtr<IActiveScriptError> report;
    try {
        report = QvComPtr<IActiveScriptError>(QvScriptErrorReport::create(error, sourceLine(error)));
    } catch (const std::bad_alloc&) {
        return;
    }
    if (report) site->OnScriptError(report.get());
}

std::optional<std::string> QvEngine::sourceLine(const QvScriptError& error) const {
    constexpr int kScriptFile = 1;
    if (error.fileIndex != kScriptFile || error.line < 1) return std::nullopt;
    size_t start = 0;
    for (int line = 1; line < error.line; ++line) {
        start = text_.find('\n', start);
        if (start == std::string::npos) return std::nullopt;
        ++start;
    }
    size_t end = text_.find('\n', start);
    std::string line = text_.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// ---- Site, items and threads ------------------------------------------------------

HRESULT QvEngine::SetScriptSite(IActiveScriptSite* site) {
    if (!site) return E_POINTER;
    Guard guard(lock_);
    if (site_ || !text_.empty()) return E_UNEXPECTED;
    site_ = QvComPtr<IActiveScriptSite>::share(site);
    return S_OK;
}

HRESULT QvEngine::GetScriptSite(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    Guard guard(lock_);
    if (!site_) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    return site_->QueryInterface(riid, object);
}

HRESULT QvEngine::AddNamedItem(LPCOLESTR, DWORD) {
    Guard guard(lock_);
    return S_OK;
}

HRESULT QvEngine::AddTypeLib(REFGUID, DWORD, DWORD, DWORD) {
    Guard guard(lock_);
    return S_OK;
}

HRESULT QvEngine::GetScriptDispatch(LPCOLESTR, IDispatch** dispatch) {
    if (!dispatch) return E_POINTER;
    Guard guard(lock_);
    *dispatch = nullptr;
    return S_FALSE;
}

HRESULT QvEngine::GetCurrentScriptThreadID(SCRIPTTHREADID* thread) {
    if (!thread) return E_POINTER;
    Guard guard(lock_);
    *thread = scriptThreadId_;
    return S_OK;
}

// Whatever thread is asked about, the script runs on the one that asks.
HRESULT QvEngine::GetScriptThreadID(DWORD, SCRIPTTHREADID* thread) {
    if (!thread) return E_POINTER;
    Guard guard(lock_);
    *thread = static_cast<SCRIPTTHREADID>(gettid());
    return S_OK;
}

HRESULT QvEngine::GetScriptThreadState(SCRIPTTHREADID, SCRIPTTHREADSTATE* state) {
    if (!state) return E_POINTER;
    Guard guard(lock_);
    *state = executing_ ? SCRIPTTHREADSTATE_RUNNING : SCRIPTTHREADSTATE_NOTINSCRIPT;
    return S_OK;
}

HRESULT QvEngine::InterruptScriptThread(SCRIPTTHREADID, const EXCEPINFO*, DWORD) { return E_NOTIMPL; }

HRESULT QvEngine::Clone(IActiveScript** copy) {
    Guard guard(lock_);
    if (copy) *copy = nullptr;
    return E_NOTIMPL;
}

// ---- Parsing ----------------------------------------------------------------------

HRESULT QvEngine::InitNew() {
    Guard guard(lock_);
    text_.clear();
    return S_OK;
}

HRESULT QvEngine::AddScriptlet(LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, DWORD, ULONG, DWORD,
                               BSTR* name, EXCEPINFO*) {
    Guard guard(lock_);
    if (name) *name = nullptr;
    return S_OK;
}

HRESULT QvEngine::ParseScriptText(LPCOLESTR code, LPCOLESTR, IUnknown*, LPCOLESTR, DWORD, ULONG, DWORD,
                                  VARIANT* result, EXCEPINFO* exception) {
    if (!code) return E_POINTER;
    Guard guard(lock_);
    if (result) VariantInit(result);
    try {
        std::string text = QvUtf8FromOleString(code);
        if (text.size() > kMaxScriptBytes) return E_OUTOFMEMORY;
        text_ = std::move(text);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (state_ != SCRIPTSTATE_STARTED && state_ != SCRIPTSTATE_CONNECTED) return S_OK;
    std::optional<QvScriptError> error = execute();
    if (!error) return S_OK;
    if (exception) QvScriptErrorReport::fillExceptionInfo(error->message, exception);
    return DISP_E_EXCEPTION;
}

// ---- Object safety ----------------------------------------------------------------

HRESULT QvEngine::GetInterfaceSafetyOptions(REFIID riid, DWORD* supported, DWORD* enabled) {
    if (!supported || !enabled) return E_POINTER;
    Guard guard(lock_);
    HRESULT exposed = probeInterface(riid);
    if (FAILED(exposed)) {
        *supported = *enabled = 0;
        return exposed;
    }
    *supported = kSupportedSafetyOptions;
    *enabled = safetyOptions_;
    return S_OK;
}

HRESULT QvEngine::SetInterfaceSafetyOptions(REFIID riid, DWORD optionSetMask, DWORD enabledOptions) {
    Guard guard(lock_);
    if (FAILED(probeInterface(riid))) return E_NOINTERFACE;
    if (optionSetMask & ~kSupportedSafetyOptions) return E_FAIL;
    safetyOptions_ = (safetyOptions_ & ~optionSetMask) | (enabledOptions & optionSetMask);
    return S_OK;
}
