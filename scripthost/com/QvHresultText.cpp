#include "QvHresultText.h"

#include <cstdio>

namespace {
struct NamedResult {
    HRESULT code;
    const char* name;
};

constexpr NamedResult kNames[] = {
    {S_OK, "S_OK"},
    {S_FALSE, "S_FALSE"},
    {E_NOTIMPL, "E_NOTIMPL"},
    {E_NOINTERFACE, "E_NOINTERFACE"},
    {E_POINTER, "E_POINTER"},
    {E_FAIL, "E_FAIL"},
    {E_UNEXPECTED, "E_UNEXPECTED"},
    {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
    {E_INVALIDARG, "E_INVALIDARG"},
    {CLASS_E_NOAGGREGATION, "CLASS_E_NOAGGREGATION"},
    {CLASS_E_CLASSNOTAVAILABLE, "CLASS_E_CLASSNOTAVAILABLE"},
    {REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG"},
    {SELFREG_E_CLASS, "SELFREG_E_CLASS"},
    {DISP_E_EXCEPTION, "DISP_E_EXCEPTION"},
    {STG_E_READFAULT, "STG_E_READFAULT"},
    {STG_E_WRITEFAULT, "STG_E_WRITEFAULT"},
    {STG_E_MEDIUMFULL, "STG_E_MEDIUMFULL"},
};
}

std::string QvHresultText(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(result));
    for (const NamedResult& named : kNames)
        if (named.code == result) return std::string(text) + " (" + named.name + ")";
    return text;
}
