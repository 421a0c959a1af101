// The engine's saved form: round trips, and streams that lie, end early, fail or
// fill up.
#include <algorithm>
#include <cstring>

#include "EngineHost.h"
#include "com/QvMemoryStream.h"

namespace {
// A stream that moves at most `chunk` bytes per call, and fails every call once
// `failAfter` bytes have moved, with `failure`.
class ScriptedStream final : public IStream, private QvComRefCount<ScriptedStream> {
    friend class QvComRefCount<ScriptedStream>;

public:
    ScriptedStream(std::string bytes, ULONG chunk, size_t failAfter = SIZE_MAX, HRESULT failure = E_FAIL)
        : bytes_(std::move(bytes)), chunk_(chunk), failAfter_(failAfter), failure_(failure) {}

    HRESULT QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return addReference(); }
    ULONG Release() override { return releaseReference(); }

    HRESULT Read(void* buffer, ULONG size, ULONG* read) override {
        *read = 0;
        if (moved_ >= failAfter_) return failure_;
        ULONG count = static_cast<ULONG>(std::min<size_t>({size, chunk_, bytes_.size() - at_}));
        std::memcpy(buffer, bytes_.data() + at_, count);
        at_ += count;
        moved_ += count;
        *read = count;
        return count < size ? S_FALSE : S_OK;
    }
    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override {
        *written = 0;
        if (moved_ >= failAfter_) return failure_;
        ULONG count = std::min(size, chunk_);
        written_.append(static_cast<const char*>(buffer), count);
        moved_ += count;
        *written = count;
        return S_OK;
    }
    HRESULT Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT Revert() override { return E_NOTIMPL; }
    HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
    HRESULT Clone(IStream**) override { return E_NOTIMPL; }

    const std::string& written() const { return written_; }

private:
    ~ScriptedStream() = default;

    std::string bytes_;
    std::string written_;
    ULONG chunk_;
    size_t failAfter_;
    HRESULT failure_;
    size_t at_ = 0;
    size_t moved_ = 0;
};

std::string withCount(uint32_t count, const std::string& bytes) {
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(count >> (8 * i));
    return out + bytes;
}

QvComPtr<IStream> memoryStream(const std::string& bytes, size_t capacity = SIZE_MAX) {
    QvComPtr<IStream> stream;
    EXPECT_EQ(QvCreateMemoryStream(bytes.data(), bytes.size(), stream.put(), capacity), S_OK);
    return stream;
}
}

class PersistenceTest : public EngineHost {
protected:
    QvComPtr<IPersistStreamInit> engineWith(const std::string& text) {
        QvComPtr<IPersistStreamInit> persist = createEngine<IPersistStreamInit>(IID_IPersistStreamInit);
        QvComPtr<IActiveScript> script = query<IActiveScript>(persist.get(), IID_IActiveScript);
        EXPECT_EQ(parse(script.get(), text), S_OK);
        return persist;
    }
};

TEST_F(PersistenceTest, SaveThenLoadRestoresTheTextAndLeavesTheEngineDirty) {
    QvComPtr<IPersistStreamInit> original = engineWith("print 12345;");
    ULARGE_INTEGER size{};
    EXPECT_EQ(original->GetSizeMax(&size), S_OK);
    EXPECT_EQ(size.QuadPart, 28u);
    EXPECT_EQ(original->IsDirty(), S_FALSE);
    EXPECT_EQ(saved(original.get()), withCount(12, "print 12345;"));

    QvComPtr<IPersistStreamInit> copy = createEngine<IPersistStreamInit>(IID_IPersistStreamInit);
    EXPECT_EQ(copy->Load(memoryStream(saved(original.get())).get()), S_OK);
    EXPECT_EQ(copy->IsDirty(), S_OK);
    EXPECT_EQ(saved(copy.get()), saved(original.get()));

    QvComPtr<IStream> target = memoryStream("");
    EXPECT_EQ(copy->Save(target.get(), 0), S_OK);
    EXPECT_EQ(copy->IsDirty(), S_OK);
    EXPECT_EQ(copy->Save(target.get(), 1), S_OK);
    EXPECT_EQ(copy->IsDirty(), S_FALSE);

    // Text ends at its first NUL; an empty text saves as a bare count.
    EXPECT_EQ(copy->Load(memoryStream(withCount(6, std::string("ab\0cd\0", 6))).get()), S_OK);
    EXPECT_EQ(saved(copy.get()), withCount(2, "ab"));
    EXPECT_EQ(copy->InitNew(), S_OK);
    EXPECT_EQ(saved(copy.get()), withCount(0, ""));
    EXPECT_EQ(copy->GetSizeMax(&size), S_OK);
    EXPECT_EQ(size.QuadPart, 4u);

    CLSID classId;
    EXPECT_EQ(copy->GetClassID(&classId), E_FAIL);
    EXPECT_EQ(copy->Load(nullptr), E_POINTER);
    EXPECT_EQ(copy->Save(nullptr, 1), E_POINTER);
    EXPECT_EQ(copy->GetSizeMax(nullptr), E_POINTER);
}

TEST_F(PersistenceTest, StreamsThatMoveFewBytesPerCallStillWork) {
    QvComPtr<IPersistStreamInit> engine = engineWith("set x to 1;");
    QvComPtr<ScriptedStream> target(new ScriptedStream("", 1));
    EXPECT_EQ(engine->Save(target.get(), 1), S_OK);
    EXPECT_EQ(target->written(), withCount(11, "set x to 1;"));

    QvComPtr<ScriptedStream> source(new ScriptedStream(withCount(5, "hello"), 2));
    EXPECT_EQ(engine->Load(source.get()), S_OK);
    EXPECT_EQ(saved(engine.get()), withCount(5, "hello"));
}

TEST_F(PersistenceTest, HostileStreamsLeaveTheEngineAsItWas) {
    const std::string text = "set kept to 1;";
    QvComPtr<IPersistStreamInit> engine = engineWith(text);
    struct Case {
        const char* what;
        QvComPtr<IStream> stream;
        HRESULT expected;
    };
    Case cases[] = {
        {"a count of 4 GiB", memoryStream(withCount(0xFFFFFFFF, "abc")), E_OUTOFMEMORY},
        {"a count just above 64 MiB", memoryStream(withCount((64u << 20) + 1, "abc")), E_OUTOFMEMORY},
        {"fewer bytes than counted", memoryStream(withCount(100, "only ten..")), STG_E_READFAULT},
        {"half a count", memoryStream(std::string("\x05\x00", 2)), STG_E_READFAULT},
        {"nothing at all", memoryStream(""), STG_E_READFAULT},
        {"a failing read", QvComPtr<IStream>(new ScriptedStream(withCount(8, "abcdefgh"), 3, 6, STG_E_READFAULT)),
         STG_E_READFAULT},
        {"a failing read of the stream's own kind",
         QvComPtr<IStream>(new ScriptedStream(withCount(8, "abcdefgh"), 64, 0, E_UNEXPECTED)), E_UNEXPECTED},
    };
    for (Case& hostile : cases) {
        EXPECT_EQ(engine->Load(hostile.stream.get()), hostile.expected) << hostile.what;
        EXPECT_EQ(engine->IsDirty(), S_FALSE) << hostile.what;
        EXPECT_EQ(saved(engine.get()), withCount(uint32_t(text.size()), text)) << hostile.what;
    }
}

TEST_F(PersistenceTest, FailedSaveStopsAtTheFailureAndKeepsTheEngineDirty) {
    QvComPtr<IPersistStreamInit> engine = createEngine<IPersistStreamInit>(IID_IPersistStreamInit);
    EXPECT_EQ(engine->Load(memoryStream(withCount(10, "0123456789")).get()), S_OK);

    QvComPtr<IStream> full = memoryStream("", 8);
    EXPECT_EQ(engine->Save(full.get(), 1), STG_E_MEDIUMFULL);
    EXPECT_EQ(engine->IsDirty(), S_OK);
    STATSTG status;
    full->Stat(&status, STATFLAG_NONAME);
    EXPECT_EQ(status.cbSize.QuadPart, 4u);

    QvComPtr<ScriptedStream> failing(new ScriptedStream("", 64, 4, STG_E_WRITEFAULT));
    EXPECT_EQ(engine->Save(failing.get(), 1), STG_E_WRITEFAULT);
    EXPECT_EQ(failing->written(), withCount(10, ""));
    EXPECT_EQ(engine->IsDirty(), S_OK);
}
