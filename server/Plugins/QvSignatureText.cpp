#include "Plugins/QvSignatureText.h"

#include "Plugins/QvPluginRegistry.h"

namespace {
std::string defaultText(const QvPluginParameter& parameter) {
    if (parameter.dynamic) return "<dynamic>";
    const QvValue* value = parameter.defaultValue.get();
    if (!value) return "Error: Parameter is not required, not dynamic and has NO DEFAULT!";
    if (value->GetType() == QV_VECTOR) return "{" + value->AsText() + "}";
    if (value->GetType() == QV_TEXT) return "\"" + value->AsText() + "\"";
    return value->AsText();
}
}

std::string QvParameterText(const QvPluginParameter& parameter) {
    std::string text = parameter.isConst ? "const " : "";
    text += parameter.acceptedTypes.asText();
    if (parameter.byReference) text += "&";
    text += " " + (parameter.name.empty() ? std::string("<unnamed>") : parameter.name);
    if (!parameter.required) text += " -> " + defaultText(parameter);
    return text;
}

std::string QvSignatureText(const std::string& nameSpace, const std::string& name,
                            const QvPluginSignature& signature) {
    std::string text = "\n/*\n" + signature.helpText() + "\n*/\n";
    if (nameSpace != QvPluginRegistry::kInternalNamespace) text += nameSpace + ".";
    text += name + "(";
    const std::vector<QvPluginParameter>& parameters = signature.parameters();
    if (parameters.size() == 1) text += QvParameterText(parameters[0]);
    if (parameters.size() >= 2) {
        text += "\n";
        for (size_t i = 0; i < parameters.size(); ++i)
            text += "        " + QvParameterText(parameters[i]) + (i + 1 < parameters.size() ? ",\n" : ")\n");
    } else {
        text += ")";
    }
    text += parameters.size() >= 2 ? "    " : " ";
    return text + "returns " + signature.returnType().asText() + "\n";
}
