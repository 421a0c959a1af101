// The quarvel command: runs, checks or dissects one script, writing everything the
// session produces to standard output.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <thread>

#include "Errors/QvErrors.h"
#include "Plugins/QvPluginRegistry.h"
#include "QvHostClient.h"
#include "QvCommandLine.h"
#include "QvTerminalProgress.h"

namespace {
constexpr int kExitClean = 0;
constexpr int kExitSyntaxError = 1;
constexpr int kExitRunError = 2;
constexpr int kExitUsage = 64;
constexpr int kExitNoInput = 66;
constexpr int kExitCancelled = 130;
const char* const kVersion = "3.0a";

volatile std::sig_atomic_t interruptCount = 0;

void onInterrupt(int) { interruptCount = interruptCount + 1; }

// Turns Ctrl-C into session requests: the first stops the script, a second aborts
// every script at its next yield point.
class InterruptWatcher {
public:
    explicit InterruptWatcher(const QvClient& client) : client_(client), thread_([this] { watch(); }) {}
    // Wakes the watcher at once, so that a short run is not kept waiting for its nap.
    ~InterruptWatcher() {
        {
            std::lock_guard<std::mutex> guard(lock_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

private:
    void watch() {
        int handled = 0;
        while (!stop_) {
            int count = interruptCount;
            if (count > handled) {
                if (QvParser* session = client_.session()) session->setInterruptedFlag(true);
                if (count >= 2) QvSetAbortEverything();
                handled = count;
            }
            std::unique_lock<std::mutex> wait(lock_);
            wake_.wait_for(wait, std::chrono::milliseconds(20), [this] { return stop_.load(); });
        }
    }

    const QvClient& client_;
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::condition_variable wake_;
    std::thread thread_;
};

bool readScript(const std::string& path, std::string& text) {
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return true;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

int exitStatus(QvParser* session) {
    if (!session || QvParserGetErrorFlag(session)) return kExitSyntaxError;
    if (!session->getRunErrorFlag()) return kExitClean;
    return interruptCount > 0 ? kExitCancelled : kExitRunError;
}

// Lexical errors reach the console as the scanner meets them, so the token list is
// written there too, to keep the two in order.
int dumpTokens(QvClient& client) {
    client.createSession();
    QvParser* session = client.session();
    session->writeTokens(session->getConsole());
    session->releaseConsole();
    client.flushOutput();
    return kExitClean;
}
}

int main(int argc, char** argv) {
    QvCommandLine line = QvCommandLine::parse(argc, argv);
    if (line.mode == QvCommandLine::Mode::Help) {
        std::fputs(QvCommandLine::usage(), stdout);
        return kExitClean;
    }
    if (line.mode == QvCommandLine::Mode::Version) {
        std::printf("quarvel %s\n", kVersion);
        return kExitClean;
    }
    if (!line.error.empty()) {
        std::fprintf(stderr, "quarvel: %s\n%s", line.error.c_str(), QvCommandLine::usage());
        return kExitUsage;
    }
    std::string text;
    if (!readScript(line.scriptPath, text)) {
        std::fprintf(stderr, "quarvel: cannot read '%s'\n", line.scriptPath.c_str());
        return kExitNoInput;
    }

    static QvTerminalProgress services;
    QvInstallHostServices(&services);
    QvPluginRegistryInitInternal();
    QvHostClient::loadPlugins(line.pluginFolders);

    QvHostClient client;
    client.setSourceText(text);
    if (line.scriptPath != "-") client.setFile(QvFileCreateFromPath(line.scriptPath.c_str()));
    if (line.mode == QvCommandLine::Mode::Tokens) return dumpTokens(client);

    if (line.mode == QvCommandLine::Mode::Check || line.mode == QvCommandLine::Mode::Tree) {
        client.check();
        if (line.mode == QvCommandLine::Mode::Tree) {
            std::ostringstream tree;
            client.session()->writeTree(tree);
            std::string dump = tree.str();
            client.writeText(dump.data(), static_cast<int>(dump.size()));
        }
        return exitStatus(client.session());
    }

    std::signal(SIGINT, onInterrupt);
    InterruptWatcher watcher(client);
    client.run(!line.synchronous);
    return exitStatus(client.session());
}
