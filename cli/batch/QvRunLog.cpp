#include "QvRunLog.h"

#include <fstream>

namespace {
bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// An error record opens with its place: " at line 3: (text)", or with includes
// " at file 'a.qv', line 3" then "included from line 5: (text)".
bool opensRecord(const std::string& line) {
    return startsWith(line, " at ") && line.find("line ") != std::string::npos;
}

std::string cut(std::string text) {
    if (text.size() > QvRunLog::kLongestError) text = text.substr(0, QvRunLog::kLongestError - 3) + "...";
    return text;
}

// Reads the rest of a record whose first line is `place`: the lines of its place up
// to the one that ends in ": (text)", then the message.
std::string readRecord(std::istream& log, std::string place) {
    std::string line = place;
    place = place.substr(4);
    size_t placeEnd = place.find(": (");
    if (placeEnd != std::string::npos) place.erase(placeEnd);
    while (line.find(": (") == std::string::npos && std::getline(log, line)) {}
    size_t textStart = line.find(": (");
    std::string text = textStart == std::string::npos ? "" : line.substr(textStart + 3);
    if (!text.empty() && text.back() == ')') text.pop_back();
    std::string message;
    std::getline(log, message);
    return place + ": " + (text.empty() ? "" : "(" + text + ") ") + message;
}
}

std::string QvRunLog::firstError(const std::string& path) {
    std::ifstream log(path, std::ios::binary);
    std::string commandLine, lastLine;
    for (std::string line; std::getline(log, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (opensRecord(line)) return cut(readRecord(log, line));
        if (commandLine.empty() && (startsWith(line, "quarvel: ") || startsWith(line, "quarvel batch: ")))
            commandLine = line;
        if (line.find_first_not_of(" \t") != std::string::npos) lastLine = line;
    }
    return cut(commandLine.empty() ? lastLine : commandLine);
}

void QvRunLog::appendNote(const std::string& path, const std::string& note) {
    std::ofstream log(path, std::ios::binary | std::ios::app);
    log << note << '\n';
}
