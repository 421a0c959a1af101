#pragma once
// The automation types the scripting interfaces pass: a minimal VARIANT (the kinds a
// script engine hands back: empty, numbers, booleans, strings, objects) and EXCEPINFO.
#include "QvBstr.h"
#include "QvInterfaces.h"

constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_NULL = 1;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_R8 = 5;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_DISPATCH = 9;
constexpr VARTYPE VT_BOOL = 11;
constexpr VARTYPE VT_UNKNOWN = 13;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        struct {
            void* pvRecord;
            void* pRecInfo;
        } record;
    };
};

static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*), "VARIANT must keep its published size");

inline void VariantInit(VARIANT* variant) {
    variant->vt = VT_EMPTY;
    variant->wReserved1 = variant->wReserved2 = variant->wReserved3 = 0;
    variant->record = {nullptr, nullptr};
}

// Frees what the variant owns (a string, one object reference) and empties it.
inline HRESULT VariantClear(VARIANT* variant) {
    if (!variant) return E_INVALIDARG;
    if (variant->vt == VT_BSTR) SysFreeString(variant->bstrVal);
    // An IDispatch begins with the IUnknown functions, so both release alike.
    if ((variant->vt == VT_UNKNOWN || variant->vt == VT_DISPATCH) && variant->punkVal) variant->punkVal->Release();
    VariantInit(variant);
    return S_OK;
}

struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};

static_assert(sizeof(EXCEPINFO) == (sizeof(void*) == 8 ? 64 : 32), "EXCEPINFO must keep its published layout");

// Frees the strings of an EXCEPINFO that a callee filled and zeroes it.
inline void QvClearExcepInfo(EXCEPINFO* info) {
    if (!info) return;
    SysFreeString(info->bstrSource);
    SysFreeString(info->bstrDescription);
    SysFreeString(info->bstrHelpFile);
    *info = EXCEPINFO{};
}
