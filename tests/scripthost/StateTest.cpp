// The engine's states: every move between them, what each does to the script text and
// the site, and the site's own rules.
#include "EngineHost.h"

namespace {
// Fails on every run, so that each run shows as one error at the site.
const char* const kFailingScript = "set x to 1;\napplescript tell application \"Finder\" quarvel\n";

// What a move from a state (column) to a state (row) does: run the script, reset the
// text, release the site, both, or nothing.
const char* const kMoves[6][6] = {
    // from: 0      1       2       3       4      5
    {"-", "reset+site", "reset+site", "reset+site", "-", "site"},  // to uninitialized
    {"run", "-", "run", "run", "-", "run"},                        // to started
    {"run", "-", "-", "-", "-", "run"},                            // to connected
    {"-", "-", "-", "-", "-", "-"},                                // to disconnected
    {"-", "-", "-", "-", "-", "-"},                                // to closed
    {"-", "reset", "reset", "reset", "-", "-"},                    // to initialized
};

uint64_t textBytes(IActiveScript* engine) {
    QvComPtr<IPersistStreamInit> persist;
    engine->QueryInterface(IID_IPersistStreamInit, persist.putVoid());
    ULARGE_INTEGER size{};
    persist->GetSizeMax(&size);
    return (size.QuadPart - 4) / 2;
}
}

class StateTest : public EngineHost {
protected:
    // An engine with the site and the failing script, moved to `state`.
    QvComPtr<IActiveScript> engineIn(SCRIPTSTATE state) {
        QvComPtr<IActiveScript> engine = createEngine<IActiveScript>(IID_IActiveScript);
        EXPECT_EQ(engine->SetScriptSite(site.get()), S_OK);
        EXPECT_EQ(parse(engine.get(), kFailingScript), S_OK);
        if (state != SCRIPTSTATE_UNINITIALIZED) {
            EXPECT_EQ(engine->SetScriptState(state), S_OK);
        }
        site->takeEvents();
        return engine;
    }

    QvComPtr<RecordingSite> site = RecordingSite::create();
};

TEST_F(StateTest, EveryMoveActsAsTheTableSays) {
    const uint64_t scriptBytes = std::string(kFailingScript).size();
    for (int from = 0; from <= 5; ++from) {
        if (from == SCRIPTSTATE_CLOSED) continue;
        for (int to = 0; to <= 5; ++to) {
            SCOPED_TRACE("from " + std::to_string(from) + " to " + std::to_string(to));
            QvComPtr<IActiveScript> engine = engineIn(SCRIPTSTATE(from));
            HRESULT result = engine->SetScriptState(SCRIPTSTATE(to));
            SCRIPTSTATE now;
            engine->GetScriptState(&now);
            EXPECT_EQ(now, to);
            std::vector<SiteEvent> events = site->takeEvents();
            if (from == to) {
                EXPECT_EQ(result, S_FALSE);
                EXPECT_TRUE(events.empty());
                continue;
            }
            EXPECT_EQ(result, S_OK);
            std::string move = kMoves[to][from];
            bool siteKept = move.find("site") == std::string::npos;
            EXPECT_EQ(site->references > 0, siteKept);
            EXPECT_EQ(textBytes(engine.get()), move.find("reset") == std::string::npos ? scriptBytes : 0);
            std::vector<SiteEvent::Kind> expected;
            if (move == "run") expected.push_back(SiteEvent::ScriptError);
            if (to != SCRIPTSTATE_UNINITIALIZED && siteKept) expected.push_back(SiteEvent::StateChange);
            ASSERT_EQ(events.size(), expected.size());
            for (size_t i = 0; i < events.size(); ++i) EXPECT_EQ(events[i].kind, expected[i]);
            if (!events.empty() && events.back().kind == SiteEvent::StateChange) {
                EXPECT_EQ(events.back().state, to);
            }
        }
    }
}

TEST_F(StateTest, ClosedEngineRefusesEveryOtherStateAndOutOfRangeStatesDoNothing) {
    QvComPtr<IActiveScript> engine = engineIn(SCRIPTSTATE_INITIALIZED);
    EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE(6)), S_OK);
    EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE(-1)), S_OK);
    SCRIPTSTATE now;
    engine->GetScriptState(&now);
    EXPECT_EQ(now, SCRIPTSTATE_INITIALIZED);
    EXPECT_TRUE(site->takeEvents().empty());

    EXPECT_EQ(engine->Close(), S_OK);
    EXPECT_EQ(site->references, 0);
    std::vector<SiteEvent> events = site->takeEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].state, SCRIPTSTATE_CLOSED);
    for (int to = 0; to <= 5; ++to)
        EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE(to)), to == SCRIPTSTATE_CLOSED ? S_FALSE : E_UNEXPECTED);
    EXPECT_EQ(engine->Close(), S_OK);
    EXPECT_EQ(engine->GetScriptState(nullptr), E_POINTER);
}

TEST_F(StateTest, StartingTwiceRunsOnceAndRestartingAfterInitializedRunsNothing) {
    QvComPtr<IActiveScript> engine = engineIn(SCRIPTSTATE_UNINITIALIZED);
    EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), S_FALSE);
    EXPECT_EQ(site->errorCount(), 1u);
    EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE_INITIALIZED), S_OK);
    EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    EXPECT_EQ(site->errorCount(), 1u);
}

TEST_F(StateTest, SiteRules) {
    QvComPtr<IActiveScript> engine = createEngine<IActiveScript>(IID_IActiveScript);
    QvComPtr<IActiveScriptSite> found;
    EXPECT_EQ(engine->GetScriptSite(IID_IActiveScriptSite, found.putVoid()), E_NOINTERFACE);
    EXPECT_EQ(found.get(), nullptr);
    EXPECT_EQ(engine->SetScriptSite(nullptr), E_POINTER);

    EXPECT_EQ(engine->SetScriptSite(site.get()), S_OK);
    EXPECT_EQ(engine->SetScriptSite(site.get()), E_UNEXPECTED);
    EXPECT_EQ(engine->GetScriptSite(IID_IActiveScriptSite, found.putVoid()), S_OK);
    EXPECT_EQ(found.get(), static_cast<IActiveScriptSite*>(site.get()));
    EXPECT_EQ(engine->GetScriptSite(IID_IStream, found.putVoid()), E_NOINTERFACE);
    EXPECT_EQ(engine->GetScriptSite(IID_IActiveScriptSite, nullptr), E_POINTER);

    // A site may only be given before any text.
    QvComPtr<IActiveScript> second = createEngine<IActiveScript>(IID_IActiveScript);
    EXPECT_EQ(parse(second.get(), "set x to 1;"), S_OK);
    EXPECT_EQ(second->SetScriptSite(site.get()), E_UNEXPECTED);

    // A site still held when the engine goes is released.
    engine.reset();
    EXPECT_EQ(site->references, 0);
}

TEST_F(StateTest, SiteMayCallBackOnTheThreadItWasCalledOn) {
    QvComPtr<IActiveScript> engine = engineIn(SCRIPTSTATE_UNINITIALIZED);
    std::vector<SCRIPTSTATE> seen;
    site->onCallback = [&] {
        SCRIPTSTATE state;
        engine->GetScriptState(&state);
        seen.push_back(state);
    };
    EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    // The error arrives while the engine is still uninitialized; the change after the move.
    EXPECT_EQ(seen, (std::vector<SCRIPTSTATE>{SCRIPTSTATE_UNINITIALIZED, SCRIPTSTATE_STARTED}));

    // A site that closes the engine when it hears of the error leaves it closed.
    QvComPtr<IActiveScript> closing = engineIn(SCRIPTSTATE_UNINITIALIZED);
    site->onCallback = [&] { closing->Close(); };
    EXPECT_EQ(closing->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    SCRIPTSTATE state;
    closing->GetScriptState(&state);
    EXPECT_EQ(state, SCRIPTSTATE_CLOSED);
    EXPECT_EQ(site->references, 1);  // the first engine's
    site->onCallback = nullptr;
}
