#include "QvTerminalProgress.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

void QvTerminalProgress::reportProgress(const std::string& what, double fraction) {
    static const bool terminal = isatty(STDERR_FILENO) == 1;
    if (!terminal) return;
    if (fraction >= 1) {
        std::fputs("\r\033[K", stderr);
        shownPercent_ = -1;
    } else {
        int percent = static_cast<int>(std::floor(fraction * 100));
        if (percent == shownPercent_) return;
        shownPercent_ = percent;
        std::fprintf(stderr, "\r%s %3d%%", what.c_str(), percent);
    }
    std::fflush(stderr);
}
