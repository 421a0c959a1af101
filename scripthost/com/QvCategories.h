#pragma once
// Component categories: which classes implement which kinds of component, kept in the
// registry stand-in under "Component Categories" and each class's
// "Implemented Categories" / "Required Categories" keys.
#include "QvInterfaces.h"

struct CATEGORYINFO {
    CATID catid;
    LCID lcid;
    OLECHAR szDescription[128];
};

struct ICatRegister : IUnknown {
    virtual HRESULT RegisterCategories(ULONG count, CATEGORYINFO infos[]) = 0;
    virtual HRESULT UnRegisterCategories(ULONG count, CATID ids[]) = 0;
    virtual HRESULT RegisterClassImplCategories(REFCLSID classId, ULONG count, CATID ids[]) = 0;
    virtual HRESULT UnRegisterClassImplCategories(REFCLSID classId, ULONG count, CATID ids[]) = 0;
    virtual HRESULT RegisterClassReqCategories(REFCLSID classId, ULONG count, CATID ids[]) = 0;
    virtual HRESULT UnRegisterClassReqCategories(REFCLSID classId, ULONG count, CATID ids[]) = 0;
};

// A new category manager over the registry stand-in (one reference for the caller).
HRESULT QvCreateCategoryManager(REFIID riid, void** object);
