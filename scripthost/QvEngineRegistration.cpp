#include "QvEngineRegistration.h"

#include <algorithm>

#include "QvEngineIds.h"
#include "com/QvActivation.h"
#include "com/QvCategories.h"
#include "com/QvComObject.h"
#include "com/QvComRegistry.h"
#include "com/QvUtf.h"

namespace {
constexpr LCID kEnglishUnitedStates = 1033;

std::string classKey() { return "CLSID\\" + QvGuidToString(CLSID_QuarvelEngine); }

HRESULT registerClass(const std::string& modulePath) {
    return QvComRegistry::update([&](QvRegistryKeys& keys) {
        keys.setValue(classKey(), "", kQuarvelEngineDescription);
        keys.setValue(classKey() + "\\InprocServer32", "", modulePath);
        keys.setValue(classKey() + "\\InprocServer32", "ThreadingModel", "Both");
        keys.setValue(classKey() + "\\ProgID", "", kQuarvelEngineProgId);
        keys.setValue(kQuarvelEngineProgId, "", kQuarvelEngineDescription);
        keys.setValue(std::string(kQuarvelEngineProgId) + "\\CLSID", "", QvGuidToString(CLSID_QuarvelEngine));
        return S_OK;
    });
}

// Describes the category and marks the engine as implementing it.
HRESULT registerCategory(ICatRegister& categories, const CATID& category, const std::u16string& description) {
    CATEGORYINFO info{category, kEnglishUnitedStates, {}};
    size_t length = std::min(description.size(), std::size(info.szDescription) - 1);
    std::copy_n(description.begin(), length, info.szDescription);
    HRESULT result = categories.RegisterCategories(1, &info);
    if (FAILED(result)) return result;
    CATID implemented[] = {category};
    return categories.RegisterClassImplCategories(CLSID_QuarvelEngine, 1, implemented);
}
}

HRESULT QvRegisterEngine(const std::string& modulePath) {
    if (FAILED(registerClass(modulePath))) return SELFREG_E_CLASS;
    QvComPtr<ICatRegister> categories;
    if (FAILED(QvCoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatRegister,
                                  categories.putVoid())) ||
        FAILED(registerCategory(*categories, CATID_ActiveScriptParse, u"ActiveX Scripting Engines")) ||
        FAILED(registerCategory(*categories, CATID_ActiveScript, u"ActiveX Scripting Engines - with IPersist")))
        return SELFREG_E_CLASS;
    HRESULT result = QvComRegistry::createKey(classKey() + "\\OLEScript");
    if (SUCCEEDED(result)) result = QvComRegistry::createKey(std::string(kQuarvelEngineProgId) + "\\OLEScript");
    if (SUCCEEDED(result))
        result = QvComRegistry::setValue(std::string(kQuarvelDocumentType) + "\\ScriptEngine", "", kQuarvelEngineProgId);
    return FAILED(result) ? SELFREG_E_CLASS : result;
}
