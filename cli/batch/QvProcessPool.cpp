#include "QvProcessPool.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "QvBatchInputs.h"
#include "QvBatchSignals.h"
#include "QvRunLog.h"
#include "QvSubprocess.h"

namespace fs = std::filesystem;

namespace {
constexpr std::chrono::milliseconds kListenerPeriod{250};

std::string hostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return "";
    return name;
}

std::string secondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", seconds);
    return text;
}

std::string signalName(int signal) {
    const char* abbreviation = sigabbrev_np(signal);
    return abbreviation ? std::string("SIG") + abbreviation : "signal " + std::to_string(signal);
}

// Makes the folder that will hold the file; false with a message when it cannot.
bool makeFolderFor(const std::string& file, std::string& error) {
    fs::path folder = fs::path(file).parent_path();
    std::error_code failed;
    if (folder.empty() || fs::is_directory(folder, failed)) return true;
    fs::create_directories(folder, failed);
    if (!failed) return true;
    error = "cannot make the folder '" + folder.string() + "': " + failed.message();
    return false;
}
}

bool QvProcessPool::run(std::vector<QvBatchRun>& runs, const std::vector<size_t>& todo, const Listener& listener) {
    size_t next = 0;
    bool stopping = false;
    Clock::time_point nextListen = Clock::now();
    while (next < todo.size() || !children_.empty()) {
        while (!stopping && next < todo.size() && children_.size() < slots_) {
            start(runs[todo[next]], todo[next]);
            ++next;
        }
        if (children_.empty()) break;
        QvBatchSignals::wait(std::chrono::duration_cast<std::chrono::milliseconds>(
            std::min(nextWake(), nextListen) - Clock::now() + std::chrono::milliseconds(1)));
        int stops = QvBatchSignals::stopRequests();
        if (stops > handledStops_) {
            stopping = true;
            stopAll(stops >= 2);
            handledStops_ = stops;
        }
        bool ended = reap(runs);
        enforceDeadlines();
        if (ended || Clock::now() >= nextListen) {
            listener();
            nextListen = Clock::now() + kListenerPeriod;
        }
    }
    return !stopping;
}

void QvProcessPool::startFailed(QvBatchRun& run, const std::string& error) {
    run.status = QvBatchRun::Status::Failed;
    run.error = error;
    run.host = hostName();
}

void QvProcessPool::start(QvBatchRun& run, size_t index) {
    std::string logPath = setup_.resolve(run.log);
    std::string error;
    if (!makeFolderFor(logPath, error) ||
        (!run.output.empty() && QvBatchInputs::isPath(run.output) && !makeFolderFor(setup_.resolve(run.output), error))) {
        startFailed(run, error);
        return;
    }
    int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (log < 0) {
        startFailed(run, "cannot write the log '" + run.log + "': " + std::strerror(errno));
        return;
    }
    pid_t pid = QvSubprocess::spawn(setup_.arguments(run), log, log, true);
    int spawnErrno = errno;
    close(log);
    if (pid < 0) {
        startFailed(run, std::string("cannot start a process: ") + std::strerror(spawnErrno));
        return;
    }
    Clock::time_point now = Clock::now();
    Clock::time_point deadline = Clock::time_point::max();
    if (setup_.timeoutSeconds > 0)
        deadline = now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(setup_.timeoutSeconds));
    children_.push_back({index, pid, now, deadline});
}

bool QvProcessPool::reap(std::vector<QvBatchRun>& runs) {
    bool any = false;
    for (auto it = children_.begin(); it != children_.end();) {
        siginfo_t info{};
        int looked = waitid(P_PID, it->pid, &info, WEXITED | WNOHANG | WNOWAIT);
        if ((looked == 0 && info.si_pid == 0) || (looked < 0 && errno == EINTR)) {
            ++it;
            continue;
        }
        // The group may still hold processes the run started: they go with it, while
        // the ended child still keeps the group's number from being reused.
        kill(-it->pid, SIGKILL);
        int waitStatus = -1;  // stays so, a plain failure, should the child be gone
        while (waitpid(it->pid, &waitStatus, 0) < 0 && errno == EINTR) {}
        finish(runs[it->run], *it, waitStatus);
        it = children_.erase(it);
        any = true;
    }
    return any;
}

void QvProcessPool::finish(QvBatchRun& run, const Child& child, int waitStatus) {
    run.seconds = std::chrono::duration<double>(Clock::now() - child.started).count();
    run.host = hostName();
    run.exitStatus = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    run.signal = WIFSIGNALED(waitStatus) ? signalName(WTERMSIG(waitStatus)) : "";
    std::string logPath = setup_.resolve(run.log);
    if (child.timedOut) {
        run.status = QvBatchRun::Status::TimedOut;
        run.error = "timed out after " + secondsText(setup_.timeoutSeconds) + " s";
        QvRunLog::appendNote(logPath, "quarvel batch: stopped at the time limit of " + secondsText(setup_.timeoutSeconds) + " s");
    } else if (child.cancelled) {
        run.status = QvBatchRun::Status::Cancelled;
        run.error = "cancelled";
    } else if (WIFSIGNALED(waitStatus)) {
        run.status = QvBatchRun::Status::Crashed;
        run.error = "ended by " + run.signal;
        QvRunLog::appendNote(logPath, "quarvel batch: the run was ended by " + run.signal);
    } else if (run.exitStatus == 0) {
        run.status = QvBatchRun::Status::Succeeded;
        run.error.clear();
    } else {
        run.status = QvBatchRun::Status::Failed;
        run.error = QvRunLog::firstError(logPath);
        if (run.error.empty()) run.error = "exit status " + std::to_string(run.exitStatus);
    }
}

void QvProcessPool::enforceDeadlines() {
    Clock::time_point now = Clock::now();
    for (Child& child : children_) {
        if (now >= child.killAt) {
            kill(-child.pid, SIGKILL);
            child.killAt = Clock::time_point::max();
        } else if (now >= child.deadline && !child.timedOut && !child.cancelled) {
            child.timedOut = true;
            kill(-child.pid, SIGINT);
            child.killAt = now + kGraceAfterStop;
        }
    }
}

void QvProcessPool::stopAll(bool killNow) {
    Clock::time_point now = Clock::now();
    for (Child& child : children_) {
        if (!child.timedOut) child.cancelled = true;
        kill(-child.pid, killNow ? SIGKILL : SIGINT);
        if (!killNow && child.killAt == Clock::time_point::max()) child.killAt = now + kGraceAfterStop * 5;
    }
}

QvProcessPool::Clock::time_point QvProcessPool::nextWake() const {
    Clock::time_point wake = Clock::time_point::max();
    for (const Child& child : children_) wake = std::min({wake, child.deadline, child.killAt});
    return wake;
}
