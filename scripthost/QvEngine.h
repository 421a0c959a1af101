#pragma once
#include <atomic>
#include <mutex>
#include <optional>
#include <string>

#include "QvScriptError.h"
#include "com/QvActiveScript.h"
#include "com/QvComObject.h"

// The script engine object that hosts create: it takes a script text (parsed from a
// string or loaded from a stream), runs it when the host moves it to the started or
// connected state, or at once when text arrives in those states, and reports errors
// to the host's site. Every method but QueryInterface, AddRef, Release and
// InterruptScriptThread holds the object's recursive lock, so calls from several
// threads take turns and a site may call back on the thread it was called on.
class QvEngine final : public IActiveScript,
                       public IActiveScriptParse32,
                       public IPersistStreamInit,
                       public IObjectSafety,
                       private QvComRefCount<QvEngine> {
    friend class QvComRefCount<QvEngine>;

public:
    // The longest script text, in bytes, that the engine takes from a host or a stream.
    static constexpr uint32_t kMaxScriptBytes = 64 * 1024 * 1024;
    static constexpr DWORD kSupportedSafetyOptions = INTERFACESAFE_FOR_UNTRUSTED_CALLER |
                                                     INTERFACESAFE_FOR_UNTRUSTED_DATA | INTERFACE_USES_DISPEX |
                                                     INTERFACE_USES_SECURITY_MANAGER;

    // A new engine, handed out as the interface `riid`.
    static HRESULT create(REFIID riid, void** object);

    // IUnknown
    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override { return addReference(); }
    ULONG Release() override { return releaseReference(); }

    // IActiveScript
    HRESULT SetScriptSite(IActiveScriptSite* site) override;
    HRESULT GetScriptSite(REFIID riid, void** object) override;
    HRESULT SetScriptState(SCRIPTSTATE state) override;
    HRESULT GetScriptState(SCRIPTSTATE* state) override;
    HRESULT Close() override;
    HRESULT AddNamedItem(LPCOLESTR name, DWORD flags) override;
    HRESULT AddTypeLib(REFGUID typeLib, DWORD major, DWORD minor, DWORD flags) override;
    HRESULT GetScriptDispatch(LPCOLESTR itemName, IDispatch** dispatch) override;
    HRESULT GetCurrentScriptThreadID(SCRIPTTHREADID* thread) override;
    HRESULT GetScriptThreadID(DWORD systemThreadId, SCRIPTTHREADID* thread) override;
    HRESULT GetScriptThreadState(SCRIPTTHREADID thread, SCRIPTTHREADSTATE* state) override;
    HRESULT InterruptScriptThread(SCRIPTTHREADID thread, const EXCEPINFO* exception, DWORD flags) override;
    HRESULT Clone(IActiveScript** copy) override;

    // IActiveScriptParse32 and IPersistStreamInit (InitNew serves both)
    HRESULT InitNew() override;
    HRESULT AddScriptlet(LPCOLESTR defaultName, LPCOLESTR code, LPCOLESTR itemName, LPCOLESTR subItemName,
                         LPCOLESTR eventName, LPCOLESTR delimiter, DWORD sourceContextCookie,
                         ULONG startingLineNumber, DWORD flags, BSTR* name, EXCEPINFO* exception) override;
    HRESULT ParseScriptText(LPCOLESTR code, LPCOLESTR itemName, IUnknown* context, LPCOLESTR delimiter,
                            DWORD sourceContextCookie, ULONG startingLineNumber, DWORD flags, VARIANT* result,
                            EXCEPINFO* exception) override;

    // IPersistStreamInit: a 32-bit little-endian byte count, then the text's bytes.
    HRESULT GetClassID(CLSID* classId) override;
    HRESULT IsDirty() override;
    HRESULT Load(LPSTREAM stream) override;
    HRESULT Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT GetSizeMax(ULARGE_INTEGER* size) override;

    // IObjectSafety
    HRESULT GetInterfaceSafetyOptions(REFIID riid, DWORD* supported, DWORD* enabled) override;
    HRESULT SetInterfaceSafetyOptions(REFIID riid, DWORD optionSetMask, DWORD enabledOptions) override;

private:
    enum class Transition { None, Execute, Reset, ReleaseSite, ResetAndReleaseSite };

    QvEngine();
    ~QvEngine();

    static Transition transition(SCRIPTSTATE from, SCRIPTSTATE to);
    // Whether the engine hands out the interface: S_OK or the query's failure.
    HRESULT probeInterface(REFIID riid);
    // Runs the text and reports a failure to the site; returns the failure that the
    // caller should see (a media layer that would not start is only reported).
    std::optional<QvScriptError> execute();
    void reportToSite(const QvScriptError& error);
    void notifyStateChange(SCRIPTSTATE state);
    // The script's line where the error lies, when it lies in the script itself.
    std::optional<std::string> sourceLine(const QvScriptError& error) const;

    std::recursive_mutex lock_;
    QvComPtr<IActiveScriptSite> site_;
    SCRIPTSTATE state_ = SCRIPTSTATE_UNINITIALIZED;
    std::string text_;  // UTF-8
    SCRIPTTHREADID scriptThreadId_ = 0;
    bool dirty_ = false;
    DWORD safetyOptions_ = 0;
    std::atomic<bool> executing_{false};
};
