// The quarvel command run as a user runs it, with what a user may hand it: folders,
// devices and pipes for scripts, too little memory, and Ctrl-C while a script waits.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {
using Clock = std::chrono::steady_clock;

struct Outcome {
    int status = -1;  // the exit status, or -1 when the command did not exit
    std::string output;
    std::string errors;
    double seconds = 0;
};

std::string readAll(int fd) {
    std::string text;
    char chunk[4096];
    for (ssize_t got; (got = ::read(fd, chunk, sizeof chunk)) > 0;) text.append(chunk, size_t(got));
    return text;
}

// Runs quarvel with the arguments in `folder`, its input closed, under an address-space
// limit when one is given; `meanwhile` runs with the child's id while it runs. A command
// still running after 20 seconds is killed.
Outcome quarvel(const fs::path& folder, const std::vector<std::string>& arguments, rlim_t addressSpace = 0,
                const std::function<void(pid_t)>& meanwhile = nullptr) {
    int output[2], errors[2];
    if (::pipe(output) != 0 || ::pipe(errors) != 0) return {};
    Clock::time_point start = Clock::now();
    pid_t child = ::fork();
    if (child == 0) {
        ::chdir(folder.c_str());
        ::dup2(output[1], STDOUT_FILENO);
        ::dup2(errors[1], STDERR_FILENO);
        int nothing = ::open("/dev/null", O_RDONLY);
        ::dup2(nothing, STDIN_FILENO);
        if (addressSpace) {
            struct rlimit limit = {addressSpace, addressSpace};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        std::vector<char*> argv{const_cast<char*>(QV_QUARVEL)};
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(QV_QUARVEL, argv.data());
        ::_exit(127);
    }
    ::close(output[1]);
    ::close(errors[1]);
    Outcome outcome;
    std::thread readErrors([&] { outcome.errors = readAll(errors[0]); });
    std::thread watchdog([&, child] {
        if (meanwhile) meanwhile(child);
        while (Clock::now() - start < std::chrono::seconds(20)) {
            if (::kill(child, 0) != 0) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(child, SIGKILL);
    });
    outcome.output = readAll(output[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    watchdog.join();
    readErrors.join();
    ::close(output[0]);
    ::close(errors[0]);
    if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
    return outcome;
}

// The command's own size before it prepares a script: blocked reading a script from an
// input that never ends.
rlim_t addressSpaceAtStart() {
    int input[2];
    if (::pipe(input) != 0) return 0;
    pid_t child = ::fork();
    if (child == 0) {
        ::dup2(input[0], STDIN_FILENO);
        ::close(input[1]);
        int nothing = ::open("/dev/null", O_WRONLY);
        ::dup2(nothing, STDOUT_FILENO);
        ::execl(QV_QUARVEL, QV_QUARVEL, "-", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(input[0]);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::ifstream status("/proc/" + std::to_string(child) + "/status");
    rlim_t kilobytes = 0;
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmSize:", 0) == 0) kilobytes = std::strtoull(line.c_str() + 7, nullptr, 10);
    ::close(input[1]);
    ::waitpid(child, nullptr, 0);
    return kilobytes * 1024;
}

class RobustCommand : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("quarvel-command-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    void write(const std::string& name, const std::string& content) const {
        std::ofstream(folder / name, std::ios::binary) << content;
    }

    fs::path folder;
};

// True once the process has its own handler for the signal (its SigCgt mask).
bool catches(pid_t process, int signal) {
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0) return (std::strtoull(line.c_str() + 7, nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

// Two Ctrl-C once the command listens for them and its script has begun to wait.
void sendTwoInterrupts(pid_t child) {
    for (int tries = 0; tries < 500 && !catches(child, SIGINT); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::kill(child, SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::kill(child, SIGINT);
}
}  // namespace

TEST_F(RobustCommand, OnlyRegularFilesAreReadAsScripts) {
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    fs::create_directory(folder / "scripts");
    for (const std::string& script : {std::string("scripts"), std::string("/dev/zero"), std::string("pipe")}) {
        Outcome outcome = quarvel(folder, {script});
        EXPECT_EQ(outcome.status, 66) << script;
        EXPECT_EQ(outcome.errors, "quarvel: cannot read '" + script + "'\n");
        EXPECT_LT(outcome.seconds, 5) << script;
    }
    write("huge.qv", "");
    fs::resize_file(folder / "huge.qv", (64 << 20) + 1);
    Outcome huge = quarvel(folder, {"huge.qv"});
    EXPECT_EQ(huge.status, 66);
    EXPECT_EQ(huge.errors, "quarvel: 'huge.qv' is larger than 64 MB\n");
}

// A module that cannot be loaded is named on standard error; the script still runs.
TEST_F(RobustCommand, AModuleThatCannotBeLoadedIsReported) {
    fs::create_directory(folder / "modules");
    write("modules/Broken.qvp", "not a library");
    write("hello.qv", "print \"hello\";\n");
    Outcome outcome = quarvel(folder, {"--plugins", "modules", "hello.qv"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.errors, "quarvel: Broken.qvp: PlugIn could not be loaded.\n");
    EXPECT_NE(outcome.output.find("hello"), std::string::npos);
}

// A wait is never interrupted, so only the command's own deadline ends it.
TEST_F(RobustCommand, ASecondCtrlCEndsAScriptThatWaits) {
    write("wait.qv", "print \"waiting\";\nwait 1e300;\nprint \"woke\";\n");
    for (const char* mode : {"--sync", "wait.qv"}) {
        std::vector<std::string> arguments{mode};
        if (arguments[0] != "wait.qv") arguments.push_back("wait.qv");
        Outcome outcome = quarvel(folder, arguments, 0, sendTwoInterrupts);
        EXPECT_EQ(outcome.status, 130) << mode;
        EXPECT_LT(outcome.seconds, 5) << mode;
        EXPECT_EQ(outcome.output.find("woke"), std::string::npos) << mode;
    }
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// The include is read, but expanding it leaves no memory for the session.
TEST_F(RobustCommand, ASessionThatCannotBeMadeIsReported) {
    rlim_t start = addressSpaceAtStart();
    ASSERT_GT(start, 0u);
    write("main.qv", "#include 'big.qvi'\nprint 1;\n");
    write("big.qvi", "");
    fs::resize_file(folder / "big.qvi", 60 << 20);
    for (const char* mode : {"--check", "--tokens", "--tree", "--sync"}) {
        Outcome outcome = quarvel(folder, {mode, "main.qv"}, start + (128 << 20));
        EXPECT_EQ(outcome.status, 71) << mode;
        EXPECT_EQ(outcome.errors, "quarvel: not enough memory to prepare 'main.qv'\n") << mode;
    }
    write("main.qv", "print 1;\n");
    EXPECT_EQ(quarvel(folder, {"--check", "main.qv"}, start + (128 << 20)).status, 0);
}
#endif

// The listing the manual's function reference is made from: heads on lines of their own,
// help texts indented beneath them; it takes no script.
TEST_F(RobustCommand, FunctionsAreListedWithTheirHelpAndNoScript) {
    Outcome listing = quarvel(folder, {"--functions"});
    EXPECT_EQ(listing.status, 0);
    EXPECT_NE(listing.output.find("\nMath.Sum(const vector x) returns number\n    "), std::string::npos);
    EXPECT_NE(listing.output.find("\nDraw.Line((frame_mono | frame | image_mono | image)& canvas, "), std::string::npos);
    write("script.qv", "print 1;\n");
    Outcome refused = quarvel(folder, {"--functions", "script.qv"});
    EXPECT_EQ(refused.status, 64);
    EXPECT_EQ(refused.errors.rfind("quarvel: option '--functions' takes no script\n", 0), 0u);
}
