// The component-category manager over the registry stand-in: descriptions under
// "Component Categories\{category}" by locale (hexadecimal, "409" for 1033), and each
// class's categories as keys below its "Implemented Categories" or
// "Required Categories" key.
#include <cstdio>
#include <new>

#include "QvCategories.h"
#include "QvComObject.h"
#include "QvComRegistry.h"
#include "QvUtf.h"

namespace {
const char* const kImplemented = "Implemented Categories";
const char* const kRequired = "Required Categories";

std::string categoryKey(const CATID& category) { return "Component Categories\\" + QvGuidToString(category); }

std::string classCategoryKey(const CLSID& classId, const char* kind, const CATID& category) {
    return "CLSID\\" + QvGuidToString(classId) + "\\" + kind + "\\" + QvGuidToString(category);
}

std::string localeName(LCID locale) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(locale));
    return text;
}

std::string description(const CATEGORYINFO& info) {
    size_t length = 0;
    while (length < std::size(info.szDescription) && info.szDescription[length]) ++length;
    return QvUtf16ToUtf8(std::u16string_view(info.szDescription, length));
}

class QvCategoryManager final : public ICatRegister, private QvComRefCount<QvCategoryManager> {
    friend class QvComRefCount<QvCategoryManager>;

public:
    HRESULT QueryInterface(REFIID riid, void** object) override {
        return QvQueryOneInterface<ICatRegister>(this, riid, object, {IID_ICatRegister});
    }
    ULONG AddRef() override { return addReference(); }
    ULONG Release() override { return releaseReference(); }

    HRESULT RegisterCategories(ULONG count, CATEGORYINFO infos[]) override {
        if (count && !infos) return E_POINTER;
        return QvComRegistry::update([&](QvRegistryKeys& keys) {
            for (ULONG i = 0; i < count; ++i)
                keys.setValue(categoryKey(infos[i].catid), localeName(infos[i].lcid), description(infos[i]));
            return S_OK;
        });
    }

    HRESULT UnRegisterCategories(ULONG count, CATID ids[]) override {
        if (count && !ids) return E_POINTER;
        return QvComRegistry::update([&](QvRegistryKeys& keys) {
            for (ULONG i = 0; i < count; ++i) keys.deleteKey(categoryKey(ids[i]));
            return S_OK;
        });
    }

    HRESULT RegisterClassImplCategories(REFCLSID classId, ULONG count, CATID ids[]) override {
        return markClass(classId, kImplemented, count, ids, true);
    }
    HRESULT UnRegisterClassImplCategories(REFCLSID classId, ULONG count, CATID ids[]) override {
        return markClass(classId, kImplemented, count, ids, false);
    }
    HRESULT RegisterClassReqCategories(REFCLSID classId, ULONG count, CATID ids[]) override {
        return markClass(classId, kRequired, count, ids, true);
    }
    HRESULT UnRegisterClassReqCategories(REFCLSID classId, ULONG count, CATID ids[]) override {
        return markClass(classId, kRequired, count, ids, false);
    }

private:
    ~QvCategoryManager() = default;

    static HRESULT markClass(REFCLSID classId, const char* kind, ULONG count, CATID ids[], bool add) {
        if (count && !ids) return E_POINTER;
        return QvComRegistry::update([&](QvRegistryKeys& keys) {
            for (ULONG i = 0; i < count; ++i) {
                std::string key = classCategoryKey(classId, kind, ids[i]);
                if (add)
                    keys.createKey(key);
                else
                    keys.deleteKey(key);
            }
            return S_OK;
        });
    }
};
}

HRESULT QvCreateCategoryManager(REFIID riid, void** object) {
    return QvHandOut(new (std::nothrow) QvCategoryManager, riid, object);
}
