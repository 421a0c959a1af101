// The quarvel command: runs, checks or dissects one script, writing everything the
// session produces to standard output.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "Errors/QvErrors.h"
#include "Files/QvRegularFile.h"
#include "Plugins/QvPluginInterface.h"
#include "Plugins/QvPluginRegistry.h"
#include "QvHostClient.h"
#include "QvCommandLine.h"
#include "QvFunctionListing.h"
#include "QvTerminalProgress.h"
#include "batch/QvBatchCommand.h"

namespace {
constexpr int kExitClean = 0;
constexpr int kExitSyntaxError = 1;
constexpr int kExitRunError = 2;
constexpr int kExitUsage = 64;
constexpr int kExitNoInput = 66;
constexpr int kExitNoMemory = 71;
constexpr int kExitCancelled = 130;

// Written by the signal handler and read by the watcher thread: a lock-free atomic is
// the one kind of shared object both may touch.
std::atomic<int> interruptCount{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free counter");

// The command shows nothing while modules load, except modules that failed, so a
// broken or foreign .qvp on the search path is never skipped silently.
class PluginFailureReport : public QvLoadProgress {
public:
    void showStatus(const std::string&) override {}
    void showFailure(const std::string& text) override { std::fprintf(stderr, "quarvel: %s\n", text.c_str()); }
};

void onInterrupt(int) { interruptCount.fetch_add(1, std::memory_order_relaxed); }

// Turns Ctrl-C into session requests: the first stops the script, a second aborts
// every script at its next yield point. A script that sees neither (a `wait` is never
// interrupted) still ends: one second after the second Ctrl-C the command exits.
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
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kGraceAfterAbort{1};

    void watch() {
        int handled = 0;
        Clock::time_point exitAt = Clock::time_point::max();
        while (!stop_) {
            int count = interruptCount.load(std::memory_order_relaxed);
            if (count > handled) {
                if (QvParser* session = client_.session()) session->setInterruptedFlag(true);
                if (count >= 2 && handled < 2) {
                    QvSetAbortEverything();
                    exitAt = Clock::now() + kGraceAfterAbort;
                }
                handled = count;
            }
            if (Clock::now() >= exitAt) {
                std::fflush(stdout);
                std::_Exit(kExitCancelled);
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

// Standard input is read up to the same size as a script file.
bool readStandardInput(std::string& text) {
    char chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) {
        text.append(chunk, got);
        if (text.size() > QvRegularFile::kLargestScript) return false;
    }
    return !std::ferror(stdin);
}

// Only a regular file is read: a device or a pipe could be endless or never answer.
bool readScript(const std::string& path, std::string& text) {
    if (path == "-") {
        if (readStandardInput(text)) return true;
        std::fprintf(stderr, "quarvel: cannot read the script from standard input (at most %zu MB)\n",
                     QvRegularFile::kLargestScript >> 20);
        return false;
    }
    QvRegularFile::Status status = QvRegularFile::read(path, QvRegularFile::kLargestScript, text);
    if (status == QvRegularFile::Read) return true;
    if (status == QvRegularFile::TooLarge)
        std::fprintf(stderr, "quarvel: '%s' is larger than %zu MB\n", path.c_str(), QvRegularFile::kLargestScript >> 20);
    else
        std::fprintf(stderr, "quarvel: cannot read '%s'\n", path.c_str());
    return false;
}

// The engine makes no session when memory runs out.
bool haveSession(const QvClient& client, const std::string& path) {
    if (client.session()) return true;
    std::fprintf(stderr, "quarvel: not enough memory to prepare '%s'\n", path.c_str());
    return false;
}

int exitStatus(QvParser* session) {
    if (!session || QvParserGetErrorFlag(session)) return kExitSyntaxError;
    if (!session->getRunErrorFlag()) return kExitClean;
    return interruptCount.load() > 0 ? kExitCancelled : kExitRunError;
}

// Lexical errors reach the console as the scanner meets them, so the token list is
// written there too, to keep the two in order.
int dumpTokens(QvClient& client, const std::string& path) {
    client.createSession();
    if (!haveSession(client, path)) return kExitNoMemory;
    QvParser* session = client.session();
    session->writeTokens(session->getConsole());
    session->releaseConsole();
    client.flushOutput();
    return kExitClean;
}
}

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "batch") return QvBatchCommand::main(argc - 1, argv + 1);
    QvCommandLine line = QvCommandLine::parse(argc, argv);
    if (line.mode == QvCommandLine::Mode::Help) {
        std::fputs(QvCommandLine::usage(), stdout);
        return kExitClean;
    }
    if (line.mode == QvCommandLine::Mode::Version) {
        std::printf("quarvel %s\n", QvGetVersionString());
        return kExitClean;
    }
    if (!line.error.empty()) {
        std::fprintf(stderr, "quarvel: %s\n%s", line.error.c_str(), QvCommandLine::usage());
        return kExitUsage;
    }
    static QvTerminalProgress services;
    QvInstallHostServices(&services);
    QvPluginRegistryInitInternal();
    PluginFailureReport pluginFailures;
    QvHostClient::loadPlugins(line.pluginFolders, &pluginFailures);
    if (line.mode == QvCommandLine::Mode::Functions) {
        std::fputs(QvFunctionListing().c_str(), stdout);
        return kExitClean;
    }
    std::string text;
    if (!readScript(line.scriptPath, text)) return kExitNoInput;

    QvHostClient client;
    client.setSourceText(text);
    for (const QvScriptArgument& argument : line.scriptArguments)
        client.presetVariable(argument.name(), argument.createValue().get());
    if (line.scriptPath != "-") client.setFile(QvFileCreateFromPath(line.scriptPath.c_str()));
    if (line.mode == QvCommandLine::Mode::Tokens) return dumpTokens(client, line.scriptPath);

    if (line.mode == QvCommandLine::Mode::Check || line.mode == QvCommandLine::Mode::Tree) {
        client.check();
        if (!haveSession(client, line.scriptPath)) return kExitNoMemory;
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
    if (!haveSession(client, line.scriptPath)) return kExitNoMemory;
    return exitStatus(client.session());
}
