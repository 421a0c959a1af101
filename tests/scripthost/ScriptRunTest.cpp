// One run as the engine makes it, in process: what it copies out of the session, and
// what happens when the media layer will not start.
#include <gtest/gtest.h>

#include <string>

#include "QvMessageBox.h"
#include "QvScriptRun.h"

namespace {
std::string shown;
void recordMessage(const char* text) { shown += text; }
}

TEST(ScriptRun, FirstErrorIsCopiedOutOfTheSessionWithItsPosition) {
    std::atomic<bool> executing{true};
    QvScriptRun::Outcome outcome = QvScriptRun::run("print 1;\nprint ;\nprint ;\n", executing);
    EXPECT_FALSE(executing);
    ASSERT_TRUE(outcome.error.has_value());
    EXPECT_EQ(outcome.error->message, "Syntax Error: Invalid print expression.");
    EXPECT_EQ(outcome.error->line, 2);
    EXPECT_EQ(outcome.error->fileIndex, 1);
    EXPECT_EQ(outcome.error->text, ";");
    EXPECT_FALSE(outcome.mediaUnavailable);

    EXPECT_FALSE(QvScriptRun::run("set x to 1;\n", executing).error.has_value());
    EXPECT_FALSE(QvScriptRun::run("", executing).error.has_value());
}

TEST(ScriptRun, MediaLayerThatWillNotStartIsShownAndNothingRuns) {
    int starts = 0, stops = 0;
    QvScriptRun::Media broken{[&] {
                                  ++starts;
                                  return -1L;
                              },
                              [&] { ++stops; }};
    QvMessageBoxHook before = QvSetMessageBoxHook(recordMessage);
    std::atomic<bool> executing{false};
    QvScriptRun::Outcome outcome = QvScriptRun::run("print ;\n", executing, broken);
    QvSetMessageBoxHook(before);
    EXPECT_EQ(shown, "QuickTime not available.");
    EXPECT_TRUE(outcome.mediaUnavailable);
    ASSERT_TRUE(outcome.error.has_value());
    EXPECT_EQ(outcome.error->message, "QuickTime not available.");
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(stops, 0);

    QvScriptRun::Media working{[&] { return ++starts, 0L; }, [&] { ++stops; }};
    QvScriptRun::run("set x to 1;\n", executing, working);
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(stops, 1);
}
