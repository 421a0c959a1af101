#include "Plugins/QvPluginErrorBlock.h"

#include "Plugins/QvPluginInterface.h"

std::string QvPluginErrorBlock::failureText() const {
    std::string text = "Plugin failed with error (#" + std::to_string(number) + "):\n";
    if (!message.empty()) text += "\t" + message;
    if (!url.empty()) text += "\t" + url;
    return text;
}

namespace {
void markFailed(QvPluginErrorBlock* error) {
    if (error->number == 0) error->number = -1;
}
}

void QvPluginErrorBlockSetNumber(QvPluginErrorBlock* error, long number) {
    if (error) error->number = static_cast<int32_t>(number);
}

void QvPluginErrorBlockSetMessage(QvPluginErrorBlock* error, const char* message) {
    if (!error) return;
    error->message = message ? message : "";
    markFailed(error);
}

void QvPluginErrorBlockSetURL(QvPluginErrorBlock* error, const char* url) {
    if (!error) return;
    error->url = url ? url : "";
    markFailed(error);
}
