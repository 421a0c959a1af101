// Running scripts through a session: stop requests from another thread, error records,
// and running a session twice.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "Interpreter/QvTreeEval.h"
#include "Session/QvParser.h"

namespace {
using Clock = std::chrono::steady_clock;

std::string consoleText(QvParser& session) {
    std::string text = session.getConsole().takeUnread();
    session.releaseConsole();
    return text;
}

struct CheckedSession {
    explicit CheckedSession(const std::string& script) : session(script.c_str(), 0, nullptr, false) {
        session.CheckSyntax();
        consoleText(session);
    }
    QvParser session;
};

// Starts the script on a worker thread, lets it run, asks it to stop and returns how
// long the stop took.
std::chrono::milliseconds timeStop(QvParser& session, std::chrono::milliseconds runFor) {
    session.setDoneFlag(false);
    std::thread worker([&] { session.Execute(); });
    std::this_thread::sleep_for(runFor);
    Clock::time_point asked = Clock::now();
    session.setInterruptedFlag(true);
    while (!session.getDoneFlag()) std::this_thread::sleep_for(std::chrono::microseconds(200));
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked);
    worker.join();
    return took;
}
}

TEST(InterpreterRun, StopRequestEndsBusyLoopsPromptly) {
    for (const char* script : {"set x to 0; repeat forever add 1 to x;",
                               "set x to 0; repeat while true begin repeat 1000 times add 1 to x; end",
                               "set x to 0; repeat forever every 0.001 set x to x + 1;",
                               "define next(n) begin return n + 1; end set x to 0; repeat forever set x to next(x);",
                               "define spin(n) begin repeat while n < 1 add 0 to n; return n; end print spin(0);",
                               "define fib(n) begin if n < 2 then return n; return fib(n - 1) + fib(n - 2); end"
                               " print fib(60);"}) {
        CheckedSession run(script);
        // Stops take a few milliseconds; the bound leaves room for a loaded machine.
        EXPECT_LT(timeStop(run.session, std::chrono::milliseconds(100)).count(), 500) << script;
        EXPECT_EQ(consoleText(run.session), "Execution cancelled by user.\n") << script;
        EXPECT_EQ(run.session.getParseErrorCount(), 0) << script;
        run.session.releaseParseErrors();
        EXPECT_TRUE(run.session.getDoneFlag());
    }
}

// A loop run as number code works on copies of its variables: a stop leaves them as far
// as the loop had gone, as walking it would.
TEST(InterpreterRun, AStoppedLoopKeepsWhatItDid) {
    CheckedSession run("set x to 0; set y to 0; repeat forever begin add 1 to x; set y to x * 2; end");
    timeStop(run.session, std::chrono::milliseconds(50));
    QvTreeEval* variables = run.session.getQvTreeEval();
    ASSERT_NE(variables, nullptr);
    const double x = variables->getContainer(AST::hashOf("x"), "x")->getValue()->AsNumber();
    const double y = variables->getContainer(AST::hashOf("y"), "y")->getValue()->AsNumber();
    EXPECT_GT(x, 0);
    EXPECT_EQ(y, x * 2);
    EXPECT_EQ(consoleText(run.session), "Execution cancelled by user.\n");
}

TEST(InterpreterRun, StopWaitsForARunningWaitToEnd) {
    CheckedSession run("repeat forever wait 0.3;");
    auto took = timeStop(run.session, std::chrono::milliseconds(50));
    EXPECT_GE(took.count(), 150);
    EXPECT_EQ(consoleText(run.session), "Execution cancelled by user.\n");
}

TEST(InterpreterRun, OneRecordAtTheInnermostStatement) {
    CheckedSession run("print 1;\nrepeat 2 times begin\n  if true then\n    print 1 - \"a\";\nend\n");
    run.session.Execute();
    EXPECT_EQ(consoleText(run.session), "1\nRunTime Error\n");
    ASSERT_EQ(run.session.getParseErrorCount(), 1);
    ParseError* error = run.session.getParseError(0);
    EXPECT_EQ(error->line(), 4);
    EXPECT_EQ(error->message(), "Can't execute \"number - text\" : incompatible types.");
    run.session.releaseParseErrors();
    EXPECT_TRUE(run.session.getRunErrorFlag());
    EXPECT_TRUE(run.session.getDoneFlag());
    EXPECT_TRUE(run.session.getDirtyFlag());
}

TEST(InterpreterRun, ExecuteAgainRunsTheSameTreeWithFreshVariables) {
    CheckedSession run("set x to 1; add 1 to x; print x;");
    run.session.Execute();
    QvTreeEval* first = run.session.getQvTreeEval();
    ASSERT_NE(first, nullptr);
    run.session.Execute();
    EXPECT_EQ(consoleText(run.session), "2\n2\n");
    EXPECT_FALSE(run.session.getRunErrorFlag());
}

TEST(InterpreterRun, CatchHidesErrorsButNotStops) {
    CheckedSession caught("print 1 - \"a\"; catch print \"handled\";");
    caught.session.Execute();
    EXPECT_EQ(consoleText(caught.session), "handled\n");
    EXPECT_EQ(caught.session.getParseErrorCount(), 0);
    caught.session.releaseParseErrors();

    CheckedSession stopped("set x to 0; repeat forever add 1 to x; catch print \"handler ran\";");
    timeStop(stopped.session, std::chrono::milliseconds(50));
    EXPECT_EQ(consoleText(stopped.session), "Execution cancelled by user.\n");
}
