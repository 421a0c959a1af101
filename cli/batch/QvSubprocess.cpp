#include "QvSubprocess.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {
void writeText(int fd, const char* text) {
    [[maybe_unused]] ssize_t written = write(fd, text, std::strlen(text));
}

// In the child, between fork and exec: only calls that are safe there.
[[noreturn]] void execChild(char* const* argv, int output, int errors, bool ownGroup, pid_t parent) {
    if (ownGroup) setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    struct sigaction initial {};
    initial.sa_handler = SIG_DFL;
    for (int signal : {SIGINT, SIGTERM, SIGCHLD, SIGPIPE, SIGQUIT, SIGHUP}) sigaction(signal, &initial, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    int nothing = open("/dev/null", O_RDONLY);
    if (nothing >= 0) dup2(nothing, STDIN_FILENO);
    dup2(output, STDOUT_FILENO);
    dup2(errors, STDERR_FILENO);
    execvp(argv[0], argv);
    const char* reason = std::strerror(errno);
    writeText(STDERR_FILENO, "quarvel batch: cannot start ");
    writeText(STDERR_FILENO, argv[0]);
    writeText(STDERR_FILENO, ": ");
    writeText(STDERR_FILENO, reason);
    writeText(STDERR_FILENO, "\n");
    _exit(127);
}
}

pid_t QvSubprocess::spawn(const std::vector<std::string>& arguments, int output, int errors, bool ownGroup) {
    std::vector<std::string> copies = arguments;
    std::vector<char*> argv;
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid == 0) execChild(argv.data(), output, errors, ownGroup, parent);
    // Set from both sides, so that the group exists before either uses it.
    if (pid > 0 && ownGroup) setpgid(pid, pid);
    return pid;
}

int QvSubprocess::waitFor(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return status;
}

int QvSubprocess::capture(const std::vector<std::string>& arguments, std::string& output) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return -1;
    pid_t pid = spawn(arguments, ends[1], ends[1], false);
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        return -1;
    }
    char chunk[4096];
    for (;;) {
        ssize_t got = read(ends[0], chunk, sizeof chunk);
        if (got > 0) output.append(chunk, static_cast<size_t>(got));
        else if (got == 0 || errno != EINTR) break;
    }
    close(ends[0]);
    return waitFor(pid);
}

std::string QvSubprocess::findProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "";
}
