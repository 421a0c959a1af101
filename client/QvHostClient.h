#pragma once
#include <string>
#include <vector>

#include "QvClient.h"

// Where a host shows how loading plug-in modules goes (a start-up window).
class QvLoadProgress {
public:
    virtual ~QvLoadProgress() = default;
    // Shows the text and redraws at once.
    virtual void showStatus(const std::string& text) = 0;
    // A module that could not be loaded: its status stays in view for a second so
    // the user can read it before loading goes on.
    virtual void showFailure(const std::string& text);
};

// The client of a desktop host: the polling of QvClient plus the loading of plug-in
// modules that every host does at start-up.
class QvHostClient : public QvClient {
public:
    // Hands every file of the directory that ends with the pattern's suffix ("*.qvp")
    // to the engine, in the order the directory lists them, showing each module's
    // status and each failure on the progress. The current directory is left alone.
    static void loadPluginDirectory(const std::string& directory, const std::string& pattern,
                                    QvLoadProgress* progress = nullptr);
    // The folder of the running program, where its plug-in modules lie.
    static std::string executableDirectory();
    // The plug-in folder of an installed engine: "quarvel/plugins" beside the engine
    // library the host runs (lib/quarvel/plugins of the prefix it was installed to).
    static std::string enginePluginDirectory();
    // The folders a host loads modules from, in order: the program's own folder, the
    // engine's plug-in folder, each folder of the environment variable
    // QUARVEL_PLUGIN_PATH (separated by colons; empty entries are skipped), then
    // `moreFolders`. A folder named again is skipped.
    static std::vector<std::string> pluginFolders(const std::vector<std::string>& moreFolders = {});
    // loadPluginDirectory with the pattern "*.qvp" for each of pluginFolders(moreFolders).
    static void loadPlugins(const std::vector<std::string>& moreFolders = {}, QvLoadProgress* progress = nullptr);
};
