#pragma once
#include <cstdint>
#include <string>

#include "QvExport.h"

// How a plug-in function reports failure: any number but 0 fails the call.
struct QV_EXPORT QvPluginErrorBlock {
    int32_t number = 0;
    std::string message;
    std::string url;

    bool failed() const { return number != 0; }
    // "Plugin failed with error (#N):" and a line, then the message and the URL.
    std::string failureText() const;
};
