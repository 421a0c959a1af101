#include "QvBatchInputs.h"

#include <glob.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

bool QvBatchInputs::isPath(const std::string& input) { return input.find("://") == std::string::npos; }

std::string QvBatchInputs::absolute(const std::string& input) {
    if (!isPath(input)) return input;
    return fs::absolute(input).lexically_normal().string();
}

bool QvBatchInputs::readList(const std::string& listPath, std::vector<std::string>& inputs, std::string& error) {
    std::ifstream list(listPath);
    if (!list) {
        error = "cannot read the input list '" + listPath + "'";
        return false;
    }
    size_t before = inputs.size();
    for (std::string line; std::getline(list, line);) {
        size_t end = line.find_last_not_of(" \t\r");
        line.erase(end == std::string::npos ? 0 : end + 1);
        if (!line.empty() && line[0] != '#') inputs.push_back(line);
    }
    if (list.bad()) {
        error = "cannot read the input list '" + listPath + "'";
        return false;
    }
    if (inputs.size() == before) {
        error = "the input list '" + listPath + "' names no input";
        return false;
    }
    return true;
}

// A file whose name is the pattern itself is taken as named: names the shell expanded
// may hold characters that a glob reads as patterns ("take[1].mov").
bool QvBatchInputs::glob(const std::string& pattern, std::vector<std::string>& inputs, std::string& error) {
    std::error_code failed;
    if (fs::exists(pattern, failed) && !fs::is_directory(pattern, failed)) {
        inputs.push_back(pattern);
        return true;
    }
    glob_t found{};
    int status = ::glob(pattern.c_str(), GLOB_BRACE | GLOB_TILDE_CHECK, nullptr, &found);
    size_t before = inputs.size();
    if (status == 0) {
        for (size_t i = 0; i < found.gl_pathc; ++i) {
            if (!fs::is_directory(found.gl_pathv[i], failed)) inputs.push_back(found.gl_pathv[i]);
        }
    }
    globfree(&found);
    if (status != 0 && status != GLOB_NOMATCH) {
        error = "cannot read the folders of '" + pattern + "'";
        return false;
    }
    if (inputs.size() == before) {
        error = "no file matches '" + pattern + "'";
        return false;
    }
    return true;
}

bool QvBatchInputs::expand(const std::vector<std::string>& patterns, std::vector<std::string>& inputs,
                           std::string& error) {
    std::vector<std::string> named;
    for (const std::string& pattern : patterns) {
        bool read = pattern.size() > 1 && pattern[0] == '@' ? readList(pattern.substr(1), named, error)
                                                             : glob(pattern, named, error);
        if (!read) return false;
    }
    std::set<std::string> seen;
    for (const std::string& input : named)
        if (seen.insert(absolute(input)).second) inputs.push_back(input);
    return true;
}
