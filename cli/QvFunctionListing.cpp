#include "QvFunctionListing.h"

#include <sstream>

#include "Plugins/QvPluginRegistry.h"
#include "Plugins/QvSignatureText.h"

namespace {
std::string head(const std::string& nameSpace, const std::string& name, const QvPluginSignature& signature) {
    std::string text = nameSpace == QvPluginRegistry::kInternalNamespace ? name : nameSpace + "." + name;
    text += "(";
    const std::vector<QvPluginParameter>& parameters = signature.parameters();
    for (size_t i = 0; i < parameters.size(); ++i) text += (i ? ", " : "") + QvParameterText(parameters[i]);
    return text + ") returns " + signature.returnType().asText();
}

void writeHelp(const std::string& help, std::string& listing) {
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) listing += "    " + line + "\n";
}
}

std::string QvFunctionListing() {
    std::string listing;
    for (const auto& [nameSpace, functions] : QvPluginRegistry::THE_PluginRegistry().namespaces())
        for (const auto& [name, overloads] : functions)
            for (const auto& signature : overloads) {
                listing += head(nameSpace, name, *signature) + "\n";
                writeHelp(signature->helpText(), listing);
                listing += "\n";
            }
    return listing;
}
