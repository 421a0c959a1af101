#pragma once
// The scripting interfaces through which a host drives a script engine, in their
// published method order (the parsing interface in its 32-bit form), and the object
// safety interface that hosts ask before running untrusted text.
#include "QvVariant.h"

enum SCRIPTSTATE : int32_t {
    SCRIPTSTATE_UNINITIALIZED = 0,
    SCRIPTSTATE_STARTED = 1,
    SCRIPTSTATE_CONNECTED = 2,
    SCRIPTSTATE_DISCONNECTED = 3,
    SCRIPTSTATE_CLOSED = 4,
    SCRIPTSTATE_INITIALIZED = 5,
};

enum SCRIPTTHREADSTATE : int32_t {
    SCRIPTTHREADSTATE_NOTINSCRIPT = 0,
    SCRIPTTHREADSTATE_RUNNING = 1,
};

using SCRIPTTHREADID = DWORD;

// Object safety options.
constexpr DWORD INTERFACESAFE_FOR_UNTRUSTED_CALLER = 0x1;
constexpr DWORD INTERFACESAFE_FOR_UNTRUSTED_DATA = 0x2;
constexpr DWORD INTERFACE_USES_DISPEX = 0x4;
constexpr DWORD INTERFACE_USES_SECURITY_MANAGER = 0x8;

struct IActiveScriptError : IUnknown {
    virtual HRESULT GetExceptionInfo(EXCEPINFO* info) = 0;
    virtual HRESULT GetSourcePosition(DWORD* sourceContext, ULONG* lineNumber, LONG* characterPosition) = 0;
    virtual HRESULT GetSourceLineText(BSTR* sourceLine) = 0;
};

struct IActiveScriptSite : IUnknown {
    virtual HRESULT GetLCID(LCID* locale) = 0;
    virtual HRESULT GetItemInfo(LPCOLESTR name, DWORD returnMask, IUnknown** item, ITypeInfo** typeInfo) = 0;
    virtual HRESULT GetDocVersionString(BSTR* version) = 0;
    virtual HRESULT OnScriptTerminate(const VARIANT* result, const EXCEPINFO* exception) = 0;
    virtual HRESULT OnStateChange(SCRIPTSTATE state) = 0;
    virtual HRESULT OnScriptError(IActiveScriptError* error) = 0;
    virtual HRESULT OnEnterScript() = 0;
    virtual HRESULT OnLeaveScript() = 0;
};

struct IActiveScript : IUnknown {
    virtual HRESULT SetScriptSite(IActiveScriptSite* site) = 0;
    virtual HRESULT GetScriptSite(REFIID riid, void** object) = 0;
    virtual HRESULT SetScriptState(SCRIPTSTATE state) = 0;
    virtual HRESULT GetScriptState(SCRIPTSTATE* state) = 0;
    virtual HRESULT Close() = 0;
    virtual HRESULT AddNamedItem(LPCOLESTR name, DWORD flags) = 0;
    virtual HRESULT AddTypeLib(REFGUID typeLib, DWORD major, DWORD minor, DWORD flags) = 0;
    virtual HRESULT GetScriptDispatch(LPCOLESTR itemName, IDispatch** dispatch) = 0;
    virtual HRESULT GetCurrentScriptThreadID(SCRIPTTHREADID* thread) = 0;
    virtual HRESULT GetScriptThreadID(DWORD systemThreadId, SCRIPTTHREADID* thread) = 0;
    virtual HRESULT GetScriptThreadState(SCRIPTTHREADID thread, SCRIPTTHREADSTATE* state) = 0;
    virtual HRESULT InterruptScriptThread(SCRIPTTHREADID thread, const EXCEPINFO* exception, DWORD flags) = 0;
    virtual HRESULT Clone(IActiveScript** copy) = 0;
};

struct IActiveScriptParse32 : IUnknown {
    virtual HRESULT InitNew() = 0;
    virtual HRESULT AddScriptlet(LPCOLESTR defaultName, LPCOLESTR code, LPCOLESTR itemName, LPCOLESTR subItemName,
                                 LPCOLESTR eventName, LPCOLESTR delimiter, DWORD sourceContextCookie,
                                 ULONG startingLineNumber, DWORD flags, BSTR* name, EXCEPINFO* exception) = 0;
    virtual HRESULT ParseScriptText(LPCOLESTR code, LPCOLESTR itemName, IUnknown* context, LPCOLESTR delimiter,
                                    DWORD sourceContextCookie, ULONG startingLineNumber, DWORD flags,
                                    VARIANT* result, EXCEPINFO* exception) = 0;
};

struct IObjectSafety : IUnknown {
    virtual HRESULT GetInterfaceSafetyOptions(REFIID riid, DWORD* supported, DWORD* enabled) = 0;
    virtual HRESULT SetInterfaceSafetyOptions(REFIID riid, DWORD optionSetMask, DWORD enabledOptions) = 0;
};
