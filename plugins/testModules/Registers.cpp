// Loads cleanly: one function, Probe.Answer() returns 42.
#include "Plugins/QvPluginInterface.h"

namespace {
QvValue* Answer(QvPluginErrorBlock*, QvParameterBlock*) { return QvNumberCreate(42); }
}

extern "C" QV_EXPORT void PluginRegisterVersion001() {
    QvPluginSignatureCommit(QvPluginSignatureCreate(0, QV_NUMBER, Answer), "Probe", "Answer", "The answer.");
}
