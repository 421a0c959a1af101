// The parts of a batch on their own: the process pool with programs that crash, hang
// or leave processes behind; output patterns; and the error lines read from logs.
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "BatchTesting.h"
#include "batch/QvBatchSignals.h"
#include "batch/QvOutputPattern.h"
#include "batch/QvProcessPool.h"
#include "batch/QvRunLog.h"

using namespace batchtest;

namespace {
// A pool whose runs are `sh -c SCRIPT`: the run's own arguments (--set input=...
// and the script) become the shell's positional parameters.
class ShellRuns : public ::testing::Test {
protected:
    ShellRuns() : scratch_(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
        QvBatchSignals::install();
        setup_.program = "/bin/sh";
        setup_.script = "ignored.qv";
        setup_.workFolder = scratch_.path().string();
    }

    std::vector<QvBatchRun> run(const std::string& shellScript, size_t count, unsigned slots, double timeout = 0) {
        setup_.options = {"-c", shellScript, "sh"};
        setup_.timeoutSeconds = timeout;
        std::vector<QvBatchRun> runs(count);
        std::vector<size_t> todo;
        for (size_t i = 0; i < count; ++i) {
            runs[i].input = "input" + std::to_string(i);
            runs[i].log = "logs/" + std::to_string(i) + ".log";
            todo.push_back(i);
        }
        QvProcessPool pool(setup_, slots);
        EXPECT_TRUE(pool.run(runs, todo, [] {}));
        return runs;
    }

    ScratchFolder scratch_;
    QvRunSetup setup_;
};

TEST_F(ShellRuns, ACrashIsOneRunsEnd) {
    std::vector<QvBatchRun> runs = run("case \"$2\" in *input1*) kill -SEGV $$;; esac; echo fine", 3, 2);
    EXPECT_EQ(runs[0].status, QvBatchRun::Status::Succeeded);
    EXPECT_EQ(runs[1].status, QvBatchRun::Status::Crashed);
    EXPECT_EQ(runs[1].signal, "SIGSEGV");
    EXPECT_EQ(runs[1].exitStatus, -1);
    EXPECT_EQ(runs[1].error, "ended by SIGSEGV");
    EXPECT_EQ(runs[2].status, QvBatchRun::Status::Succeeded);
    EXPECT_EQ(readFile(scratch_ / "logs/0.log"), "fine\n");
    EXPECT_EQ(readFile(scratch_ / "logs/1.log"), "quarvel batch: the run was ended by SIGSEGV\n");
}

TEST_F(ShellRuns, ARunThatIgnoresTheStopIsKilledAfterTheGrace) {
    auto started = std::chrono::steady_clock::now();
    std::vector<QvBatchRun> runs = run("trap '' INT; echo waiting; sleep 30", 1, 1, 0.5);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(runs[0].status, QvBatchRun::Status::TimedOut);
    EXPECT_EQ(runs[0].signal, "SIGKILL");
    EXPECT_EQ(runs[0].error, "timed out after 0.5 s");
    EXPECT_GE(seconds, 0.5 + QvProcessPool::kGraceAfterStop.count());
    EXPECT_LT(seconds, 15);
}

TEST_F(ShellRuns, NothingARunStartedOutlivesIt) {
    fs::path pidFile = scratch_ / "background.pid";
    std::vector<QvBatchRun> runs = run("sleep 30 & echo $! > '" + pidFile.string() + "'; exit 3", 1, 1);
    EXPECT_EQ(runs[0].status, QvBatchRun::Status::Failed);
    EXPECT_EQ(runs[0].exitStatus, 3);
    EXPECT_EQ(runs[0].error, "exit status 3");
    std::string pid = readFile(pidFile);
    ASSERT_FALSE(pid.empty());
    // Killed, it takes a moment to end, and may linger as a zombie until whoever
    // adopted it reaps it.
    std::string state;
    for (int wait = 0; wait < 100; ++wait) {
        std::string stat = readFile("/proc/" + std::to_string(std::stoi(pid)) + "/stat");
        state = stat.empty() ? "gone" : stat.substr(stat.rfind(')') + 2, 1);
        if (state == "gone" || state == "Z") break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(state == "gone" || state == "Z") << "the background process of the run is in state " << state;
}

TEST_F(ShellRuns, NoMoreRunsAtOnceThanSlots) {
    // Each run marks itself running, and after a second counts the runs marked.
    std::string folder = "'" + scratch_.path().string() + "'";
    std::string script = "touch " + folder + "/running-$$; sleep 1; ls " + folder + " | grep -c '^running-' > " +
                         folder + "/seen-$$; rm " + folder + "/running-$$";
    std::vector<QvBatchRun> runs = run(script, 5, 2);
    std::vector<int> seen;
    for (const QvBatchRun& finished : runs) EXPECT_EQ(finished.status, QvBatchRun::Status::Succeeded) << finished.error;
    for (const auto& entry : fs::directory_iterator(scratch_.path()))
        if (entry.path().filename().string().rfind("seen-", 0) == 0) seen.push_back(std::stoi(readFile(entry.path())));
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(*std::max_element(seen.begin(), seen.end()), 2);
}

TEST_F(ShellRuns, AProgramThatCannotStartFailsItsRuns) {
    setup_.program = (scratch_ / "no-such-program").string();
    std::vector<QvBatchRun> runs = run("", 2, 1);
    for (const QvBatchRun& failed : runs) {
        EXPECT_EQ(failed.status, QvBatchRun::Status::Failed);
        EXPECT_EQ(failed.exitStatus, 127);
        EXPECT_EQ(failed.error, "quarvel batch: cannot start " + setup_.program + ": No such file or directory");
    }
}

TEST(OutputPatternTest, PutsThePartsOfTheInputInPlace) {
    QvOutputPattern pattern;
    std::string error;
    ASSERT_TRUE(QvOutputPattern::parse("out/{dir}/{stem}-{name}{ext}.x", pattern, error));
    EXPECT_EQ(pattern.expand("clips/day 1/take.2.mov"), "out/clips/day 1/take.2-take.2.mov.mov.x");
    EXPECT_EQ(pattern.expand("take"), "out/./take-take.x");
    EXPECT_EQ(pattern.expand(".hidden"), "out/./.hidden-.hidden.x");
    EXPECT_EQ(pattern.expand("/abs.png"), "out///abs-abs.png.png.x");
    EXPECT_EQ(pattern.expand("https://host/cam/feed.mp4"), "out/https://host/cam/feed-feed.mp4.mp4.x");
    EXPECT_FALSE(QvOutputPattern::parse("{stem", pattern, error));
    EXPECT_EQ(error, "the output pattern '{stem' leaves a '{' open");
}

TEST(RunLogTest, TheFirstErrorLineOfALog) {
    ScratchFolder scratch("run-log");
    const std::pair<const char*, const char*> logs[] = {
        {"Syntax Check Complete : No Errors found.\nRunTime Error\n at line 2: ()\nfile \"/x.png\" cannot be found.\n\n",
         "line 2: file \"/x.png\" cannot be found."},
        {" at line 3: (y)\nSyntax Error: Identifier has not been initialized.\n        y\n\n at line 4: (z)\nother\n",
         "line 3: (y) Syntax Error: Identifier has not been initialized."},
        {"RunTime Error\n at file 'inc.qv', line 2\nincluded from line 5: (w)\nDivision by zero.\n",
         "file 'inc.qv', line 2: (w) Division by zero."},
        {"partial output\nquarvel: not enough memory to prepare 'a.qv'\nlater\n",
         "quarvel: not enough memory to prepare 'a.qv'"},
        {"one\nlast words\n\n", "last words"},
        {"", ""},
    };
    for (const auto& [log, error] : logs) {
        writeFile(scratch / "run.log", log);
        EXPECT_EQ(QvRunLog::firstError((scratch / "run.log").string()), error) << log;
    }
    writeFile(scratch / "run.log", " at line 1: ()\n" + std::string(1000, 'x') + "\n");
    std::string cut = QvRunLog::firstError((scratch / "run.log").string());
    EXPECT_EQ(cut.size(), QvRunLog::kLongestError);
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
}
}  // namespace
