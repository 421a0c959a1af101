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

// The batch of the tests from `folder`: the pictures of ../inputs, outputs beside it.
Outcome greyBatch(const fs::path& folder, std::vector<std::string> more = {}) {
    fs::create_directories(folder);
    std::vector<std::string> arguments{"batch", "../grey.qv", "--inputs", "../inputs/*.png", "--output",
                                       "{stem}-grey.png", "--timeout", "120"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return quarvel(folder, arguments);
}

TEST_F(SlurmBatchTest, AJobArrayGivesTheResultsOfALocalBatch) {
    ScratchFolder scratch("slurm-batch");
    makePictures(scratch / "inputs", 19);
    writeFile(scratch / "inputs/pic99.png", "not a picture\n");
    writeFile(scratch / "grey.qv", greyScript());

    Outcome local = greyBatch(scratch / "local", {"--jobs", "2"});
    Outcome slurm = greyBatch(scratch / "slurm", {"--slurm"});
    EXPECT_EQ(local.status, 1) << local.errors;
    EXPECT_EQ(slurm.status, 1) << slurm.errors;

    json localReport = readJson(scratch / "local/grey-batch.json");
    json slurmReport = readJson(scratch / "slurm/grey-batch.json");
    EXPECT_EQ(slurmReport["runner"], "slurm");
    EXPECT_FALSE(slurmReport["slurm_job"].get<std::string>().empty());
    EXPECT_EQ(slurmReport["counts"], localReport["counts"]);
    ASSERT_EQ(slurmReport["runs"].size(), 20u);
    ASSERT_EQ(localReport["runs"].size(), 20u);
    for (size_t i = 0; i < 20; ++i) {
        json localRun = localReport["runs"][i], slurmRun = slurmReport["runs"][i];
        for (const char* key : {"input", "output", "log", "status", "exit_status", "signal", "error"})
            EXPECT_EQ(slurmRun[key], localRun[key]) << key << " of " << localRun["input"];
        EXPECT_EQ(readFile(scratch / "slurm" / slurmRun["log"].get<std::string>()),
                  readFile(scratch / "local" / localRun["log"].get<std::string>()));
        if (localRun["status"] == "succeeded") {
            EXPECT_EQ(readFile(scratch / "slurm" / slurmRun["output"].get<std::string>()),
                      readFile(scratch / "local" / localRun["output"].get<std::string>()));
        }
    }
    EXPECT_EQ(slurmReport["runs"][19]["error"], "line 2: Coercion from (text) to (frame_mono) is not possible.");

    // Resumed through Slurm: only the lost output and the failed input run again.
    fs::remove(scratch / "slurm/pic13-grey.png");
    Outcome resumed = greyBatch(scratch / "slurm", {"--slurm", "--resume", "--jobs", "1"});
    EXPECT_EQ(resumed.status, 1) << resumed.errors;
    json resumedReport = readJson(scratch / "slurm/grey-batch.json");
    EXPECT_EQ(resumedReport["counts"]["resumed"], 18);
    EXPECT_EQ(runFor(resumedReport, "../inputs/pic13.png")->at("status"), "succeeded");
    EXPECT_TRUE(fs::exists(scratch / "slurm/pic13-grey.png"));
    EXPECT_EQ(runFor(resumedReport, "../inputs/pic99.png")->at("status"), "failed");
}

TEST_F(SlurmBatchTest, ARefusedJobIsAClearError) {
    ScratchFolder scratch("slurm-refused");
    makePictures(scratch / "inputs", 1);
    writeFile(scratch / "grey.qv", greyScript());
    Outcome refused = greyBatch(scratch / "here", {"--slurm", "--partition", "nosuch"});
    EXPECT_EQ(refused.status, 69);
    EXPECT_NE(refused.errors.find("quarvel batch: sbatch refused the job array: "), std::string::npos)
        << refused.errors;
    EXPECT_NE(refused.errors.find("nosuch"), std::string::npos) << refused.errors;
}
}  // namespace
