#pragma once
#include <list>
#include <string>

#include "Session/QvParser.h"

// Runs the script in a new session (as the file `file` when given, for relative paths)
// and returns its console, then "error: " and the message of its first error, if any.
inline std::string runScript(const std::string& script, const QvFile* file = nullptr) {
    QvParser session(script.c_str(), static_cast<long>(script.size()), file, false);
    session.Execute();
    std::string output = session.getConsole().takeUnread();
    session.releaseConsole();
    std::list<ParseError*>& errors = session.getParseErrors();
    if (!errors.empty()) output += "error: " + errors.front()->message();
    session.releaseParseErrors();
    return output;
}
