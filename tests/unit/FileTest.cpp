#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ErrorCapture.h"
#include "Files/QvFile.h"
#include "Files/QvTempFiles.h"

namespace fs = std::filesystem;

namespace {
// A fresh folder under the system's temporary folder, removed afterwards; the working
// directory is put back as well.
class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        folder_ = fs::temp_directory_path() / ("qvfile_" + std::to_string(::getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(folder_);
    }
    std::string touch(const std::string& name, const std::string& content = "x") {
        std::ofstream(folder_ / name) << content;
        return (folder_ / name).string();
    }

    fs::path previous_;
    fs::path folder_;
};
}

TEST_F(FileTest, RelativePathsResolveAgainstTheWorkingDirectoryOrAFolder) {
    fs::current_path(folder_);
    EXPECT_EQ(QvFile("a/../b.qv").path(), (folder_ / "b.qv").string());
    EXPECT_EQ(QvFile::currentDirectory().path(), folder_.string());
    QvFile folder("/x/y");
    EXPECT_EQ(folder.resolve("sub/../lib.qvi").path(), "/x/y/lib.qvi");
    EXPECT_EQ(folder.resolve("/abs/lib.qvi").path(), "/abs/lib.qvi");
    EXPECT_EQ(QvFile("/x/y/z.qv").directory(), "/x/y");
    EXPECT_EQ(QvFile("/x/y/z.qv").name(), "z.qv");
}

TEST_F(FileTest, FileSpecificationStatuses) {
    QvMediaFileLocation fileSpec;
    EXPECT_EQ(QvFile(touch("here.qv")).getFSSpec(&fileSpec), QV_FILE_OK);
    EXPECT_EQ(std::string(fileSpec.path), (folder_ / "here.qv").string());
    EXPECT_EQ(QvFile((folder_ / "gone.qv").string()).getFSSpec(&fileSpec), QV_FILE_NOT_FOUND);
    EXPECT_EQ(std::string(fileSpec.path), (folder_ / "gone.qv").string());
    EXPECT_EQ(raisedMessage([&] { QvFile().getFSSpec(&fileSpec); }),
              "Internal Error: Could not make file specification.");
    // A file used as a folder holds nothing.
    EXPECT_EQ(QvFile(touch("plain") + "/inner.qv").getFSSpec(&fileSpec), QV_FILE_NOT_FOUND);
    std::string tooLong = (folder_ / std::string(5000, 'a')).string();
    EXPECT_EQ(raisedMessage([&] { QvFile(tooLong).getFSSpec(&fileSpec); }), "Bad filename.\n");
}

TEST_F(FileTest, DeleteAndSize) {
    QvFile file(touch("data.bin", std::string(1234, 'z')));
    EXPECT_EQ(file.size(), 1234.0);
    EXPECT_EQ(file.deleteFile(), QV_FILE_OK);
    EXPECT_FALSE(fs::exists(file.path()));
    EXPECT_EQ(file.deleteFile(), QV_FILE_NOT_FOUND);
    EXPECT_EQ(raisedMessage([&] { file.size(); }), "File not found.\n");
}

TEST_F(FileTest, ListingFiltersBySuffixAndLeavesTheWorkingDirectory) {
    touch("b.qv");
    touch("a.qv");
    touch("a.qvi");
    touch("notes.txt");
    fs::path before = fs::current_path();
    EXPECT_EQ(QvFile(folder_.string()).listDirectory(".qv"), (std::vector<std::string>{"a.qv", "b.qv"}));
    EXPECT_EQ(QvFile(folder_.string()).listDirectory(""),
              (std::vector<std::string>{".", "..", "a.qv", "a.qvi", "b.qv", "notes.txt"}));
    EXPECT_EQ(QvFile(folder_.string()).listDirectory("."), (std::vector<std::string>{".", ".."}));
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_EQ(raisedMessage([&] { QvFile((folder_ / "none").string()).listDirectory(""); }), "File not found.\n");
}

TEST_F(FileTest, MakeCurrent) {
    EXPECT_TRUE(QvFile(folder_.string()).makeCurrent());
    EXPECT_EQ(fs::current_path(), folder_);
    EXPECT_FALSE(QvFile((folder_ / "none").string()).makeCurrent());
}

TEST(FileStatus, EachStatusRaisesItsText) {
    const std::pair<long, const char*> expected[] = {
        {-36, "I/O error."},
        {-35, "No such volume."},
        {-37, "Bad filename."},
        {-5025, "AppleTalk: Directory not found or incomplete pathname."},
        {-5000, "User does not have the correct access priveleges."},
        {-120, "Directory not found."},
        {-43, "File not found.\n"},
    };
    for (const auto& [status, text] : expected) EXPECT_EQ(raisedMessage([&] { QvCheckFileStatus(status); }), text);
    EXPECT_EQ(raisedMessage([] { QvCheckFileStatus(0); }), "<no error>");
    EXPECT_NE(raisedMessage([] { QvCheckFileStatus(-9999); }).find("at line 442 in file server/CppSrc/QvFile"),
              std::string::npos);
}

TEST(FileExports, CreateAndDeleteObjects) {
    QvFile* current = QvFileCreate();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->path(), fs::current_path().string());
    QvFileDelete(current);
    QvFile* named = QvFileCreateFromPath("/x/../y.qv");
    EXPECT_EQ(named->path(), "/y.qv");
    QvFileDelete(named);
}

TEST(TempFiles, NamesHaveNoLeadingZeros) {
    std::tm time{};
    time.tm_mon = 11;
    time.tm_mday = 6;
    time.tm_hour = 11;
    time.tm_min = 20;
    time.tm_sec = 3;
    EXPECT_EQ(QvTempFileName(time, 1), "QvTemp_DEC6_11203_1.mov");
    time.tm_mon = 0;
    time.tm_mday = 31;
    time.tm_hour = 0;
    time.tm_min = 0;
    time.tm_sec = 0;
    EXPECT_EQ(QvTempFileName(time, 42), "QvTemp_JAN31_000_42.mov");
}

TEST_F(FileTest, TemporaryFilesGoToTheChosenFolderAndStartAbsent) {
    int descriptor = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(descriptor, 0);
    EXPECT_EQ(QvSetTempFileLocation(-3, descriptor), -3);
    ::close(descriptor);
    EXPECT_EQ(QvTempFileFolder(), folder_.string());

    QvMediaFileLocation first;
    QvMediaFileLocation again;
    bool sameName = false;
    for (int attempt = 0; attempt < 3 && !sameName; ++attempt) {
        QvCreateTempFileSpec(7, &first);
        std::ofstream(first.path) << "old movie";
        QvCreateTempFileSpec(7, &again);
        sameName = std::string(first.path) == again.path;
    }
    ASSERT_TRUE(sameName);
    EXPECT_FALSE(fs::exists(again.path));
    EXPECT_EQ(fs::path(again.path).parent_path(), folder_);
    std::string name = fs::path(again.path).filename().string();
    EXPECT_EQ(name.rfind("QvTemp_", 0), 0u);
    EXPECT_EQ(name.substr(name.size() - 6), "_7.mov");

    QvSetTempFileLocation(0, -1);
    EXPECT_EQ(QvTempFileFolder(), fs::temp_directory_path().string());
}
