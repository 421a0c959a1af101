#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <thread>

#include "Plugins/QvPluginRegistry.h"
#include "Session/QvParserApi.h"

namespace {
std::string consoleText(QvParser& session) {
    std::string text = session.getConsole().takeUnread();
    session.releaseConsole();
    return text;
}

std::string treeOf(QvParser& session) {
    std::ostringstream tree;
    session.writeTree(tree);
    return tree.str();
}

std::string errorsOf(QvParser& session) {
    std::ostringstream out;
    for (ParseError* error : session.getParseErrors()) error->writeTo(out);
    session.releaseParseErrors();
    return out.str();
}
}

TEST(SessionText, NulBytesWithinAGivenLengthBecomeSpaces) {
    const char text[] = "print\0001;";
    QvParser session(text, sizeof text - 1, nullptr, true);
    EXPECT_EQ(session.text(), "print 1;");
    session.CheckSyntax();
    EXPECT_FALSE(session.getParseErrorFlag());
    EXPECT_EQ(treeOf(session), "#(PRINT, 1)\n");
}

TEST(SessionText, NoLengthMeansUpToTheFirstNul) {
    QvParser session("print 1;\0print 2;", 0, nullptr, true);
    EXPECT_EQ(session.text(), "print 1;");
    QvParser negative("print 3;", -5, nullptr, true);
    EXPECT_EQ(negative.text(), "print 3;");
}

TEST(SessionText, LengthMarkerPrecedesTheScript) {
    std::string text(8, '\0');
    int32_t marker[2] = {1234567890, -987654321};
    std::memcpy(&text[0], marker, sizeof marker);
    text += "print 9;";
    QvParser session(text.data(), static_cast<long>(text.size()), nullptr, true);
    EXPECT_EQ(session.text(), "print 9;");
}

TEST(SessionRun, CleanCheckReportsOnceAndLeavesFlags) {
    QvParser* session = QvParserCreate("set x to 1; print x;", 0, nullptr);
    QvParserCheckSyntax(session);
    EXPECT_EQ(consoleText(*session), "Syntax Check Complete : No Errors found.\n");
    EXPECT_EQ(QvParserGetErrorFlag(session), 0);
    EXPECT_EQ(QvParserGetDoneFlag(session), 1);
    EXPECT_EQ(QvParserGetDirtyFlag(session), 0);
    QvParserExecute(session);
    EXPECT_EQ(QvParserGetDoneFlag(session), 1);
    EXPECT_EQ(QvParserGetDirtyFlag(session), 1);
    QvParserSetDoneFlag(session, 2);
    EXPECT_EQ(QvParserGetDoneFlag(session), 0);
    QvParserDelete(session);
}

TEST(SessionRun, ErrorIndexAtTheCountIsNull) {
    QvParser* session = QvParserCreate("print ;", 0, nullptr);
    QvParserCheckSyntax(session);
    int count = QvParserGetParseErrorCount(session);
    EXPECT_EQ(count, 1);
    EXPECT_NE(QvParserGetParseError(session, 0), nullptr);
    EXPECT_EQ(QvParserGetParseError(session, count), nullptr);
    EXPECT_EQ(QvParserGetParseError(session, -1), nullptr);
    QvParserReleaseParseErrors(session);
    QvParserDelete(session);
}

TEST(SessionRun, RunErrorFlagEndsTheRun) {
    QvParser session("print 1;", 0, nullptr, true);
    session.setRunErrorFlag(true);
    EXPECT_TRUE(session.getDoneFlag());
    QvParserClearRunErrorFlag(&session);
    EXPECT_FALSE(session.getRunErrorFlag());
}

TEST(SessionFunctions, ScriptFunctionsPassTheCallCheckAndCarryTheirSignature) {
    QvParser session(
        "define f(number a, &b, c -> 2) returns text begin return a; end\n"
        "define Shapes.area(w) begin return w; end\n"
        "set q to 1; print f(1, &q); print Shapes.area(3);",
        0, nullptr, true);
    session.CheckSyntax();
    EXPECT_FALSE(session.getParseErrorFlag()) << errorsOf(session);
    ASSERT_TRUE(session.registry().hasInternalFunction("f"));
    ASSERT_TRUE(session.registry().hasFunction("Shapes", "area"));
    EXPECT_FALSE(QvPluginRegistry::THE_PluginRegistry().hasInternalFunction("f"));

    const QvPluginSignature& f = *session.registry().overloads("__QuarvelInternal", "f")->front();
    ASSERT_EQ(f.declaredCount(), 3u);
    EXPECT_EQ(f.returnType().asText(), "text");
    EXPECT_EQ(f.parameters()[0].name, "a");
    EXPECT_EQ(f.parameters()[0].acceptedTypes.asText(), "number");
    EXPECT_TRUE(f.parameters()[0].required);
    EXPECT_TRUE(f.parameters()[1].byReference);
    EXPECT_TRUE(f.parameters()[1].acceptedTypes.getReferenceFlag());
    EXPECT_TRUE(f.parameters()[1].acceptedTypes.isAny());
    EXPECT_FALSE(f.parameters()[2].required);
    EXPECT_TRUE(f.parameters()[2].dynamic);
}

TEST(SessionFunctions, UnknownCallsStopAtTheFirstWithOneError) {
    QvParser session("print 1;\nprint Foo.Bar(1);\nprint baz(2);", 0, nullptr, true);
    session.CheckSyntax();
    EXPECT_TRUE(session.getParseErrorFlag());
    EXPECT_EQ(consoleText(session), "Foo.Bar");
    EXPECT_EQ(errorsOf(session), " at line 2: (Foo.Bar)\nFunction is not defined.\n\n");
    ASSERT_EQ(session.pendingPluginCalls().size(), 1u);
    EXPECT_EQ(session.pendingPluginCalls().front().function, "baz");
}

TEST(SessionErrors, ErrorsWithoutPositionShowABanner) {
    QvParser session("print 1;", 0, nullptr, true);
    ParseError error(&session, -1, 1, "tell me", 0, "AppleScript Error: nope");
    std::ostringstream out;
    error.writeTo(out);
    EXPECT_EQ(out.str(),
              "Script Error -------------------------\ntell me\n"
              "--------------------------------------\nAppleScript Error: nope\n\n");
}

TEST(SessionLists, RemovingAnAbsentWindowChangesNothing) {
    QvParser session("print 1;", 0, nullptr, true);
    QvWindow* a = reinterpret_cast<QvWindow*>(0x10);
    QvWindow* b = reinterpret_cast<QvWindow*>(0x20);
    session.addToWindowList(a);
    session.removeFromWindowList(b);
    EXPECT_TRUE(session.inWindowList(a));
    EXPECT_EQ(session.getWindowList().size(), 1u);
    session.releaseWindowList();
    session.removeFromWindowList(a);
    EXPECT_FALSE(session.inWindowList(a));
}

TEST(SessionInput, AnswerIsStoredBeforeTheRequestClears) {
    QvParser session("print 1;", 0, nullptr, true);
    QvValue* answer = reinterpret_cast<QvValue*>(0x30);
    session.setPendingInputRequest(QV_INPUT_TEXT, nullptr, "name?");
    EXPECT_EQ(QvParserGetPendingInputFlag(&session), 1);
    EXPECT_EQ(QvParserGetPendingInputType(&session), QV_INPUT_TEXT);
    std::thread host([&] { QvParserReturnPendingInput(&session, answer); });
    while (session.getPendingInputFlag()) std::this_thread::yield();
    EXPECT_EQ(session.takePendingInputAnswer(), answer);
    host.join();
}

TEST(SessionThreads, TwoSessionsParseAtOnce) {
    const char* script =
        "define f(x) begin return x * x; end\n"
        "set v to {1, 2, 3};\n"
        "repeat 3 times increment i begin print f(i) + v[i]; end\n"
        "if v[0] > 1 then print \"big\"; else print 12:JAN:2002;\n";
    QvParser reference(script, 0, nullptr, true);
    reference.CheckSyntax();
    std::string expected = treeOf(reference);
    ASSERT_FALSE(reference.getParseErrorFlag());

    std::string results[2];
    auto parse = [&](int i) {
        for (int round = 0; round < 50; ++round) {
            QvParser session(script, 0, nullptr, true);
            session.CheckSyntax();
            results[i] = treeOf(session);
            if (results[i] != expected) return;
        }
    };
    std::thread first(parse, 0), second(parse, 1);
    first.join();
    second.join();
    EXPECT_EQ(results[0], expected);
    EXPECT_EQ(results[1], expected);
}

TEST(SessionLimits, DeepNestingAndLongChainsAreRefusedWithAnError) {
    const std::string deepParens = "print " + std::string(100000, '(') + "1" + std::string(100000, ')') + ";";
    std::string deepBlocks;
    for (int i = 0; i < 50000; ++i) deepBlocks += "begin ";
    std::string chain = "print 1";
    for (int i = 0; i < 100000; ++i) chain += " + 1";
    for (const std::string& script : {deepParens, deepBlocks, chain + ";"}) {
        QvParser session(script.c_str(), 0, nullptr, true);
        session.CheckSyntax();
        EXPECT_TRUE(session.getParseErrorFlag());
        EXPECT_EQ(session.syntaxTree(), nullptr);
        EXPECT_NE(errorsOf(session).find("nested too deeply"), std::string::npos);
    }
    std::string fine = "print " + std::string(150, '(') + "1" + std::string(150, ')') + ";";
    QvParser session(fine.c_str(), 0, nullptr, true);
    session.CheckSyntax();
    EXPECT_FALSE(session.getParseErrorFlag()) << errorsOf(session);
}
