// Commits Probe.Before, then a function without a namespace, which is refused.
#include "Plugins/QvPluginInterface.h"

namespace {
QvValue* Nothing(QvPluginErrorBlock*, QvParameterBlock*) { return nullptr; }
}

extern "C" QV_EXPORT void PluginRegisterVersion001() {
    QvPluginSignatureCommit(QvPluginSignatureCreate(0, QvType(), Nothing), "Probe", "Before", "Registered first.");
    QvPluginSignatureCommit(QvPluginSignatureCreate(0, QvType(), Nothing), nullptr, "Orphan", "Never registered.");
}
