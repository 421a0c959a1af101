#include "Plugins/QvCallSite.h"

#include <cstring>
#include <string>

#include "Errors/QvErrors.h"
#include "Plugins/QvPluginRegistry.h"

QvCallSite::QvCallSite(const char* nameSpace, const char* function, size_t argumentCount, QvParser* session,
                       TreeEval* caller)
    : nameSpace_(nameSpace),
      function_(function),
      session_(session),
      caller_(caller),
      arguments_(argumentCount),
      heapNames_(argumentCount > kInlineNames ? new const char*[argumentCount]() : nullptr),
      names_(heapNames_ ? heapNames_.get() : inlineNames_) {}

void QvCallSite::raiseIncorrectArguments() const {
    std::string text = "Function \"";
    if (std::strcmp(nameSpace_, QvPluginRegistry::kInternalNamespace) != 0) text += std::string(nameSpace_) + ".";
    text += std::string(function_) + "\" was called with incorrect arguments.";
    QvError(text.c_str());
}
