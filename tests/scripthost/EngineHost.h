#pragma once
// What the script-host tests share: the engine module loaded by path as a host loads
// it, a registry file of the test's own, and a site that records what the engine
// tells it.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "com/QvActiveScript.h"
#include "com/QvComObject.h"
#include "com/QvUtf.h"

// The engine's class, as a host reads it from the module's documentation.
inline const CLSID kEngineClass = {0x72B111C0, 0x6704, 0x4557, {0x8B, 0x98, 0x7D, 0xCF, 0xB9, 0x85, 0x10, 0xB5}};

// One thing the engine told the site.
struct SiteEvent {
    enum Kind { StateChange, ScriptError } kind = StateChange;
    SCRIPTSTATE state = SCRIPTSTATE_UNINITIALIZED;
    std::string message;     // the error's description
    SCODE scode = 0;
    ULONG line = 0;          // zero-based
    std::string sourceLine;  // empty when the engine has none
};

class RecordingSite final : public IActiveScriptSite, private QvComRefCount<RecordingSite> {
    friend class QvComRefCount<RecordingSite>;

public:
    static QvComPtr<RecordingSite> create() { return QvComPtr<RecordingSite>(new RecordingSite); }

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override {
        ++references;
        return addReference();
    }
    ULONG Release() override {
        --references;
        return releaseReference();
    }

    HRESULT GetLCID(LCID*) override { return E_NOTIMPL; }
    HRESULT GetItemInfo(LPCOLESTR, DWORD, IUnknown**, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    HRESULT OnStateChange(SCRIPTSTATE state) override;
    HRESULT OnScriptError(IActiveScriptError* error) override;
    HRESULT OnEnterScript() override { return S_OK; }
    HRESULT OnLeaveScript() override { return S_OK; }

    std::vector<SiteEvent> takeEvents();
    size_t errorCount();

    // References the engine holds, beyond the test's own.
    std::atomic<int> references{0};
    // Runs inside every callback, on the engine's thread.
    std::function<void()> onCallback;

private:
    ~RecordingSite() = default;

    std::mutex lock_;
    std::vector<SiteEvent> events_;
};

class EngineHost : public testing::Test {
protected:
    using GetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, void**);
    using CanUnloadNowFunction = HRESULT (*)();
    using RegisterServerFunction = HRESULT (*)();

    void SetUp() override;
    void TearDown() override;

    QvComPtr<IClassFactory> factory();
    // A new engine as the interface asked for.
    template <class Interface>
    QvComPtr<Interface> createEngine(REFIID riid) {
        QvComPtr<Interface> engine;
        EXPECT_EQ(factory()->CreateInstance(nullptr, riid, engine.putVoid()), S_OK);
        return engine;
    }
    template <class Interface>
    static QvComPtr<Interface> query(IUnknown* object, REFIID riid) {
        QvComPtr<Interface> result;
        EXPECT_EQ(object->QueryInterface(riid, result.putVoid()), S_OK);
        return result;
    }

    // The text given to the engine with ParseScriptText, before or after it starts.
    static HRESULT parse(IActiveScript* engine, const std::string& text, EXCEPINFO* exception = nullptr);
    // The engine's saved form.
    static std::string saved(IUnknown* engine);
    static std::string readFile(const std::string& path);
    static void writeFile(const std::string& path, const std::string& text);

    static const char* modulePath() { return QV_ENGINE_MODULE; }

    void* module_ = nullptr;
    GetClassObjectFunction getClassObject_ = nullptr;
    CanUnloadNowFunction canUnloadNow_ = nullptr;
    RegisterServerFunction registerServer_ = nullptr;
    std::string folder_;    // a fresh folder for the test's files
    std::string registry_;  // the registry file, in that folder
};
