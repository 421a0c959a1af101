#include "QvHostClient.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <thread>

#include "Plugins/QvPluginLoader.h"
#include "Values/QvTextValue.h"

namespace {
bool matches(const std::string& fileName, const std::string& pattern) {
    std::string suffix = pattern.rfind('*', 0) == 0 ? pattern.substr(1) : pattern;
    return fileName.size() >= suffix.size() &&
           fileName.compare(fileName.size() - suffix.size(), suffix.size(), suffix) == 0;
}
}

void QvLoadProgress::showFailure(const std::string& text) {
    showStatus(text);
    std::this_thread::sleep_for(std::chrono::seconds(1));
}

void QvHostClient::loadPluginDirectory(const std::string& directory, const std::string& pattern,
                                       QvLoadProgress* progress) {
    if (progress) progress->showStatus("Loading Plugins...");
    QvValue* status = QvTextCreate("");
    std::error_code failed;
    for (const auto& entry : std::filesystem::directory_iterator(directory, failed)) {
        std::string fileName = entry.path().filename().string();
        if (!entry.is_regular_file(failed) || !matches(fileName, pattern)) continue;
        long error = 0;
        QvRegisterPluginFile(static_cast<QvTextValue*>(status), &error, directory.c_str(), fileName.c_str());
        if (!progress) continue;
        if (error != 0) progress->showFailure(QvTextGetTextPtr(status));
        else progress->showStatus(QvTextGetTextPtr(status));
    }
    QvTextDelete(status);
}

std::string QvHostClient::executableDirectory() {
    std::error_code failed;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    return failed ? std::string(".") : program.parent_path().string();
}

std::string QvHostClient::enginePluginDirectory() {
    Dl_info engine;
    if (!dladdr(reinterpret_cast<void*>(&QvRegisterPluginFile), &engine) || !engine.dli_fname) return {};
    std::error_code failed;
    std::filesystem::path library = std::filesystem::canonical(engine.dli_fname, failed);
    return failed ? std::string() : (library.parent_path() / "quarvel" / "plugins").string();
}

std::vector<std::string> QvHostClient::pluginFolders(const std::vector<std::string>& moreFolders) {
    std::vector<std::string> candidates{executableDirectory(), enginePluginDirectory()};
    if (const char* path = std::getenv("QUARVEL_PLUGIN_PATH")) {
        std::istringstream entries(path);
        for (std::string entry; std::getline(entries, entry, ':');) candidates.push_back(entry);
    }
    candidates.insert(candidates.end(), moreFolders.begin(), moreFolders.end());
    std::vector<std::string> folders;
    std::set<std::filesystem::path> seen;
    for (const std::string& folder : candidates) {
        std::error_code failed;
        std::filesystem::path identity = std::filesystem::weakly_canonical(folder, failed);
        if (!folder.empty() && seen.insert(failed ? std::filesystem::path(folder) : identity).second)
            folders.push_back(folder);
    }
    return folders;
}

void QvHostClient::loadPlugins(const std::vector<std::string>& moreFolders, QvLoadProgress* progress) {
    for (const std::string& folder : pluginFolders(moreFolders)) loadPluginDirectory(folder, "*.qvp", progress);
}
