// Plug-in functions called from scripts: what the parameter block gives them, how their
// failures reach the script, and the version functions.
#include <gtest/gtest.h>

#include <string>

#include "Plugins/QvPluginErrorBlock.h"
#include "Plugins/QvPluginInterface.h"
#include "Plugins/QvPluginRegistry.h"
#include "ScriptRun.h"

namespace {
QvValue* AddTenToCopy(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    auto* number = static_cast<QvNumberValue*>(QvParameterBlockGetValueUnique(parameters, "n"));
    number->setValue(number->value() + 10);
    return QvNumberCreate(number->value());
}

QvValue* AddTenInPlace(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    auto* number = static_cast<QvNumberValue*>(QvParameterBlockGetValueMutable(parameters, "n"));
    number->setValue(number->value() + 10);
    QvParameterBlockNotifyChange(parameters, "n");
    return nullptr;
}

QvValue* ReadNumber(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    return QvNumberCreate(QvParameterBlockGetNumberValue(parameters, "n"));
}

QvValue* ReadUnknownName(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    return QvParameterBlockGetValue(parameters, "missing");
}

QvValue* FailWithMessage(QvPluginErrorBlock* error, QvParameterBlock*) {
    QvPluginErrorBlockSetMessage(error, "no disk");
    return QvNumberCreate(1);
}

QvValue* ResolvePath(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    return QvParameterBlockResolvePath(parameters, QvParameterBlockGetTextValue(parameters, "n"));
}

void registerProbe(const char* name, QvPluginFunction function, QvType accepted, QvEnumArgumentConsumed mode) {
    QvPluginSignature* signature = QvPluginSignatureCreate(1, QvType::QvTypeAny(), function);
    QvPluginSignatureSetParam(signature, accepted, "n", QvParameterRequired, mode);
    QvPluginSignatureCommit(signature, "Probe", name, "");
}

class PluginCall : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        registerProbe("Copy", AddTenToCopy, QV_NUMBER, QvArgumentNotConsumed);
        registerProbe("InPlace", AddTenInPlace, QV_NUMBER, QvArgumentByReference);
        registerProbe("InPlacePlain", AddTenInPlace, QV_NUMBER, QvArgumentNotConsumed);
        registerProbe("Read", ReadNumber, QvType::QvTypeAny(), QvArgumentNotConsumed);
        registerProbe("Unknown", ReadUnknownName, QvType::QvTypeAny(), QvArgumentNotConsumed);
        registerProbe("Fail", FailWithMessage, QvType::QvTypeAny(), QvArgumentNotConsumed);
        registerProbe("Resolve", ResolvePath, QV_TEXT, QvArgumentNotConsumed);
    }
    static void TearDownTestSuite() { QvDeletePluginRegistry(); }

    static std::string run(const std::string& script) { return runScript(script); }
};

TEST_F(PluginCall, AUniqueValueOfASharedArgumentIsACopy) {
    EXPECT_EQ(run("set a to 1; print Probe.Copy(a); print a;"), "11\n1\n");
}

TEST_F(PluginCall, AMutableByReferenceArgumentChangesTheCallersVariable) {
    EXPECT_EQ(run("set a to 1; Probe.InPlace(&a); print a;"), "11\n");
    EXPECT_EQ(run("Probe.InPlacePlain(1);"), "RunTime Error\nerror: Empty parameter in plug-in");
}

TEST_F(PluginCall, TypedGettersDoNotConvert) {
    EXPECT_EQ(run("print Probe.Read(true);"),
              "RunTime Error\nerror: Illegal attempt to coerce another type to number in plugin");
    EXPECT_EQ(run("print Probe.Unknown(1);"), "RunTime Error\nerror: Internal named parameter error plugin");
}

TEST_F(PluginCall, AnErrorBlockFailsTheCallAndDropsTheResult) {
    EXPECT_EQ(run("print Probe.Fail(1);"), "RunTime Error\nerror: Plugin failed with error (#-1):\n\tno disk");
}

// A module resolves the paths a script gives it as the script means them.
TEST_F(PluginCall, APathIsResolvedAgainstTheCallingScriptsFolder) {
    QvFile script("/data/scripts/run.qv");
    EXPECT_EQ(runScript("print Probe.Resolve(\"in/a.png\"); print Probe.Resolve(\"/abs/b.png\");", &script),
              "/data/scripts/in/a.png\n/abs/b.png\n");
    EXPECT_EQ(run("print Probe.Resolve(\"a.png\");"), "a.png\n");
}

TEST(PluginErrorBlock, FailureTextShowsTheNumberThenMessageAndUrl) {
    QvPluginErrorBlock error;
    EXPECT_FALSE(error.failed());
    QvPluginErrorBlockSetNumber(&error, 5);
    QvPluginErrorBlockSetURL(&error, "http://help");
    EXPECT_EQ(error.failureText(), "Plugin failed with error (#5):\n\thttp://help");
    QvPluginErrorBlock urlOnly;
    QvPluginErrorBlockSetURL(&urlOnly, "u");
    EXPECT_EQ(urlOnly.number, -1);
}

TEST(PluginVersion, MajorThreeIsTheOnlyCompatibleOne) {
    long major = 0, minor = 0, build = 0;
    QvGetVersion(&major, &minor, &build);
    EXPECT_EQ(major * 100 + minor * 10 + build, 301);
    EXPECT_STREQ(QvGetVersionString(), "3.0a");
    EXPECT_TRUE(QvIsCompatibleVersion(3));
    EXPECT_FALSE(QvIsCompatibleVersion(2));
    EXPECT_FALSE(QvIsAltiVecAvailable());
}
}
