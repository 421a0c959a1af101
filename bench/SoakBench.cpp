// Soak: a script that prints in a tight loop for a while under the quarvel command
// (build/bin/quarvel, beside this program), its output read as fast as it comes. The
// command's resident memory must stay flat however long the loop runs. Prints the
// peak resident memory (all of it, and the anonymous part that the process itself
// allocated), the output rate, the same for a script that only prints once (the
// start-up floor: mostly shared libraries), and for the same loop in python3.
//
//   SoakBench [seconds]      (10 by default)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {
struct Soak {
    bool ran = false;
    double seconds = 0;
    double megabytesPrinted = 0;
    long peakResidentKB = 0;  // from the kernel's own high-water mark
    long peakAnonymousKB = 0;  // sampled every 50 ms
};

std::string programDirectory() {
    char path[4096];
    ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    std::string program(path, size_t(length));
    return program.substr(0, program.rfind('/'));
}

long statusField(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, field.size(), field) == 0) return std::atol(line.c_str() + field.size());
    return 0;
}

// Runs the command with its standard output into a pipe that a reader thread drains.
Soak soak(const std::vector<std::string>& command) {
    Soak result;
    int output[2];
    if (::pipe(output) != 0) return result;
    auto start = std::chrono::steady_clock::now();
    pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::close(output[0]);
        ::close(output[1]);
        std::vector<char*> argv;
        for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(output[1]);
    double bytes = 0;
    std::thread reader([&] {
        std::vector<char> chunk(1 << 20);
        for (ssize_t got; (got = ::read(output[0], chunk.data(), chunk.size())) > 0;) bytes += double(got);
    });
    int status = 0;
    struct rusage usage {};
    while (::wait4(child, &status, WNOHANG, &usage) == 0) {
        result.peakAnonymousKB = std::max(result.peakAnonymousKB, statusField(child, "RssAnon:"));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    reader.join();
    ::close(output[0]);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    result.ran = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.seconds = took.count();
    result.megabytesPrinted = bytes / 1e6;
    result.peakResidentKB = usage.ru_maxrss;
    return result;
}

std::string writeScript(const std::string& name, const std::string& text) {
    std::string path = "/tmp/quarvel-soak-" + std::to_string(::getpid()) + "-" + name + ".qv";
    std::ofstream(path) << text;
    return path;
}

void report(const char* name, const Soak& s) {
    if (!s.ran) {
        std::printf("%-26s %8s\n", name, "-");
        return;
    }
    std::printf("%-26s %8.1f %12.0f %10.1f %12.1f %12.1f\n", name, s.seconds, s.megabytesPrinted,
                s.megabytesPrinted / s.seconds, s.peakResidentKB / 1024.0, s.peakAnonymousKB / 1024.0);
}
}  // namespace

int main(int argc, char** argv) {
    int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    if (seconds <= 0) seconds = 10;
    const std::string line = "The quick brown fox jumps over the lazy dog";
    const std::string quarvel = programDirectory() + "/quarvel";
    std::string once = writeScript("once", "print \"" + line + "\";\n");
    std::string loop = writeScript("loop", "repeat for " + std::to_string(seconds) + " print \"" + line + "\";\n");
    std::string python = "import sys, time\nend = time.monotonic() + " + std::to_string(seconds) +
                         "\nwrite = sys.stdout.write\nwhile time.monotonic() < end: write('" + line + "\\n')\n";

    std::printf("%-26s %8s %12s %10s %12s %12s\n", "program", "seconds", "MB printed", "MB/s", "peak RSS MB",
                "peak anon MB");
    report("quarvel, print once", soak({quarvel, once}));
    report("quarvel, printing loop", soak({quarvel, loop}));
    report("python3, printing loop", soak({"python3", "-c", python}));
    std::remove(once.c_str());
    std::remove(loop.c_str());
    return 0;
}
