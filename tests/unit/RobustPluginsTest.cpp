// Plug-in functions that misbehave or run long: refused values are freed, and a stop
// request reaches a function that yields.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "ErrorCapture.h"
#include "Plugins/QvPluginInterface.h"
#include "Plugins/QvPluginRegistry.h"
#include "Session/QvParser.h"
#include "TrackedValue.h"

namespace {
QvValue* SpinUntilStopped(QvPluginErrorBlock*, QvParameterBlock*) {
    for (;;) QvYield();
}

std::string consoleText(QvParser& session) {
    std::string text = session.getConsole().takeUnread();
    session.releaseConsole();
    return text;
}
}  // namespace

TEST(RobustPlugins, AValueSetValueRefusesIsFreed) {
    int destroyed = 0;
    EXPECT_EQ(raisedMessage([&] { QvParameterBlockSetValue(nullptr, "n", new Tracked(destroyed)); }),
              "Internal named parameter error plugin");
    EXPECT_EQ(destroyed, 1);
}

TEST(RobustPlugins, YieldEndsALongLoopWhenTheRunIsStopped) {
    QvPluginSignatureCommit(QvPluginSignatureCreate(0, QvType::QvTypeAny(), SpinUntilStopped), "Probe", "Spin", "");
    const char* script = "print \"spinning\"; Probe.Spin(); print \"not reached\";";
    QvParser session(script, 0, nullptr, false);
    session.CheckSyntax();
    consoleText(session);
    session.setDoneFlag(false);
    std::thread worker([&] { session.Execute(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    session.setInterruptedFlag(true);
    worker.join();
    EXPECT_EQ(consoleText(session), "spinning\nExecution cancelled by user.\n");
    QvDeletePluginRegistry();
}

TEST(RobustPlugins, YieldOutsideARunWatchesOnlyTheAbortFlag) {
    EXPECT_EQ(raisedMessage([] { QvYield(); }), "<no error>");
}
