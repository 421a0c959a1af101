#pragma once
#include "QvInterfaces.h"

// Host-side activation of classes through the registry stand-in. Classes of this layer
// (the component-category manager) are made directly; any other class is made by the
// in-process server module named by the default value of "CLSID\{class}\InprocServer32",
// loaded on first use and kept loaded until QvCoFreeUnusedLibraries finds it unused.

// The class that "<progId>\CLSID" names; REGDB_E_CLASSNOTREG when none does.
HRESULT QvCLSIDFromProgID(const char* progId, CLSID* classId);

// The class's factory. REGDB_E_CLASSNOTREG when the class is not registered or the
// context asks for no in-process server; E_FAIL when its module cannot be loaded or
// has no DllGetClassObject; otherwise the module's answer.
HRESULT QvCoGetClassObject(REFCLSID classId, DWORD context, REFIID riid, void** object);

// A new object of the class, through its factory.
HRESULT QvCoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID riid, void** object);
// The same for a programmatic identifier ("Quarvel") or a class identifier in braces.
HRESULT QvCoCreateInstance(const char* progIdOrClassId, IUnknown* outer, DWORD context, REFIID riid, void** object);

// Unloads every module loaded here whose DllCanUnloadNow says S_OK.
void QvCoFreeUnusedLibraries();
