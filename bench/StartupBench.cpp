// Whole-process start-up: `quarvel --sync` on a hello-world script beside python3 and
// Lua 5.4 printing the same line, each started afresh many times in turn. Prints the
// median wall time and peak memory of each, and the median of the paired ratios.
// Usage: StartupBench [RUNS [QUARVEL]]   QUARVEL: the command to time (by default the
// one built beside this program).
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {
struct Run {
    double milliseconds = -1;
    double peakMegabytes = 0;
};

// Starts the command with its output thrown away and waits for it; negative time when
// it cannot start or fails.
Run timed(const std::vector<std::string>& command) {
    std::vector<char*> arguments;
    for (const std::string& word : command) arguments.push_back(const_cast<char*>(word.c_str()));
    arguments.push_back(nullptr);
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0) {
        int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        execvp(arguments[0], arguments.data());
        _exit(127);
    }
    Run run;
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return run;
    run.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.peakMegabytes = usage.ru_maxrss / 1024.0;
    return run;
}

double median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

struct Peer {
    Peer(const char* name, std::vector<std::string> command) : name(name), command(std::move(command)) {}
    const char* name;
    std::vector<std::string> command;
    std::vector<double> milliseconds, megabytes;
    bool missing = false;
};

// The interpreter program itself: `python3` may be a wrapper script (version managers
// install such shims) whose own start-up would be counted against Python.
std::string pythonProgram() {
    std::string path = "python3";
    if (FILE* pipe = popen("python3 -c 'import sys; print(sys.executable)' 2>/dev/null", "r")) {
        char line[4096];
        if (std::fgets(line, sizeof line, pipe)) {
            path = line;
            path.erase(path.find_last_not_of("\r\n") + 1);
        }
        pclose(pipe);
    }
    return path;
}
}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    namespace fs = std::filesystem;
    fs::path quarvel = argc > 2 ? fs::path(argv[2]) : fs::read_symlink("/proc/self/exe").parent_path() / "quarvel";
    fs::path folder = fs::temp_directory_path() / ("quarvel_startup_" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "hello.qv") << "print \"hello, world\";\n";
    std::ofstream(folder / "hello.py") << "print(\"hello, world\")\n";
    std::ofstream(folder / "hello.lua") << "print(\"hello, world\")\n";

    std::vector<Peer> peers = {
        {"quarvel", {quarvel.string(), "--sync", (folder / "hello.qv").string()}},
        {"python3", {pythonProgram(), (folder / "hello.py").string()}},
        {"lua5.4", {"lua5.4", (folder / "hello.lua").string()}},
    };
    std::vector<double> ratios;
    for (int round = 0; round <= runs; ++round) {  // the first round warms the caches and is not counted
        double times[3] = {-1, -1, -1};
        for (size_t p = 0; p < peers.size(); ++p) {
            Peer& peer = peers[p];
            if (peer.missing) continue;
            Run run = timed(peer.command);
            peer.missing = run.milliseconds < 0;
            if (peer.missing || round == 0) continue;
            times[p] = run.milliseconds;
            peer.milliseconds.push_back(run.milliseconds);
            peer.megabytes.push_back(run.peakMegabytes);
        }
        if (times[0] > 0 && times[1] > 0) ratios.push_back(times[0] / times[1]);
    }
    fs::remove_all(folder);

    std::printf("hello world, %d runs each   median wall ms   median peak MB\n", runs);
    for (const Peer& peer : peers) {
        if (peer.missing)
            std::printf("%-10s %17s %16s\n", peer.name, "-", "-");
        else
            std::printf("%-10s %17.1f %16.1f\n", peer.name, median(peer.milliseconds), median(peer.megabytes));
    }
    if (!ratios.empty()) std::printf("quarvel / python3, median of paired runs: %.2f\n", median(ratios));
    return 0;
}
