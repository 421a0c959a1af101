// Function: listings of the process-wide registry (script functions are not in it).
#include "Library/QvBuiltinNamespaces.h"
#include "Plugins/QvPluginRegistry.h"

namespace {
using Texts = QvPluginRegistry::Texts;

const QvPluginRegistry& registry() { return QvPluginRegistry::THE_PluginRegistry(); }
}

namespace QvFunctionNamespace {
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
}
