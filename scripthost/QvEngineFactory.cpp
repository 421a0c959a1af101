#include "QvEngineFactory.h"

#include "QvEngine.h"
#include "QvEngineModule.h"
#include "com/QvComObject.h"

QvEngineFactory& QvEngineFactory::instance() {
    static QvEngineFactory factory;
    return factory;
}

HRESULT QvEngineFactory::QueryInterface(REFIID riid, void** object) {
    return QvQueryOneInterface<IClassFactory>(this, riid, object, {IID_IClassFactory});
}

// The factory lives as long as the module; its count is the module's lock count.
ULONG QvEngineFactory::AddRef() {
    QvEngineModule::lock();
    return 2;
}

ULONG QvEngineFactory::Release() {
    QvEngineModule::unlock();
    return 1;
}

HRESULT QvEngineFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return QvEngine::create(riid, object);
}

HRESULT QvEngineFactory::LockServer(BOOL lock) {
    if (lock)
        QvEngineModule::lock();
    else
        QvEngineModule::unlock();
    return S_OK;
}
