// Running scripts: text parsed before and after the start, syntax and run-time errors
// as the caller and the site see them, the host's own output, and two engines on two
// threads.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "EngineHost.h"

namespace {
const char* const kSyntaxError = "set x to 1;\nprint ;\n";
const char* const kSyntaxMessage = "Syntax Error: Invalid print expression.";
const char* const kRunTimeError = "set x to 1;\nprint x;\n\napplescript tell application \"Finder\" quarvel\nprint x;\n";
const char* const kRunTimeMessage = "AppleScript not available on x86 machines";

// Sends standard output and standard error to files while it lives.
class OutputCapture {
public:
    explicit OutputCapture(const std::string& folder) {
        for (int stream : {1, 2}) {
            std::string path = folder + "/fd" + std::to_string(stream);
            std::fflush(nullptr);
            saved_[stream - 1] = dup(stream);
            int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(file, stream);
            close(file);
            paths_[stream - 1] = path;
        }
    }
    ~OutputCapture() { restore(); }
    void restore() {
        std::fflush(nullptr);
        for (int stream : {1, 2})
            if (saved_[stream - 1] >= 0) dup2(saved_[stream - 1], stream), close(saved_[stream - 1]), saved_[stream - 1] = -1;
    }
    const std::string& path(int stream) const { return paths_[stream - 1]; }

private:
    int saved_[2] = {-1, -1};
    std::string paths_[2];
};
}

class RunTest : public EngineHost {
protected:
    QvComPtr<IActiveScript> engineWithSite() {
        QvComPtr<IActiveScript> engine = createEngine<IActiveScript>(IID_IActiveScript);
        EXPECT_EQ(engine->SetScriptSite(site.get()), S_OK);
        return engine;
    }

    std::vector<SiteEvent> errors() {
        std::vector<SiteEvent> found;
        for (SiteEvent& event : site->takeEvents())
            if (event.kind == SiteEvent::ScriptError) found.push_back(event);
        return found;
    }

    QvComPtr<RecordingSite> site = RecordingSite::create();
};

TEST_F(RunTest, TextParsedBeforeTheStartRunsAtTheStartAndOnlyTheLastTextCounts) {
    QvComPtr<IActiveScript> engine = engineWithSite();
    EXPECT_EQ(parse(engine.get(), kSyntaxError), S_OK);
    EXPECT_EQ(parse(engine.get(), "set x to 1;\nset y to x + 1;\n"), S_OK);
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(parse(engine.get(), ""), S_OK);
}

TEST_F(RunTest, ErrorsOfARunAtTheStartGoToTheSite) {
    for (auto [script, message, line] : {std::tuple{kSyntaxError, kSyntaxMessage, 2}, {kRunTimeError, kRunTimeMessage, 4}}) {
        QvComPtr<IActiveScript> engine = engineWithSite();
        EXPECT_EQ(parse(engine.get(), script), S_OK);
        EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE_CONNECTED), S_OK);
        std::vector<SiteEvent> found = errors();
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].message, message);
        EXPECT_EQ(found[0].scode, E_FAIL);
        EXPECT_EQ(found[0].line, ULONG(line - 1));
        EXPECT_EQ(found[0].sourceLine, line == 2 ? "print ;" : "applescript tell application \"Finder\" quarvel");
    }
}

TEST_F(RunTest, TextParsedAfterTheStartRunsAtOnceAndReturnsItsError) {
    QvComPtr<IActiveScript> engine = engineWithSite();
    EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    EXPECT_EQ(parse(engine.get(), "set x to 2;\n"), S_OK);
    EXPECT_TRUE(errors().empty());

    for (auto [script, message] : {std::pair{kSyntaxError, kSyntaxMessage}, {kRunTimeError, kRunTimeMessage}}) {
        EXCEPINFO exception{};
        exception.bstrSource = reinterpret_cast<BSTR>(&exception);  // whatever was there is overwritten
        EXPECT_EQ(parse(engine.get(), script, &exception), DISP_E_EXCEPTION);
        EXPECT_EQ(QvUtf8FromOleString(exception.bstrDescription), message);
        EXPECT_EQ(exception.bstrSource, nullptr);
        EXPECT_EQ(exception.scode, E_FAIL);
        QvClearExcepInfo(&exception);
        ASSERT_EQ(errors().size(), 1u);
        EXPECT_EQ(parse(engine.get(), script), DISP_E_EXCEPTION);
        errors();
    }

    QvComPtr<IActiveScriptParse32> parser = query<IActiveScriptParse32>(engine.get(), IID_IActiveScriptParse32);
    VARIANT result;
    result.vt = VT_BSTR;
    EXPECT_EQ(parser->ParseScriptText(u"set y to 1;", nullptr, nullptr, nullptr, 0, 0, 0, &result, nullptr), S_OK);
    EXPECT_EQ(result.vt, VT_EMPTY);
    EXPECT_EQ(parser->ParseScriptText(nullptr, nullptr, nullptr, nullptr, 0, 0, 0, nullptr, nullptr), E_POINTER);
    BSTR name = reinterpret_cast<BSTR>(&result);
    EXPECT_EQ(parser->AddScriptlet(nullptr, u"x", nullptr, nullptr, nullptr, nullptr, 0, 0, 0, &name, nullptr), S_OK);
    EXPECT_EQ(name, nullptr);
}

TEST_F(RunTest, NonAsciiTextTravelsBothWaysIntact) {
    const std::string line = "applescript tell \"Grüße, €, 😀\" quarvel";
    const std::string text = "set s to \"naïve 😀\";\n" + line + "\n";
    QvComPtr<IActiveScript> engine = engineWithSite();
    EXPECT_EQ(parse(engine.get(), text), S_OK);
    EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    std::vector<SiteEvent> found = errors();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].sourceLine, line);
    EXPECT_EQ(saved(engine.get()).substr(4), text);
}

TEST_F(RunTest, ScriptOutputNeverReachesTheHostsOwnStreams) {
    const std::string printing = "repeat 50 times print \"from the script\";\nprint 1 / 3;\n";
    OutputCapture capture(folder_);
    for (const char* script : {printing.c_str(), kSyntaxError, kRunTimeError}) {
        QvComPtr<IActiveScript> engine = engineWithSite();
        parse(engine.get(), script);
        engine->SetScriptState(SCRIPTSTATE_STARTED);
        engine->Close();
    }
    capture.restore();
    EXPECT_EQ(readFile(capture.path(1)), "");
    EXPECT_EQ(readFile(capture.path(2)), "");
    EXPECT_EQ(errors().size(), 2u);
}

TEST_F(RunTest, TwoEnginesRunAtOnceOnTwoThreads) {
    constexpr int kRuns = 4;
    auto work = [this](int errorLine, std::vector<ULONG>& lines) {
        std::string script = "set total to 0;\n";
        for (int line = 2; line < errorLine; ++line) script += "repeat 200 times add 1 to total;\n";
        script += "applescript tell application \"Finder\" quarvel\n";
        QvComPtr<RecordingSite> ownSite = RecordingSite::create();
        for (int run = 0; run < kRuns; ++run) {
            QvComPtr<IActiveScript> engine = createEngine<IActiveScript>(IID_IActiveScript);
            engine->SetScriptSite(ownSite.get());
            engine->SetScriptState(SCRIPTSTATE_STARTED);
            EXPECT_EQ(parse(engine.get(), script), DISP_E_EXCEPTION);
            engine->Close();
        }
        for (const SiteEvent& event : ownSite->takeEvents())
            if (event.kind == SiteEvent::ScriptError) lines.push_back(event.line);
    };
    std::vector<ULONG> first, second;
    std::thread one(work, 3, std::ref(first));
    std::thread two(work, 6, std::ref(second));
    one.join();
    two.join();
    EXPECT_EQ(first, std::vector<ULONG>(kRuns, 2));
    EXPECT_EQ(second, std::vector<ULONG>(kRuns, 5));
}
