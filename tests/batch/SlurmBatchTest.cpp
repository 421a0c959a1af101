// quarvel batch --slurm on a one-node Slurm cluster started for these tests
// (tools/slurm-cluster.sh): the same batch locally and through a job array must give
// the same report entries, outputs and logs.
#include <cstdlib>

#include "BatchTesting.h"

using namespace batchtest;

namespace {
constexpr int kUnavailable = 77;

class SlurmBatchTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        cluster_ = new ScratchFolder("slurm-cluster");
        std::string output;
        int status = QvSubprocess::capture({"bash", QV_SOURCE_DIR "/tools/slurm-cluster.sh", "start", cluster_->path()},
                                           output);
        int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (exitStatus == kUnavailable)
            skipReason_ = "no Slurm cluster can be started here: " + output;
        else if (exitStatus != 0)
            startFailure_ = "the Slurm cluster did not start:\n" + output;
        else
            setenv("SLURM_CONF", (cluster_->path() / "slurm.conf").c_str(), 1);
    }

    static void TearDownTestSuite() {
        std::string ignored;
        QvSubprocess::capture({"bash", QV_SOURCE_DIR "/tools/slurm-cluster.sh", "stop", cluster_->path()}, ignored);
        delete cluster_;
    }

    void SetUp() override {
        if (!skipReason_.empty()) GTEST_SKIP() << skipReason_;
        ASSERT_EQ(startFailure_, "");
    }

    static ScratchFolder* cluster_;
    static std::string skipReason_, startFailure_;
};

ScratchFolder* SlurmBatchTest::cluster_ = nullptr;
std::string SlurmBatchTest::skipReason_, SlurmBatchTest::startFailure_;

// The batch of the tests from `folder`: the movies of ../inputs, outputs beside it.
Outcome movieBatch(const fs::path& folder, std::vector<std::string> more = {}) {
    fs::create_directories(folder);
    std::vector<std::string> arguments{"batch", "../grey.qv", "--inputs", "../inputs/*.mov", "--output",
                                       "{stem}-grey.mov", "--timeout", "120"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return quarvel(folder, arguments);
}

// Twenty small movies, one of them broken, each turned grey frame by frame on this
// machine and through a job array. The outputs are compared byte for byte: their
// frames are PNG-compressed (lossless and deterministic) and the container holds no
// clock time, so the same command writes the same bytes wherever it runs.
TEST_F(SlurmBatchTest, AJobArrayGivesTheResultsOfALocalBatch) {
    ScratchFolder scratch("slurm-batch");
    makeMovies(scratch / "inputs", 19);
    writeFile(scratch / "inputs/clip99.mov", "not a movie\n");
    writeFile(scratch / "grey.qv", movieScript());

    Outcome local = movieBatch(scratch / "local", {"--jobs", "2"});
    Outcome slurm = movieBatch(scratch / "slurm", {"--slurm"});
    EXPECT_EQ(local.status, 1) << local.errors;
    EXPECT_EQ(slurm.status, 1) << slurm.errors;

    json localReport = readJson(scratch / "local/grey-batch.json");
    json slurmReport = readJson(scratch / "slurm/grey-batch.json");
    EXPECT_EQ(slurmReport["runner"], "slurm");
    EXPECT_FALSE(slurmReport["slurm_job"].get<std::string>().empty());
    EXPECT_EQ(localReport["counts"]["succeeded"], 19);
    EXPECT_EQ(localReport["counts"]["failed"], 1);
    EXPECT_EQ(slurmReport["counts"], localReport["counts"]);
    ASSERT_EQ(slurmReport["runs"].size(), 20u);
    ASSERT_EQ(localReport["runs"].size(), 20u);
    for (size_t i = 0; i < 20; ++i) {
        json localRun = localReport["runs"][i], slurmRun = slurmReport["runs"][i];
        for (const char* key : {"input", "output", "log", "status", "exit_status", "signal", "error"})
            EXPECT_EQ(slurmRun[key], localRun[key]) << key << " of " << localRun["input"];
        std::string log = readFile(scratch / "local" / localRun["log"].get<std::string>());
        EXPECT_EQ(readFile(scratch / "slurm" / slurmRun["log"].get<std::string>()), log);
        if (localRun["status"] != "succeeded") continue;
        EXPECT_NE(log.find("frame 3, mean 0."), std::string::npos) << log;
        std::string output = readFile(scratch / "local" / localRun["output"].get<std::string>());
        EXPECT_GT(output.size(), 1000u) << localRun["output"];
        EXPECT_TRUE(output == readFile(scratch / "slurm" / slurmRun["output"].get<std::string>()))
            << "the outputs of " << localRun["input"] << " differ";
    }
    std::string error = slurmReport["runs"][19]["error"];
    EXPECT_EQ(error.rfind("line 1: File \"", 0), 0u) << error;
    EXPECT_NE(error.find("clip99.mov\" does not seem to be a movie file."), std::string::npos) << error;

    // Resumed through Slurm: only the lost output and the failed input run again.
    std::string kept = readFile(scratch / "slurm/clip13-grey.mov");
    fs::remove(scratch / "slurm/clip13-grey.mov");
    Outcome resumed = movieBatch(scratch / "slurm", {"--slurm", "--resume", "--jobs", "1"});
    EXPECT_EQ(resumed.status, 1) << resumed.errors;
    json resumedReport = readJson(scratch / "slurm/grey-batch.json");
    EXPECT_EQ(resumedReport["counts"]["resumed"], 18);
    EXPECT_EQ(runFor(resumedReport, "../inputs/clip13.mov")->at("status"), "succeeded");
    EXPECT_TRUE(readFile(scratch / "slurm/clip13-grey.mov") == kept);
    EXPECT_EQ(runFor(resumedReport, "../inputs/clip99.mov")->at("status"), "failed");
}

TEST_F(SlurmBatchTest, ARefusedJobIsAClearError) {
    ScratchFolder scratch("slurm-refused");
    writeFile(scratch / "inputs/clip10.mov", "never opened: the job is refused first\n");
    writeFile(scratch / "grey.qv", movieScript());
    Outcome refused = movieBatch(scratch / "here", {"--slurm", "--partition", "nosuch"});
    EXPECT_EQ(refused.status, 69);
    EXPECT_NE(refused.errors.find("quarvel batch: sbatch refused the job array: "), std::string::npos)
        << refused.errors;
    EXPECT_NE(refused.errors.find("nosuch"), std::string::npos) << refused.errors;
}
}  // namespace
