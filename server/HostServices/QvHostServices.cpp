#include "HostServices/QvHostServices.h"

#include <atomic>
#include <cstdio>
#include <mutex>

QvHostServices::~QvHostServices() = default;

void QvHostServices::reportProgress(const std::string&, double) {}

struct QvInProcessHostServices::Clipboard {
    std::mutex lock;
    std::string text;
};

QvInProcessHostServices::Clipboard& QvInProcessHostServices::clipboard() {
    static Clipboard shared;
    return shared;
}

void QvInProcessHostServices::setClipboardText(const std::string& text) {
    std::lock_guard<std::mutex> guard(clipboard().lock);
    clipboard().text = text;
}

std::string QvInProcessHostServices::clipboardText() {
    std::lock_guard<std::mutex> guard(clipboard().lock);
    return clipboard().text;
}

void QvInProcessHostServices::beep() {
    std::fputs("\a", stderr);
    std::fflush(stderr);
}

namespace {
QvInProcessHostServices inProcessServices;
std::atomic<QvHostServices*> installedServices{nullptr};
}  // namespace

void QvInstallHostServices(QvHostServices* services) { installedServices.store(services); }

QvHostServices* QvGetHostServices() {
    QvHostServices* services = installedServices.load();
    return services ? services : &inProcessServices;
}
