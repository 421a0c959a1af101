// System: what the script runs on.
#include <sys/utsname.h>

#include "Library/QvBuiltinNamespaces.h"
#include "Values/QvVectorValue.h"

namespace QvSystemNamespace {
QvValue* Processor(QvPluginErrorBlock*, QvParameterBlock*) {
    utsname machine;
    return QvTextCreate(uname(&machine) == 0 ? machine.machine : "unknown");
}

QvValue* QuarvelVersion(QvPluginErrorBlock*, QvParameterBlock*) {
    long major, minor, build;
    QvGetVersion(&major, &minor, &build);
    return new QvVectorValue({double(major), double(minor), double(build)});
}

QvValue* OS(QvPluginErrorBlock*, QvParameterBlock*) { return QvTextCreate("Linux"); }
}
