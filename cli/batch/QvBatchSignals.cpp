#include "QvBatchSignals.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>

namespace {
// Handlers write one byte here and wait() reads them back: a signal that arrives
// just before poll still wakes it.
int wakePipe[2] = {-1, -1};
std::atomic<int> stops{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free counter");

void onSignal(int signal) {
    int savedErrno = errno;
    if (signal != SIGCHLD) stops.fetch_add(1, std::memory_order_relaxed);
    char byte = 0;
    [[maybe_unused]] ssize_t written = write(wakePipe[1], &byte, 1);
    errno = savedErrno;
}
}

void QvBatchSignals::install() {
    if (wakePipe[0] >= 0) return;
    if (pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGCHLD, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void QvBatchSignals::wait(std::chrono::milliseconds longest) {
    pollfd wake{wakePipe[0], POLLIN, 0};
    int timeout = static_cast<int>(std::max<long long>(0, longest.count()));
    if (poll(&wake, 1, timeout) > 0) {
        char drained[64];
        while (read(wakePipe[0], drained, sizeof drained) > 0) {}
    }
}

int QvBatchSignals::stopRequests() { return stops.load(std::memory_order_relaxed); }
