// Function: listings of the process-wide registry (script functions are not in it).
#include "Library/QvBuiltinNamespaces.h"
#include "Plugins/QvPluginInterface.h"
#include "Plugins/QvPluginRegistry.h"

namespace {
using Texts = QvPluginRegistry::Texts;

const QvPluginRegistry& registry() { return QvPluginRegistry::THE_PluginRegistry(); }

QvValue* GetNameSpaces(QvPluginErrorBlock*, QvParameterBlock*) {
    Texts names;
    return QvBuiltinTextList(registry().GetNameSpaceNames(names));
}

QvValue* GetAllFunctions(QvPluginErrorBlock*, QvParameterBlock*) {
    Texts names;
    return QvBuiltinTextList(registry().GetFunctionNames(names));
}

QvValue* GetNamespaceFunctions(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    Texts names;
    return QvBuiltinTextList(
        registry().GetFunctionNames(QvParameterBlockGetTextValue(parameters, "namespace"), names));
}

QvValue* GetAllSignatures(QvPluginErrorBlock*, QvParameterBlock*) {
    Texts texts;
    return QvBuiltinTextList(registry().GetSignatures(texts));
}

QvValue* GetInternalSignatures(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    Texts texts;
    return QvBuiltinTextList(registry().GetSignatures(QvPluginRegistry::kInternalNamespace,
                                                      QvParameterBlockGetTextValue(parameters, "name"), texts));
}

QvValue* GetNamespaceSignatures(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    Texts texts;
    return QvBuiltinTextList(
        registry().GetSignatures(QvParameterBlockGetTextValue(parameters, "namespace"), texts));
}

QvValue* GetFunctionSignatures(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    Texts texts;
    return QvBuiltinTextList(registry().GetSignatures(QvParameterBlockGetTextValue(parameters, "namespace"),
                                                      QvParameterBlockGetTextValue(parameters, "name"), texts));
}

void registerListing(const char* name, QvPluginFunction function, std::initializer_list<const char*> parameters,
                     const char* help) {
    QvPluginSignature* signature = QvPluginSignatureCreate(parameters.size(), QV_LIST, function);
    for (const char* parameter : parameters)
        QvPluginSignatureSetParam(signature, QV_TEXT, parameter, QvParameterRequired, QvArgumentNotConsumed);
    QvPluginSignatureCommit(signature, "Function", name, help);
}
}

void QvRegisterFunctionNamespace() {
    registerListing("GetNameSpaces", GetNameSpaces, {}, "List the namespaces.");
    registerListing("GetFunctions", GetAllFunctions, {}, "List all the function names.");
    registerListing("GetFunctions", GetNamespaceFunctions, {"namespace"},
                    "List all the function names in the namespace.");
    registerListing("GetFunctionSignatures", GetAllSignatures, {}, "List all the function signatures.");
    registerListing("GetFunctionSignatures", GetInternalSignatures, {"name"},
                    "List all the internal function signatures.");
    registerListing("GetFunctionSignatures", GetNamespaceSignatures, {"namespace"},
                    "List all the function signatures in the namespace.");
    registerListing("GetFunctionSignatures", GetFunctionSignatures, {"namespace", "name"},
                    "Get the specified function signatures.");
}
