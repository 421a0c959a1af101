#pragma once
#include <string>
#include <vector>

#include "QvScriptArgument.h"

// What the quarvel command was asked to do.
struct QvCommandLine {
    enum class Mode { Run, Check, Tokens, Tree, Functions, Help, Version };

    Mode mode = Mode::Run;
    bool synchronous = false;
    std::string scriptPath;  // "-" for standard input
    std::vector<std::string> pluginFolders;  // --plugins, in the order given
    std::vector<QvScriptArgument> scriptArguments;  // --set, in the order given
    std::string error;       // set when the arguments cannot be understood

    static QvCommandLine parse(int argc, char** argv);
    static const char* usage();
};
