#include "QvActivation.h"

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "QvCategories.h"
#include "QvComObject.h"
#include "QvComRegistry.h"

namespace {
using GetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, void**);
using CanUnloadNowFunction = HRESULT (*)();

// Modules loaded by activation, by path, each held by one dlopen reference. The lock
// is held while a module hands out a factory, so that no module is unloaded between
// its loading and the factory reference that keeps it.
struct LoadedModules {
    std::recursive_mutex lock;
    std::map<std::string, void*> handles;
};

LoadedModules& loadedModules() {
    static LoadedModules modules;
    return modules;
}

// The caller holds the modules' lock.
void* loadModule(LoadedModules& modules, const std::string& path) {
    auto found = modules.handles.find(path);
    if (found != modules.handles.end()) return found->second;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle) modules.handles.emplace(path, handle);
    return handle;
}

// The category manager, made here as the platform would make it.
class QvBuiltinFactory final : public IClassFactory {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override {
        return QvQueryOneInterface<IClassFactory>(this, riid, object, {IID_IClassFactory});
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return QvCreateCategoryManager(riid, object);
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
};
}

HRESULT QvCLSIDFromProgID(const char* progId, CLSID* classId) {
    if (!progId || !classId) return E_POINTER;
    std::optional<std::string> text;
    if (QvRegistryKeys::isValidKey(progId)) text = QvComRegistry::value(std::string(progId) + "\\CLSID");
    std::optional<GUID> parsed = text ? QvGuidFromString(*text) : std::nullopt;
    if (!parsed) return REGDB_E_CLASSNOTREG;
    *classId = *parsed;
    return S_OK;
}

HRESULT QvCoGetClassObject(REFCLSID classId, DWORD context, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    if (classId == CLSID_StdComponentCategoriesMgr) {
        static QvBuiltinFactory categories;
        return categories.QueryInterface(riid, object);
    }
    std::optional<std::string> path = QvComRegistry::value("CLSID\\" + QvGuidToString(classId) + "\\InprocServer32");
    if (!path || path->empty()) return REGDB_E_CLASSNOTREG;
    LoadedModules& modules = loadedModules();
    std::lock_guard<std::recursive_mutex> guard(modules.lock);
    void* module = loadModule(modules, *path);
    auto getClassObject = module ? reinterpret_cast<GetClassObjectFunction>(dlsym(module, "DllGetClassObject")) : nullptr;
    if (!getClassObject) return E_FAIL;
    return getClassObject(classId, riid, object);
}

HRESULT QvCoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    IClassFactory* factory = nullptr;
    HRESULT result = QvCoGetClassObject(classId, context, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(result)) return result;
    result = factory->CreateInstance(outer, riid, object);
    factory->Release();
    return result;
}

HRESULT QvCoCreateInstance(const char* progIdOrClassId, IUnknown* outer, DWORD context, REFIID riid,
                           void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!progIdOrClassId) return E_POINTER;
    CLSID classId;
    if (std::optional<GUID> given = progIdOrClassId[0] == '{' ? QvGuidFromString(progIdOrClassId) : std::nullopt)
        classId = *given;
    else if (HRESULT found = QvCLSIDFromProgID(progIdOrClassId, &classId); FAILED(found))
        return found;
    return QvCoCreateInstance(classId, outer, context, riid, object);
}

void QvCoFreeUnusedLibraries() {
    LoadedModules& modules = loadedModules();
    std::lock_guard<std::recursive_mutex> guard(modules.lock);
    for (auto it = modules.handles.begin(); it != modules.handles.end();) {
        auto canUnloadNow = reinterpret_cast<CanUnloadNowFunction>(dlsym(it->second, "DllCanUnloadNow"));
        if (canUnloadNow && canUnloadNow() == S_OK) {
            dlclose(it->second);
            it = modules.handles.erase(it);
        } else {
            ++it;
        }
    }
}
