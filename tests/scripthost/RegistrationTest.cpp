// Registering the engine in a registry file of the test's own, and hosts finding it
// there.
#include <sys/stat.h>

#include <filesystem>

#include "EngineHost.h"
#include "com/QvActivation.h"
#include "com/QvCategories.h"
#include "com/QvComRegistry.h"

namespace {
std::string classKey() { return "CLSID\\" + QvGuidToString(kEngineClass); }
}

using RegistrationTest = EngineHost;

TEST_F(RegistrationTest, RegistersClassCategoriesAndScriptKeysOnceHoweverOftenAsked) {
    writeFile(registry_, "[Other\\Key]\n@=\"kept\"\n");
    EXPECT_EQ(registerServer_(), S_OK);
    std::string first = readFile(registry_);
    EXPECT_EQ(registerServer_(), S_OK);
    EXPECT_EQ(readFile(registry_), first);

    EXPECT_EQ(QvComRegistry::value("Other\\Key"), "kept");
    EXPECT_EQ(QvComRegistry::value(classKey() + "\\InprocServer32"),
              std::filesystem::absolute(modulePath()).lexically_normal().string());
    EXPECT_EQ(QvComRegistry::value(classKey() + "\\ProgID"), "Quarvel");
    EXPECT_EQ(QvComRegistry::value("Quarvel\\CLSID"), QvGuidToString(kEngineClass));
    EXPECT_EQ(QvComRegistry::value("Component Categories\\{F0B7A1A2-9847-11CF-8F20-00805F2CD064}", "409"),
              "ActiveX Scripting Engines");
    EXPECT_EQ(QvComRegistry::value("Component Categories\\{F0B7A1A1-9847-11CF-8F20-00805F2CD064}", "409"),
              "ActiveX Scripting Engines - with IPersist");
    EXPECT_EQ(QvComRegistry::value("Quarvel.Document\\ScriptEngine"), "Quarvel");
    QvRegistryKeys keys;
    ASSERT_EQ(QvComRegistry::read(keys), S_OK);
    for (const std::string& key : {classKey() + "\\Implemented Categories\\{F0B7A1A1-9847-11CF-8F20-00805F2CD064}",
                                  classKey() + "\\Implemented Categories\\{F0B7A1A2-9847-11CF-8F20-00805F2CD064}",
                                  classKey() + "\\OLEScript", std::string("Quarvel\\OLEScript")})
        EXPECT_TRUE(keys.hasKey(key)) << key;
}

TEST_F(RegistrationTest, ReadOnlyOrUnreadableRegistryIsLeftAsItWas) {
    for (const std::string& content : {std::string("[Other]\n@=\"x\"\n"), std::string("this is not a registry\n")}) {
        writeFile(registry_, content);
        bool readOnly = content[0] == '[';
        if (readOnly) chmod(registry_.c_str(), 0444);
        EXPECT_EQ(registerServer_(), SELFREG_E_CLASS);
        EXPECT_EQ(readFile(registry_), content);
        chmod(registry_.c_str(), 0644);
    }
}

TEST_F(RegistrationTest, HostsCreateTheEngineByProgIdOrClassAndUnloadItWhenUnused) {
    QvComPtr<IActiveScript> engine;
    EXPECT_EQ(QvCoCreateInstance("Quarvel", nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript, engine.putVoid()),
              REGDB_E_CLASSNOTREG);
    ASSERT_EQ(registerServer_(), S_OK);
    ASSERT_EQ(QvCoCreateInstance("Quarvel", nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript, engine.putVoid()), S_OK);
    QvComPtr<IActiveScript> byClass;
    ASSERT_EQ(QvCoCreateInstance(QvGuidToString(kEngineClass).c_str(), nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IActiveScript, byClass.putVoid()),
              S_OK);
    EXPECT_EQ(QvCoCreateInstance("Quarvel", engine.get(), CLSCTX_INPROC_SERVER, IID_IUnknown, byClass.putVoid()),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(QvCoCreateInstance("NoSuchEngine", nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, byClass.putVoid()),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(QvCoCreateInstance("Quarvel", nullptr, 0, IID_IUnknown, byClass.putVoid()), REGDB_E_CLASSNOTREG);

    // Our own handle keeps the module mapped; activation's is the one freed.
    QvCoFreeUnusedLibraries();
    SCRIPTSTATE state;
    EXPECT_EQ(engine->GetScriptState(&state), S_OK);
    engine.reset();
    QvCoFreeUnusedLibraries();
    dlclose(module_);
    module_ = nullptr;
    EXPECT_EQ(dlopen(modulePath(), RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST_F(RegistrationTest, CategoryManagerIsMadeByTheLayerItself) {
    QvComPtr<ICatRegister> categories;
    ASSERT_EQ(QvCoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatRegister,
                                 categories.putVoid()),
              S_OK);
    CATID category = CATID_ActiveScript;
    EXPECT_EQ(categories->RegisterClassReqCategories(kEngineClass, 1, &category), S_OK);
    QvRegistryKeys keys;
    ASSERT_EQ(QvComRegistry::read(keys), S_OK);
    EXPECT_TRUE(keys.hasKey(classKey() + "\\Required Categories\\" + QvGuidToString(category)));
    EXPECT_EQ(categories->UnRegisterClassReqCategories(kEngineClass, 1, &category), S_OK);
    ASSERT_EQ(QvComRegistry::read(keys), S_OK);
    EXPECT_FALSE(keys.hasKey(classKey() + "\\Required Categories\\" + QvGuidToString(category)));
    EXPECT_EQ(categories->RegisterCategories(1, nullptr), E_POINTER);
}
