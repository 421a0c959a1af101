#include <gtest/gtest.h>

#include <string>

#include "QvClient.h"
#include "Values/QvValue.h"

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

// A request stands until it is answered; the base client answers without asking anyone.
TEST(Client, InputRequestsAreAnsweredByTheAskOperationOfTheirType) {
    RecordingClient client;
    client.setSourceText("print 1;");
    client.createSession();
    QvParser* session = client.session();
    struct Case {
        int type;
        std::string answer;
    };
    for (const Case& c : {Case{QV_INPUT_NUMBER, "34.6"}, Case{QV_INPUT_TEXT, "g"}, Case{QV_INPUT_BOOLEAN, "true"}}) {
        session->setPendingInputRequest(InputType(c.type), nullptr, "?");
        client.answerPendingInput();
        EXPECT_EQ(QvParserGetPendingInputFlag(session), 0);
        QvValue* answer = session->takePendingInputAnswer();
        ASSERT_NE(answer, nullptr);
        EXPECT_EQ(answer->AsText(), c.answer);
        QvAutoObjectDelete(answer);
    }
    session->setPendingInputRequest(InputType(7), nullptr, "?");
    client.answerPendingInput();
    EXPECT_EQ(QvParserGetPendingInputFlag(session), 0);
    EXPECT_EQ(session->takePendingInputAnswer(), nullptr);
}

TEST(Client, BaseWriterTurnsEveryCarriageReturnIntoALineEnd) {
    QvClient client;
    testing::internal::CaptureStdout();
    client.writeText("a\rb\nc", 5);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "a\nb\nc");
}
