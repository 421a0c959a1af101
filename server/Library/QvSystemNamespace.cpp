// System: what the script runs on.
#include <sys/utsname.h>

#include "Library/QvBuiltinNamespaces.h"
#include "Plugins/QvPluginInterface.h"

namespace {
QvValue* Processor(QvPluginErrorBlock*, QvParameterBlock*) {
    utsname machine;
    return QvTextCreate(uname(&machine) == 0 ? machine.machine : "unknown");
}

QvValue* QuarvelVersion(QvPluginErrorBlock*, QvParameterBlock*) {
    long major, minor, build;
    QvGetVersion(&major, &minor, &build);
    return QvBuiltinNumberVector({double(major), double(minor), double(build)});
}

QvValue* OS(QvPluginErrorBlock*, QvParameterBlock*) { return QvTextCreate("Linux"); }

void registerQuery(const char* name, QvPluginFunction function, QvTypeEnum returnType, const char* help) {
    QvPluginSignatureCommit(QvPluginSignatureCreate(0, returnType, function), "System", name, help);
}
}

void QvRegisterSystemNamespace() {
    registerQuery("Processor", Processor, QV_TEXT, "Return the CPU name (e.g. x86).");
    registerQuery("QuarvelVersion", QuarvelVersion, QV_VECTOR,
                  "Return a vector containing version information. The format is {major,minor,build}.\r\r"
                  "For example, the version 1.9.3 is {1,9,3}.");
    registerQuery("OS", OS, QV_TEXT, "Return the name of the operating system 'MacOS', 'MacOSX' 'Windows'.");
}
