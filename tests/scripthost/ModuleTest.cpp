// The module as a host meets it: its exports, its class factory, its unloading, the
// interfaces of an engine object and their tables of functions.
#include <elf.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <set>
#include <thread>

#include "EngineHost.h"

namespace {
// The names of the symbols the module defines and lets other modules bind to.
std::set<std::string> exportedSymbols(const std::string& elf) {
    std::set<std::string> names;
    if (elf.size() < sizeof(Elf64_Ehdr)) return names;
    auto header = reinterpret_cast<const Elf64_Ehdr*>(elf.data());
    auto sections = reinterpret_cast<const Elf64_Shdr*>(elf.data() + header->e_shoff);
    for (int i = 0; i < header->e_shnum; ++i) {
        if (sections[i].sh_type != SHT_DYNSYM) continue;
        const char* strings = elf.data() + sections[sections[i].sh_link].sh_offset;
        auto symbols = reinterpret_cast<const Elf64_Sym*>(elf.data() + sections[i].sh_offset);
        for (size_t s = 0; s < sections[i].sh_size / sizeof(Elf64_Sym); ++s) {
            const Elf64_Sym& symbol = symbols[s];
            int binding = ELF64_ST_BIND(symbol.st_info);
            if (symbol.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK)) continue;
            if (ELF64_ST_VISIBILITY(symbol.st_other) != STV_DEFAULT) continue;
            names.insert(strings + symbol.st_name);
        }
    }
    return names;
}

const IID kUnknownInterface = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
const IID IID_IActiveScriptParse64 = {0xC7EF7658, 0xE1EE, 0x480E, {0x97, 0xEA, 0xD5, 0x2C, 0xB4, 0xD7, 0x6D, 0x17}};

// Calls slot `slot` of the object's table of functions, as a C host does.
template <class Result, class... Arguments>
Result callSlot(void* object, int slot, Arguments... arguments) {
    using Function = Result (*)(void*, Arguments...);
    void** table = *static_cast<void***>(object);
    return reinterpret_cast<Function>(table[slot])(object, arguments...);
}
}

using ModuleTest = EngineHost;

TEST_F(ModuleTest, ExportsExactlyTheThreeEntryPoints) {
    EXPECT_EQ(exportedSymbols(readFile(modulePath())),
              (std::set<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer"}));
}

TEST_F(ModuleTest, ClassFactoryRefusesOtherClassesAggregationAndOtherInterfaces) {
    void* object = &object;
    EXPECT_EQ(getClassObject_(kUnknownInterface, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(getClassObject_(kEngineClass, IID_IClassFactory, nullptr), E_POINTER);
    object = &object;
    EXPECT_EQ(getClassObject_(kEngineClass, IID_IStream, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    QvComPtr<IClassFactory> classFactory = factory();
    QvComPtr<IActiveScript> outer = createEngine<IActiveScript>(IID_IActiveScript);
    object = &object;
    EXPECT_EQ(classFactory->CreateInstance(outer.get(), IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(classFactory->CreateInstance(nullptr, IID_IStream, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(classFactory->CreateInstance(nullptr, IID_IActiveScript, nullptr), E_POINTER);
}

TEST_F(ModuleTest, StaysLoadedWhileObjectsFactoriesOrLocksLive) {
    EXPECT_EQ(canUnloadNow_(), S_OK);
    QvComPtr<IClassFactory> classFactory = factory();
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    QvComPtr<IActiveScript> engine;
    ASSERT_EQ(classFactory->CreateInstance(nullptr, IID_IActiveScript, engine.putVoid()), S_OK);
    IClassFactory* kept = classFactory.get();
    classFactory.reset();
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    engine.reset();
    EXPECT_EQ(canUnloadNow_(), S_OK);

    EXPECT_EQ(kept->LockServer(1), S_OK);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    EXPECT_EQ(kept->LockServer(0), S_OK);
    EXPECT_EQ(canUnloadNow_(), S_OK);
    // An unlock without a lock must not let a later lock count for nothing.
    EXPECT_EQ(kept->LockServer(0), S_OK);
    EXPECT_EQ(kept->LockServer(1), S_OK);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    EXPECT_EQ(kept->LockServer(0), S_OK);
}

TEST_F(ModuleTest, QueryInterfaceHasIdentitySymmetryAndTransitivityOverTheExposedSet) {
    const IID* exposed[] = {&IID_IUnknown,           &IID_IActiveScript,  &IID_IActiveScriptParse32,
                            &IID_IPersist,           &IID_IPersistStreamInit, &IID_IObjectSafety};
    const IID* hidden[] = {&IID_IDispatch,      &IID_IStream,           &IID_IClassFactory,     &IID_IActiveScriptSite,
                           &IID_ICatRegister,   &IID_IActiveScriptParse64, &IID_IActiveScriptError, &kUnknownInterface};
    QvComPtr<IUnknown> engine = createEngine<IUnknown>(IID_IUnknown);
    for (const IID* from : exposed) {
        QvComPtr<IUnknown> first = query<IUnknown>(engine.get(), *from);
        EXPECT_EQ(query<IUnknown>(first.get(), IID_IUnknown).get(), engine.get()) << QvGuidToString(*from);
        for (const IID* to : exposed) {
            QvComPtr<IUnknown> second = query<IUnknown>(first.get(), *to);
            EXPECT_EQ(query<IUnknown>(second.get(), *from).get(), first.get());
            EXPECT_EQ(query<IUnknown>(engine.get(), *to).get(), second.get());
        }
        for (const IID* absent : hidden) {
            void* object = &object;
            EXPECT_EQ(first->QueryInterface(*absent, &object), E_NOINTERFACE) << QvGuidToString(*absent);
            EXPECT_EQ(object, nullptr);
        }
        EXPECT_EQ(first->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    }
}

TEST_F(ModuleTest, SlotsOfTheFunctionTablesAreThePublishedOnes) {
    QvComPtr<IActiveScript> engine = createEngine<IActiveScript>(IID_IActiveScript);
    void* script = engine.get();
    SCRIPTSTATE state = SCRIPTSTATE_CLOSED;
    EXPECT_EQ((callSlot<HRESULT, SCRIPTSTATE*>(script, 6, &state)), S_OK);  // GetScriptState
    EXPECT_EQ(state, SCRIPTSTATE_UNINITIALIZED);
    EXPECT_EQ((callSlot<ULONG>(script, 1)), 2u);  // AddRef
    EXPECT_EQ((callSlot<ULONG>(script, 2)), 1u);  // Release
    SCRIPTTHREADID thread = 7;
    EXPECT_EQ((callSlot<HRESULT, SCRIPTTHREADID*>(script, 11, &thread)), S_OK);  // GetCurrentScriptThreadID
    EXPECT_EQ(thread, 0u);
    EXPECT_EQ((callSlot<HRESULT, SCRIPTTHREADID, const EXCEPINFO*, DWORD>(script, 14, 0, nullptr, 0)), E_NOTIMPL);

    void* parser = nullptr;
    EXPECT_EQ((callSlot<HRESULT, const IID*, void**>(script, 0, &IID_IActiveScriptParse32, &parser)), S_OK);
    EXPECT_EQ((callSlot<HRESULT>(parser, 3)), S_OK);  // InitNew
    const char16_t code[] = u"set x to 1;";
    EXPECT_EQ((callSlot<HRESULT, LPCOLESTR, LPCOLESTR, IUnknown*, LPCOLESTR, DWORD, ULONG, DWORD, VARIANT*, EXCEPINFO*>(
                  parser, 5, code, nullptr, nullptr, nullptr, 0, 0, 0, nullptr, nullptr)),
              S_OK);  // ParseScriptText
    callSlot<ULONG>(parser, 2);

    void* persist = nullptr;
    EXPECT_EQ((callSlot<HRESULT, const IID*, void**>(script, 0, &IID_IPersistStreamInit, &persist)), S_OK);
    EXPECT_EQ((callSlot<HRESULT>(persist, 4)), S_FALSE);  // IsDirty
    ULARGE_INTEGER size{};
    EXPECT_EQ((callSlot<HRESULT, ULARGE_INTEGER*>(persist, 7, &size)), S_OK);  // GetSizeMax
    EXPECT_EQ(size.QuadPart, 2u * 11 + 4);
    callSlot<ULONG>(persist, 2);

    void* safety = nullptr;
    EXPECT_EQ((callSlot<HRESULT, const IID*, void**>(script, 0, &IID_IObjectSafety, &safety)), S_OK);
    DWORD supported = 0, enabled = 9;
    EXPECT_EQ((callSlot<HRESULT, const IID*, DWORD*, DWORD*>(safety, 3, &IID_IActiveScript, &supported, &enabled)),
              S_OK);
    EXPECT_EQ(supported, 15u);
    EXPECT_EQ(enabled, 0u);
    callSlot<ULONG>(safety, 2);
}

TEST_F(ModuleTest, ObjectSafetyKeepsTheOptionsOfTheMaskAndRefusesOthers) {
    QvComPtr<IObjectSafety> safety = createEngine<IObjectSafety>(IID_IObjectSafety);
    DWORD supported = 9, enabled = 9;
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), E_NOINTERFACE);
    EXPECT_EQ(supported, 0u);
    EXPECT_EQ(enabled, 0u);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IActiveScript, nullptr, &enabled), E_POINTER);

    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IActiveScriptParse32, 3, 1), S_OK);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IActiveScript, 2 | 8, 2 | 8), S_OK);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IActiveScript, 1, 0), S_OK);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IActiveScript, 16, 16), E_FAIL);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, 4, 4), E_NOINTERFACE);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IPersistStreamInit, &supported, &enabled), S_OK);
    EXPECT_EQ(supported, 15u);
    EXPECT_EQ(enabled, 2u | 8u);
}

TEST_F(ModuleTest, ScriptThreadIsTheCallingThread) {
    QvComPtr<IActiveScript> engine = createEngine<IActiveScript>(IID_IActiveScript);
    SCRIPTTHREADID here = 0, there = 0;
    EXPECT_EQ(engine->GetScriptThreadID(12345, &here), S_OK);
    EXPECT_EQ(here, static_cast<SCRIPTTHREADID>(syscall(SYS_gettid)));
    SCRIPTTHREADID otherThread = 0;
    std::thread([&] {
        otherThread = static_cast<SCRIPTTHREADID>(syscall(SYS_gettid));
        engine->GetScriptThreadID(0, &there);
    }).join();
    EXPECT_EQ(there, otherThread);
    EXPECT_NE(there, here);
    SCRIPTTHREADSTATE state = SCRIPTTHREADSTATE_RUNNING;
    EXPECT_EQ(engine->GetScriptThreadState(here, &state), S_OK);
    EXPECT_EQ(state, SCRIPTTHREADSTATE_NOTINSCRIPT);
    EXPECT_EQ(engine->GetScriptThreadState(here, nullptr), E_POINTER);

    IDispatch* dispatch = reinterpret_cast<IDispatch*>(&state);
    EXPECT_EQ(engine->GetScriptDispatch(nullptr, &dispatch), S_FALSE);
    EXPECT_EQ(dispatch, nullptr);
    IActiveScript* copy = engine.get();
    EXPECT_EQ(engine->Clone(&copy), E_NOTIMPL);
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(engine->AddNamedItem(u"window", 0), S_OK);
    EXPECT_EQ(engine->AddTypeLib(kUnknownInterface, 1, 0, 0), S_OK);
}
