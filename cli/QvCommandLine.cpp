#include "QvCommandLine.h"

#include <filesystem>

QvCommandLine QvCommandLine::parse(int argc, char** argv) {
    QvCommandLine line;
    std::vector<std::string> assignments;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--sync") {
            line.synchronous = true;
        } else if (arg == "--check") {
            line.mode = Mode::Check;
        } else if (arg == "--tokens") {
            line.mode = Mode::Tokens;
        } else if (arg == "--tree") {
            line.mode = Mode::Tree;
        } else if (arg == "--functions") {
            line.mode = Mode::Functions;
        } else if (arg == "--plugins") {
            if (i + 1 == argc) {
                line.error = "option '--plugins' needs a folder";
                return line;
            }
            std::string folder = argv[++i];
            std::error_code failed;
            if (!std::filesystem::is_directory(folder, failed)) {
                line.error = "no plug-in folder '" + folder + "'";
                return line;
            }
            line.pluginFolders.push_back(folder);
        } else if (arg == "--set") {
            if (i + 1 == argc) {
                line.error = "option '--set' needs NAME=VALUE";
                return line;
            }
            assignments.push_back(argv[++i]);
        } else if (arg == "--help" || arg == "-h") {
            line.mode = Mode::Help;
            return line;
        } else if (arg == "--version") {
            line.mode = Mode::Version;
            return line;
        } else if (arg.size() > 1 && arg[0] == '-') {
            line.error = "unknown option '" + arg + "'";
            return line;
        } else if (!line.scriptPath.empty()) {
            line.error = "only one script may be given";
            return line;
        } else {
            line.scriptPath = arg;
        }
    }
    if (line.mode == Mode::Functions) {
        if (!line.scriptPath.empty()) line.error = "option '--functions' takes no script";
    } else if (line.scriptPath.empty()) {
        line.error = "no script given";
    }
    if (line.error.empty()) QvScriptArgument::parseAll(assignments, line.scriptArguments, line.error);
    return line;
}

const char* QvCommandLine::usage() {
    return "usage: quarvel [--sync | --check | --tokens | --tree] [--plugins DIR]... [--set NAME=VALUE]...\n"
           "               SCRIPT.qv\n"
           "       quarvel [--plugins DIR]... --functions\n"
           "       quarvel batch SCRIPT.qv --inputs GLOB|@LISTFILE... [options] (quarvel batch --help)\n"
           "       quarvel --help | --version\n"
           "\n"
           "Runs a Quarvel script. SCRIPT may be - to read the script from standard input.\n"
           "  --sync     execute on the calling thread, then show the output\n"
           "  --check    check the syntax only\n"
           "  --tokens   print each token: line, name, number and text\n"
           "  --tree     check the syntax and print the syntax tree\n"
           "  --plugins DIR\n"
           "             also load the plug-in modules (*.qvp) in DIR; may be repeated\n"
           "  --functions\n"
           "             list every function with its parameters and help text, those of\n"
           "             the plug-in modules loaded included\n"
           "  --set NAME=VALUE\n"
           "             start the script with the global variable NAME: a number (3, -0.5,\n"
           "             1e6), true or false, or text (quoted text is taken as written)\n"
           "  --version  print the engine version\n"
           "\n"
           "Ctrl-C stops the script; a second Ctrl-C aborts everything at once, and ends\n"
           "the command a second later if the script is still waiting.\n"
           "Exit status: 0 clean, 1 syntax errors, 2 run-time error, 130 cancelled,\n"
           "64 bad arguments, 66 unreadable script, 71 out of memory.\n";
}
