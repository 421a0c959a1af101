#include "QvScriptRun.h"

#include <mutex>

#include "Media/QvMediaLayer.h"
#include "Plugins/QvPluginRegistry.h"
#include "QvMessageBox.h"
#include "QvScriptEngineClient.h"

namespace {
std::mutex& moduleRunLock() {
    static std::mutex lock;
    return lock;
}

// Undoes a run's set-up (the started media layer, the filled registry) however the
// run ends.
class RunCleanup {
public:
    RunCleanup(std::atomic<bool>& executing, const QvScriptRun::Media& media) : executing_(executing), media_(media) {}
    ~RunCleanup() {
        QvDeletePluginRegistry();
        media_.stop();
        executing_ = false;
    }
    RunCleanup(const RunCleanup&) = delete;
    RunCleanup& operator=(const RunCleanup&) = delete;

private:
    std::atomic<bool>& executing_;
    const QvScriptRun::Media& media_;
};
}

QvScriptRun::Media QvScriptRun::Media::layer() {
    return {[] { return QvTheMediaLayer().start(); }, [] { QvTheMediaLayer().stop(); }};
}

QvScriptRun::Outcome QvScriptRun::run(const std::string& text, std::atomic<bool>& executing, const Media& media) {
    Outcome outcome;
    if (text.empty()) {
        executing = false;
        return outcome;
    }
    if (media.start() != 0) {
        QvShowMessageBox(kMediaUnavailable);
        outcome.error = QvScriptError{kMediaUnavailable};
        outcome.mediaUnavailable = true;
        return outcome;
    }
    std::lock_guard<std::mutex> turn(moduleRunLock());
    RunCleanup cleanup(executing, media);
    QvPluginRegistryInitInternal();
    QvHostClient::loadPlugins();
    QvScriptEngineClient client;
    client.setSourceText(text);
    executing = true;
    client.run();
    outcome.error = client.firstError();
    return outcome;
}
