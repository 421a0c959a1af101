#pragma once
#include <string>

#include "Plugins/QvPluginSignature.h"
#include "QvExport.h"

// How listings show one overload: an empty line, the help text in a comment, the head
// with its parameters (on lines of their own when there are two or more) and the
// return type.
std::string QvSignatureText(const std::string& nameSpace, const std::string& name,
                            const QvPluginSignature& signature);
// "const text name -> \"default\"" and the like.
QV_EXPORT std::string QvParameterText(const QvPluginParameter& parameter);
