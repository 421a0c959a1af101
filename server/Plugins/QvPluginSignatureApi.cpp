// The calls with which built-in registration and plug-in modules describe functions.
#include <cstring>
#include <new>

#include "Plugins/QvFunctionContainerPlugin.h"
#include "Plugins/QvPluginInterface.h"
#include "Plugins/QvPluginRegistry.h"

QvPluginSignature* QvPluginSignatureCreate(unsigned long parameterCount, QvType returnType,
                                           QvPluginFunction function) {
    try {
        return new QvPluginSignature(static_cast<uint32_t>(parameterCount), returnType,
                                     std::make_unique<QvFunctionContainerPlugin>(function));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void QvPluginSignatureSetParam(QvPluginSignature* signature, QvType acceptedTypes, const char* name,
                               QvValue* defaultValue, QvEnumArgumentConsumed mode) {
    QvPluginParameter* parameter = signature ? signature->nextParameter() : nullptr;
    if (!parameter) QvError("Plugin parameter described beyond the declared number of parameters.");
    bool byReference = acceptedTypes.getReferenceFlag() || mode == QvArgumentByReference;
    parameter->byReference = byReference;
    parameter->isConst = !byReference && mode == QvArgumentNotConsumed;
    parameter->acceptedTypes = acceptedTypes;
    parameter->acceptedTypes.setReferenceFlag(byReference);
    parameter->unnamed = name == QvParameterUnnamed;
    parameter->name = parameter->unnamed || !name ? "" : name;
    parameter->dynamic = defaultValue == QvParameterDynamic;
    parameter->required = defaultValue == QvParameterRequired;
    if (!parameter->dynamic && !parameter->required) parameter->defaultValue = defaultValue;
}

// The signature belongs to the engine from here on: filed, or deleted when refused.
void QvPluginSignatureCommit(QvPluginSignature* signature, const char* nameSpace, const char* name,
                             const char* helpText) {
    std::unique_ptr<QvPluginSignature> owned(signature);
    if (!owned) QvError("Nil signature in plug-in registration");
    owned->setHelpText(helpText ? helpText : "");
    if (!nameSpace || !*nameSpace || std::strcmp(nameSpace, QvPluginRegistry::kInternalNamespace) == 0) {
        std::string message = "Plugin \"" + std::string(name ? name : "") + "\" needs a namespace.";
        QvError(message.c_str());
    }
    QvPluginRegistry::THE_PluginRegistry().addSignature(nameSpace, name, std::move(owned));
}
