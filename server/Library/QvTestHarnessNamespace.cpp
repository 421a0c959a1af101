// TestHarness: a test log, "logfile.txt" in the running script's folder.
#include "HostServices/QvHostServices.h"
#include "Library/QvBuiltinNamespaces.h"
#include "Library/QvTestHarness.h"
#include "Plugins/QvParameterBlock.h"

namespace {
const char* const kLogName = "logfile.txt";

QvTestHarness& harness() { return QvTestHarness::process(); }

std::string logPath(QvParameterBlock* parameters) { return parameters->resolvePath(kLogName); }

QvValue* written(QvPluginErrorBlock* error, bool succeeded) {
    return succeeded ? QvNoValueCreate() : QvBuiltinFailure(error, "Could not write the test harness log file.");
}
}

namespace QvTestHarnessNamespace {
QvValue* Clear(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    return written(error, harness().clear(logPath(parameters)));
}

QvValue* Begin(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    return written(error, harness().begin(logPath(parameters), QvParameterBlockGetTextValue(parameters, "testname")));
}

// A failed test also sounds the host's bell.
QvValue* End(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    std::optional<bool> success;
    if (!QvParameterBlockIsDynamicGenerationRequired(parameters, "success"))
        success = QvParameterBlockGetBooleanValue(parameters, "success") != 0;
    bool passed = true;
    bool logged = harness().end(logPath(parameters), success, passed);
    if (!passed) QvGetHostServices()->beep();
    return written(error, logged);
}

QvValue* Require(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    harness().require(QvParameterBlockGetBooleanValue(parameters, "condition") != 0);
    return QvNoValueCreate();
}

QvValue* Logging(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    harness().setLogging(QvParameterBlockGetBooleanValue(parameters, "active") != 0);
    return QvNoValueCreate();
}

QvValue* LogNames(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    harness().setLogNames(QvParameterBlockGetBooleanValue(parameters, "active") != 0);
    return QvNoValueCreate();
}

QvValue* IsDebug(QvPluginErrorBlock*, QvParameterBlock*) { return QvBooleanCreate(false); }
}
