// The module's three entry points; nothing else of it is visible to the programs
// that load it.
#include <dlfcn.h>

#include <filesystem>

#include "QvEngineFactory.h"
#include "QvEngineIds.h"
#include "QvEngineModule.h"
#include "QvEngineRegistration.h"

#define QV_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

QV_MODULE_EXPORT HRESULT DllGetClassObject(REFCLSID classId, REFIID riid, void** object);
QV_MODULE_EXPORT HRESULT DllCanUnloadNow();
QV_MODULE_EXPORT HRESULT DllRegisterServer();

HRESULT DllGetClassObject(REFCLSID classId, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (classId != CLSID_QuarvelEngine) return CLASS_E_CLASSNOTAVAILABLE;
    return QvEngineFactory::instance().QueryInterface(riid, object);
}

HRESULT DllCanUnloadNow() { return QvEngineModule::canUnload() ? S_OK : S_FALSE; }

// The module registers the path it was loaded from, made absolute.
HRESULT DllRegisterServer() {
    Dl_info module;
    if (!dladdr(reinterpret_cast<void*>(&DllRegisterServer), &module) || !module.dli_fname) return SELFREG_E_CLASS;
    try {
        std::error_code failed;
        std::filesystem::path path = std::filesystem::absolute(module.dli_fname, failed);
        if (failed) return SELFREG_E_CLASS;
        return QvRegisterEngine(path.lexically_normal().string());
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}
