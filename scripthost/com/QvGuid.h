#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "QvComTypes.h"

// A 128-bit class, interface or category identifier, laid out as the published form.
struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16, "GUID must keep its published layout");
using IID = GUID;
using CLSID = GUID;
using CATID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using REFGUID = const GUID&;

bool operator==(const GUID& a, const GUID& b);
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }
bool operator<(const GUID& a, const GUID& b);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper-case hexadecimal.
std::string QvGuidToString(const GUID& guid);
// Reads that form, braces optional, hexadecimal digits in either case; nothing else.
std::optional<GUID> QvGuidFromString(std::string_view text);

// Published interface, class and category identifiers.
extern const IID IID_IUnknown;
extern const IID IID_IClassFactory;
extern const IID IID_ISequentialStream;
extern const IID IID_IStream;
extern const IID IID_IPersist;
extern const IID IID_IPersistStreamInit;
extern const IID IID_IDispatch;
extern const IID IID_IActiveScript;
extern const IID IID_IActiveScriptParse32;
extern const IID IID_IActiveScriptSite;
extern const IID IID_IActiveScriptError;
extern const IID IID_IObjectSafety;
extern const IID IID_ICatRegister;
extern const CLSID CLSID_StdComponentCategoriesMgr;
extern const CATID CATID_ActiveScript;
extern const CATID CATID_ActiveScriptParse;
extern const GUID GUID_NULL;
