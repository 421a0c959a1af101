#include "QvMessageBox.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<QvMessageBoxHook> installedHook{nullptr};
}

void QvShowMessageBox(const char* text) {
    if (QvMessageBoxHook hook = installedHook.load()) {
        hook(text);
        return;
    }
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
}

QvMessageBoxHook QvSetMessageBoxHook(QvMessageBoxHook hook) { return installedHook.exchange(hook); }
