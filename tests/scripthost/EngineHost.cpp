#include "EngineHost.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "com/QvMemoryStream.h"

HRESULT RecordingSite::QueryInterface(REFIID riid, void** object) {
    return QvQueryOneInterface<IActiveScriptSite>(this, riid, object, {IID_IActiveScriptSite});
}

HRESULT RecordingSite::OnStateChange(SCRIPTSTATE state) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        SiteEvent event;
        event.state = state;
        events_.push_back(event);
    }
    if (onCallback) onCallback();
    return S_OK;
}

HRESULT RecordingSite::OnScriptError(IActiveScriptError* error) {
    SiteEvent event;
    event.kind = SiteEvent::ScriptError;
    EXCEPINFO info{};
    EXPECT_EQ(error->GetExceptionInfo(&info), S_OK);
    event.message = QvUtf8FromOleString(info.bstrDescription);
    event.scode = info.scode;
    QvClearExcepInfo(&info);
    DWORD context = 99;
    LONG character = 99;
    EXPECT_EQ(error->GetSourcePosition(&context, &event.line, &character), S_OK);
    EXPECT_EQ(context, 0u);
    EXPECT_EQ(character, 0);
    BSTR line = nullptr;
    if (SUCCEEDED(error->GetSourceLineText(&line))) event.sourceLine = QvUtf8FromOleString(line);
    SysFreeString(line);
    {
        std::lock_guard<std::mutex> guard(lock_);
        events_.push_back(event);
    }
    if (onCallback) onCallback();
    return S_OK;
}

std::vector<SiteEvent> RecordingSite::takeEvents() {
    std::lock_guard<std::mutex> guard(lock_);
    return std::exchange(events_, {});
}

size_t RecordingSite::errorCount() {
    std::lock_guard<std::mutex> guard(lock_);
    size_t count = 0;
    for (const SiteEvent& event : events_) count += event.kind == SiteEvent::ScriptError;
    return count;
}

void EngineHost::SetUp() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qvscripthost-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    registry_ = folder_ + "/registry";
    setenv("QV_COM_REGISTRY", registry_.c_str(), 1);
    module_ = dlopen(modulePath(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module_, nullptr) << dlerror();
    getClassObject_ = reinterpret_cast<GetClassObjectFunction>(dlsym(module_, "DllGetClassObject"));
    canUnloadNow_ = reinterpret_cast<CanUnloadNowFunction>(dlsym(module_, "DllCanUnloadNow"));
    registerServer_ = reinterpret_cast<RegisterServerFunction>(dlsym(module_, "DllRegisterServer"));
    ASSERT_TRUE(getClassObject_ && canUnloadNow_ && registerServer_);
}

void EngineHost::TearDown() {
    if (module_) {
        EXPECT_EQ(canUnloadNow_(), S_OK) << "an engine object or lock outlived the test";
        dlclose(module_);
    }
    unsetenv("QV_COM_REGISTRY");
    std::error_code ignored;
    std::filesystem::permissions(registry_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(folder_, ignored);
}

QvComPtr<IClassFactory> EngineHost::factory() {
    QvComPtr<IClassFactory> factory;
    EXPECT_EQ(getClassObject_(kEngineClass, IID_IClassFactory, factory.putVoid()), S_OK);
    return factory;
}

HRESULT EngineHost::parse(IActiveScript* engine, const std::string& text, EXCEPINFO* exception) {
    QvComPtr<IActiveScriptParse32> parser = query<IActiveScriptParse32>(engine, IID_IActiveScriptParse32);
    std::u16string code = QvUtf8ToUtf16(text);
    return parser->ParseScriptText(code.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, nullptr, exception);
}

std::string EngineHost::saved(IUnknown* engine) {
    QvComPtr<IPersistStreamInit> persist = query<IPersistStreamInit>(engine, IID_IPersistStreamInit);
    QvComPtr<IStream> stream;
    EXPECT_EQ(QvCreateMemoryStream(nullptr, 0, stream.put()), S_OK);
    EXPECT_EQ(persist->Save(stream.get(), 0), S_OK);
    STATSTG status;
    stream->Stat(&status, STATFLAG_NONAME);
    std::string bytes(status.cbSize.QuadPart, '\0');
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    return bytes;
}

std::string EngineHost::readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void EngineHost::writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}
