#include <gtest/gtest.h>

#include <string>

#include "QvClient.h"

namespace {
// Collects what the client would show instead of writing to standard output.
class RecordingClient : public QvClient {
public:
    void writeText(const char* text, int length) override { shown.append(text, static_cast<size_t>(length)); }
    std::string shown;
};
}

TEST(Client, SyntaxErrorsAreShownOnceAndTheScriptNeverRuns) {
    RecordingClient client;
    client.setSourceText("print 1;\nprint ;\n");
    client.run();
    EXPECT_EQ(client.shown, " at line 2: (;)\nSyntax Error: Invalid print expression.\n\n");
    EXPECT_EQ(QvParserGetDirtyFlag(client.session()), 0);
    client.flushOutput();
    EXPECT_EQ(client.shown, " at line 2: (;)\nSyntax Error: Invalid print expression.\n\n");
}

TEST(Client, CleanScriptIsCheckedThenExecutedOnAWorker) {
    RecordingClient client;
    client.setSourceText("set x to 1;");
    client.run(true);
    EXPECT_EQ(client.shown.rfind("Syntax Check Complete : No Errors found.\n", 0), 0u);
    EXPECT_EQ(QvParserGetDoneFlag(client.session()), 1);
    EXPECT_EQ(QvParserGetDirtyFlag(client.session()), 1);
}

TEST(Client, BaseWriterTurnsEveryCarriageReturnIntoALineEnd) {
    QvClient client;
    testing::internal::CaptureStdout();
    client.writeText("a\rb\nc", 5);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "a\nb\nc");
}
