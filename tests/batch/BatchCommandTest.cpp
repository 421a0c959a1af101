// quarvel --set and quarvel batch, run as a user runs them.
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

#include "BatchTesting.h"

using namespace batchtest;

namespace {
// The first line of the command's complaint.
std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

class BatchCommandTest : public ::testing::Test {
protected:
    BatchCommandTest() : scratch_(::testing::UnitTest::GetInstance()->current_test_info()->name()) {}

    void SetUp() override {
        makePictures(scratch_ / "pictures", 3);
        writeFile(scratch_ / "grey.qv", greyScript());
    }

    Outcome batch(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "batch");
        return quarvel(scratch_.path(), arguments);
    }

    ScratchFolder scratch_;
};

TEST(ScriptArgumentTest, RefusesWhatIsNoVariableOrNoValue) {
    ScratchFolder scratch("set-arguments");
    writeFile(scratch / "a.qv", "print 1;\n");
    const std::pair<const char*, const char*> refused[] = {
        {"count", "--set count: expected NAME=VALUE"},
        {"2x=1", "'2x' is not a variable name"},
        {"my-name=1", "'my-name' is not a variable name"},
        {"print=1", "'print' is not a variable name"},
        {"times=1", "'times' is not a variable name"},
        {"count=", "no value after '='"},
        {"count=1.2.3", "'1.2.3' is not a number (quote it to pass it as text)"},
        {"count=-7up", "'-7up' is not a number"},
        {"count=.5", "'.5' is not a number"},
        {"count=1e400", "the number 1e400 is out of range"},
        {"name=\"clip", "the text \"clip has no closing quote"},
    };
    for (const auto& [assignment, message] : refused) {
        Outcome outcome = quarvel(scratch.path(), {"--set", assignment, "a.qv"});
        EXPECT_EQ(outcome.status, 64) << assignment;
        EXPECT_NE(firstLine(outcome.errors).find(message), std::string::npos) << outcome.errors;
        EXPECT_EQ(outcome.output, "") << assignment;
    }
    Outcome twice = quarvel(scratch.path(), {"--set", "n=1", "--set", "n=2", "a.qv"});
    EXPECT_EQ(twice.status, 64);
    EXPECT_NE(twice.errors.find("'n' is given twice"), std::string::npos) << twice.errors;
}

TEST_F(BatchCommandTest, RunsEveryInputAndReportsTheFailures) {
    writeFile(scratch_ / "pictures" / "broken.png", "not a picture\n");
    Outcome outcome = batch({"grey.qv", "--inputs", "pictures/*.png", "--output", "results/{stem}-grey.png", "--jobs",
                             "2"});
    EXPECT_EQ(outcome.status, 1) << outcome.errors;
    EXPECT_EQ(outcome.errors, "");

    json report = readJson(scratch_ / "grey-batch.json");
    EXPECT_EQ(report["runner"], "local");
    EXPECT_EQ(report["jobs"], 2);
    EXPECT_EQ(report["complete"], true);
    EXPECT_EQ(report["counts"]["runs"], 4);
    EXPECT_EQ(report["counts"]["succeeded"], 3);
    EXPECT_EQ(report["counts"]["failed"], 1);
    ASSERT_EQ(report["runs"].size(), 4u);
    EXPECT_EQ(report["runs"][0]["input"], "pictures/broken.png");  // the inputs in sorted order

    const json& broken = *runFor(report, "pictures/broken.png");
    EXPECT_EQ(broken["status"], "failed");
    EXPECT_EQ(broken["exit_status"], 2);
    EXPECT_EQ(broken["error"], "line 2: Coercion from (text) to (frame_mono) is not possible.");
    EXPECT_FALSE(fs::exists(scratch_ / "results/broken-grey.png"));

    for (const char* stem : {"pic10", "pic11", "pic12"}) {
        const json& run = *runFor(report, std::string("pictures/") + stem + ".png");
        EXPECT_EQ(run["status"], "succeeded");
        EXPECT_EQ(run["exit_status"], 0);
        EXPECT_TRUE(run["error"].is_null());
        EXPECT_EQ(run["output"], std::string("results/") + stem + "-grey.png");
        EXPECT_EQ(readFile(scratch_ / run["output"].get<std::string>()).substr(1, 3), "PNG");
        std::string log = readFile(scratch_ / run["log"].get<std::string>());
        EXPECT_NE(log.find("brightest "), std::string::npos) << log;
    }
    // The table: a header, one row per input, then the counts.
    EXPECT_NE(outcome.output.find("pictures/broken.png  failed"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("line 2: Coercion from (text) to (frame_mono) is not possible."), std::string::npos);
    EXPECT_NE(outcome.output.find("4 runs: 3 succeeded, 1 failed; report: grey-batch.json"), std::string::npos)
        << outcome.output;
}

TEST_F(BatchCommandTest, RunsSeeAbsoluteInputAndOutputAndTheSetArguments) {
    writeFile(scratch_ / "show.qv", "print input;\nprint output;\nprint label + \" \" + (scale * 2);\n");
    Outcome outcome = batch({"show.qv", "--inputs", "pictures/pic10.png", "--output", "{dir}/{stem}.done{ext}",
                             "--set", "label=first", "--set", "scale=1.5", "--sync", "--report", "reports/show.json"});
    ASSERT_EQ(outcome.status, 0) << outcome.output << outcome.errors;
    json report = readJson(scratch_ / "reports/show.json");
    EXPECT_EQ(report["runs"][0]["output"], "pictures/pic10.done.png");
    EXPECT_EQ(report["runs"][0]["log"], "reports/show-logs/0001-pic10.log");
    std::string folder = fs::canonical(scratch_.path()).string();
    EXPECT_EQ(readFile(scratch_ / "reports/show-logs/0001-pic10.log"),
              "Syntax Check Complete : No Errors found.\n" + folder + "/pictures/pic10.png\n" + folder + "/pictures/pic10.done.png\nfirst 3\n");
}

TEST_F(BatchCommandTest, StopsARunAtItsTimeLimitAndGoesOn) {
    writeFile(scratch_ / "tasks/a-quick.txt", "quick");
    writeFile(scratch_ / "tasks/b-forever.txt", "forever");
    writeFile(scratch_ / "tasks/c-quick.txt", "quick");
    writeFile(scratch_ / "loop.qv", "set kind to file input;\nif kind = \"forever\" then repeat forever set x to 1;\n"
                                   "print \"finished \" + kind;\n");
    auto started = std::chrono::steady_clock::now();
    Outcome outcome = batch({"loop.qv", "--inputs", "tasks/*.txt", "--timeout", "1", "--jobs", "1"});
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(outcome.status, 1);
    EXPECT_LT(seconds, 20);

    json report = readJson(scratch_ / "loop-batch.json");
    EXPECT_EQ(report["timeout"], 1.0);
    const json& forever = *runFor(report, "tasks/b-forever.txt");
    EXPECT_EQ(forever["status"], "timed-out");
    EXPECT_EQ(forever["error"], "timed out after 1 s");
    EXPECT_GE(forever["seconds"].get<double>(), 1.0);
    std::string log = readFile(scratch_ / forever["log"].get<std::string>());
    EXPECT_NE(log.find("quarvel batch: stopped at the time limit of 1 s"), std::string::npos) << log;
    EXPECT_EQ(runFor(report, "tasks/a-quick.txt")->at("status"), "succeeded");
    EXPECT_EQ(runFor(report, "tasks/c-quick.txt")->at("status"), "succeeded");
    EXPECT_EQ(report["counts"]["timed-out"], 1);
}

TEST_F(BatchCommandTest, ResumeRunsOnlyWhatFailedOrLostItsOutput) {
    writeFile(scratch_ / "pictures/pic13.png", "not yet a picture\n");
    std::vector<std::string> arguments{"grey.qv", "--inputs", "pictures/*.png", "--output", "out/{stem}.png"};
    ASSERT_EQ(batch(arguments).status, 1);

    fs::copy_file(scratch_ / "pictures/pic10.png", scratch_ / "pictures/pic13.png",
                  fs::copy_options::overwrite_existing);
    fs::remove(scratch_ / "out/pic11.png");
    std::string keptLog = readFile(scratch_ / "grey-batch-logs/0003-pic12.log");
    writeFile(scratch_ / "grey-batch-logs/0003-pic12.log", "left alone\n");

    arguments.push_back("--resume");
    Outcome resumed = batch(arguments);
    EXPECT_EQ(resumed.status, 0) << resumed.output;
    json report = readJson(scratch_ / "grey-batch.json");
    EXPECT_EQ(report["counts"]["resumed"], 2);
    EXPECT_EQ(report["counts"]["succeeded"], 4);
    EXPECT_EQ(runFor(report, "pictures/pic10.png")->value("resumed", false), true);
    EXPECT_EQ(runFor(report, "pictures/pic11.png")->value("resumed", false), false);
    EXPECT_EQ(runFor(report, "pictures/pic12.png")->value("resumed", false), true);
    EXPECT_EQ(runFor(report, "pictures/pic13.png")->value("resumed", false), false);
    EXPECT_TRUE(fs::exists(scratch_ / "out/pic11.png"));
    EXPECT_TRUE(fs::exists(scratch_ / "out/pic13.png"));
    EXPECT_EQ(readFile(scratch_ / "grey-batch-logs/0003-pic12.log"), "left alone\n");
    EXPECT_NE(resumed.output.find("(2 done before, kept by --resume)"), std::string::npos) << resumed.output;

    // A changed output pattern makes every run new.
    arguments[4] = "out2/{stem}.png";
    EXPECT_EQ(batch(arguments).status, 0);
    EXPECT_EQ(readJson(scratch_ / "grey-batch.json")["counts"]["resumed"], 0);

    // A damaged report is refused, not taken for an empty one.
    writeFile(scratch_ / "grey-batch.json", R"({"runs": [{"input": "pictures/pic10.png", "status": 7}]})");
    Outcome damaged = batch(arguments);
    EXPECT_EQ(damaged.status, 66);
    EXPECT_EQ(damaged.errors, "quarvel batch: 'grey-batch.json' holds a run entry that cannot be read\n");
}

TEST_F(BatchCommandTest, ResumeTakesInWhatSlurmTasksFinishedAfterTheirCommandStopped) {
    writeFile(scratch_ / "pictures/pic13.png", "not a picture\n");
    std::vector<std::string> arguments{"grey.qv", "--inputs", "pictures/*.png", "--output", "out/{stem}.png"};
    ASSERT_EQ(batch(arguments).status, 1);
    // As a task would have written it, had pic13 succeeded after the report was made.
    writeFile(scratch_ / "out/pic13.png", "its output");
    writeFile(scratch_ / "grey-batch-slurm/results/3.json",
              R"({"input": "pictures/pic13.png", "output": "out/pic13.png", "log": "grey-batch-logs/0004-pic13.log",
                  "status": "succeeded", "exit_status": 0, "seconds": 0.5, "host": "node7"})");
    arguments.push_back("--resume");
    EXPECT_EQ(batch(arguments).status, 0);
    json report = readJson(scratch_ / "grey-batch.json");
    EXPECT_EQ(report["counts"]["resumed"], 4);
    EXPECT_EQ(runFor(report, "pictures/pic13.png")->at("host"), "node7");
    EXPECT_EQ(readFile(scratch_ / "out/pic13.png"), "its output");
}

TEST_F(BatchCommandTest, CtrlCStopsTheRunsAndLeavesAReportToResume) {
    for (const char* name : {"a", "b", "c"}) writeFile(scratch_ / "tasks" / (std::string(name) + ".txt"), "forever");
    writeFile(scratch_ / "loop.qv", "set kind to file input;\nif kind = \"forever\" then repeat forever set x to 1;\n");
    fs::path out = scratch_ / "batch.out";
    int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    fs::path previous = fs::current_path();
    fs::current_path(scratch_.path());
    pid_t pid = QvSubprocess::spawn({QV_QUARVEL, "batch", "loop.qv", "--inputs", "tasks/*.txt", "--jobs", "2"}, outFd,
                                    outFd, false);
    fs::current_path(previous);
    close(outFd);
    // Both first runs have started once their logs exist.
    for (int wait = 0; wait < 200 && !fs::exists(scratch_ / "loop-batch-logs/0002-b.log"); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    kill(pid, SIGINT);
    int status = QvSubprocess::waitFor(pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130) << readFile(out);

    json report = readJson(scratch_ / "loop-batch.json");
    EXPECT_EQ(report["complete"], false);
    EXPECT_EQ(report["counts"]["cancelled"], 2);
    EXPECT_EQ(report["counts"]["pending"], 1);
    EXPECT_EQ(runFor(report, "tasks/c.txt")->at("status"), "pending");
    EXPECT_NE(readFile(out).find("2 cancelled, 1 not started"), std::string::npos) << readFile(out);

    writeFile(scratch_ / "loop.qv", "print \"now quick\";\n");
    Outcome resumed = batch({"loop.qv", "--inputs", "tasks/*.txt", "--resume"});
    EXPECT_EQ(resumed.status, 0);
    EXPECT_EQ(readJson(scratch_ / "loop-batch.json")["counts"]["succeeded"], 3);
}

TEST_F(BatchCommandTest, InputListsSkipCommentsAndRunEachInputOnce) {
    writeFile(scratch_ / "list.txt", "# the pictures\npictures/pic11.png\n\npictures/pic10.png  \r\npictures/pic11.png\n");
    Outcome outcome = batch({"grey.qv", "--inputs", "@list.txt", "pictures/pic12.png", "--output", "{stem}.out.png"});
    EXPECT_EQ(outcome.status, 0) << outcome.output << outcome.errors;
    json report = readJson(scratch_ / "grey-batch.json");
    ASSERT_EQ(report["runs"].size(), 3u);
    EXPECT_EQ(report["runs"][0]["input"], "pictures/pic11.png");
    EXPECT_EQ(report["runs"][1]["input"], "pictures/pic10.png");
    EXPECT_EQ(report["runs"][2]["input"], "pictures/pic12.png");
}

TEST_F(BatchCommandTest, RefusesBatchesThatCannotGoWell) {
    const std::vector<std::pair<std::vector<std::string>, std::pair<int, std::string>>> refused = {
        {{"grey.qv", "--inputs", "nothing/*.png"}, {66, "no file matches 'nothing/*.png'"}},
        {{"grey.qv", "--inputs", "@missing.txt"}, {66, "cannot read the input list 'missing.txt'"}},
        {{"missing.qv", "--inputs", "pictures/*.png"}, {66, "cannot read the script 'missing.qv'"}},
        {{"grey.qv", "--inputs", "pictures/*.png", "--output", "same.png"},
         {64, "'pictures/pic10.png' and 'pictures/pic11.png' would both write 'same.png'"}},
        {{"grey.qv", "--inputs", "pictures/*.png", "--output", "{dir}/{name}"},
         {64, "the output of 'pictures/pic10.png' would overwrite the input 'pictures/pic10.png'"}},
        {{"grey.qv", "--inputs", "pictures/*.png", "--output", "{base}.png"}, {64, "names {base}"}},
        {{"grey.qv", "--inputs", "pictures/*.png", "--set", "input=x"}, {64, "the batch sets 'input' and 'output'"}},
        {{"grey.qv", "--inputs", "pictures/*.png", "--partition", "p"}, {64, "--partition, --time and --mem go with --slurm"}},
        {{"grey.qv", "--inputs", "pictures/*.png", "--jobs", "0"}, {64, "option '--jobs' needs a whole number"}},
        {{"grey.qv", "--inputs", "pictures/*.png", "--timeout", "-1"}, {64, "option '--timeout' needs a positive number"}},
        {{"grey.qv"}, {64, "no inputs given"}},
    };
    for (const auto& [arguments, expected] : refused) {
        Outcome outcome = batch(arguments);
        EXPECT_EQ(outcome.status, expected.first) << arguments.back();
        EXPECT_NE(firstLine(outcome.errors).find(expected.second), std::string::npos) << outcome.errors;
    }
    EXPECT_FALSE(fs::exists(scratch_ / "grey-batch.json"));
    EXPECT_FALSE(fs::exists(scratch_ / "same.png"));
}
}  // namespace
