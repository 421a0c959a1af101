#pragma once
#include "com/QvInterfaces.h"

// The class factory of the engine objects: one static object whose references lock
// the module, so that a host holding the factory keeps the code it calls loaded.
class QvEngineFactory final : public IClassFactory {
public:
    static QvEngineFactory& instance();

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    HRESULT LockServer(BOOL lock) override;
};
