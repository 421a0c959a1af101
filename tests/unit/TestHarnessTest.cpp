// The test log's exact bytes, with a clock the test moves.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "Library/QvTestHarness.h"

namespace fs = std::filesystem;

namespace {
class TestHarnessLog : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("qvharness_" + std::to_string(::getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
        log_ = (folder_ / "logfile.txt").string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string log() const {
        std::ifstream in(log_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    int64_t now_ = 5000;
    QvTestHarness harness_{[this] { return now_; }};
    fs::path folder_;
    std::string log_;
};
}

TEST_F(TestHarnessLog, EachTestIsALineWithItsSecondsAndOutcome) {
    bool passed = true;
    ASSERT_TRUE(harness_.clear(log_));
    EXPECT_EQ(log(), "Quarvel Test Harness");

    ASSERT_TRUE(harness_.begin(log_, "requirements"));
    now_ += 1234;
    harness_.require(false);
    harness_.require(true);
    ASSERT_TRUE(harness_.end(log_, std::nullopt, passed));
    EXPECT_FALSE(passed);

    ASSERT_TRUE(harness_.begin(log_, "told to succeed"));
    harness_.require(false);
    now_ += 50;
    ASSERT_TRUE(harness_.end(log_, true, passed));
    EXPECT_TRUE(passed);

    ASSERT_TRUE(harness_.begin(log_, "long"));
    now_ += 1234567890;
    ASSERT_TRUE(harness_.end(log_, std::nullopt, passed));
    EXPECT_TRUE(passed);

    ASSERT_TRUE(harness_.begin(log_, "quick"));
    ASSERT_TRUE(harness_.end(log_, false, passed));
    EXPECT_EQ(log(),
              "Quarvel Test Harness\n"
              "requirements ...  [ 1.234 ]  FAILED!!!\n"
              "told to succeed ...  [ 0.05 ]  succeeded\n"
              "long ...  [ 1.23457e+006 ]  succeeded\n"
              "quick ...  [ 0 ]  FAILED!!!");

    ASSERT_TRUE(harness_.clear(log_));
    EXPECT_EQ(log(), "Quarvel Test Harness");
}

TEST_F(TestHarnessLog, BeginWithoutClearStartsTheLog) {
    bool passed = false;
    ASSERT_TRUE(harness_.begin(log_, "alone"));
    ASSERT_TRUE(harness_.end(log_, std::nullopt, passed));
    EXPECT_EQ(log(), "\nalone ...  [ 0 ]  succeeded");
}

TEST_F(TestHarnessLog, ALogThatCannotBeWrittenIsReported) {
    std::string folder = folder_.string();
    bool passed = false;
    EXPECT_FALSE(harness_.clear(folder));
    EXPECT_FALSE(harness_.begin(folder, "t"));
    EXPECT_FALSE(harness_.end(folder, true, passed));
    EXPECT_TRUE(fs::is_directory(folder_));
}
