// Includes and files that could make the engine loop, block, abort or lose data:
// linked folders, devices, pipes, unreadable and oversized files, folders given as
// files, and saves that fail or race with a reader.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "ErrorCapture.h"
#include "ScriptRun.h"
#include "Files/QvAtomicFile.h"
#include "Files/QvRegularFile.h"
#include "FrontEnd/QvPreprocessor.h"
#include "Session/QvParser.h"
#include "Session/QvParserApi.h"
#include "Values/QvNumberValue.h"
#include "Values/QvValueFile.h"
#include "Values/QvVectorValue.h"

namespace fs = std::filesystem;

namespace {
class RobustFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("quarvel-robust-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string path(const std::string& name) const { return (folder / name).string(); }
    void write(const std::string& name, const std::string& content) const {
        std::ofstream(path(name), std::ios::binary) << content;
    }
    // A file that claims `bytes` without taking the disk space.
    void writeSparse(const std::string& name, uintmax_t bytes) const {
        write(name, "");
        fs::resize_file(path(name), bytes);
    }
    std::string expand(const std::string& text) const {
        std::deque<QvFile> stack{QvFile(path("main.qv"))};
        std::set<std::string> included;
        return QvPreprocessor(stack, included).preprocess(text);
    }
    // The console after running the script as the file main.qv of the folder.
    std::string run(const std::string& script) const {
        QvFile file(path("main.qv"));
        return runScript(script, &file);
    }
    size_t entries() const { return size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator())); }

    fs::path folder;
};
}  // namespace

TEST_F(RobustFiles, IncludesThroughLinkedFoldersInsertEachFileOnce) {
    fs::create_directory_symlink(".", folder / "s1");
    fs::create_directory_symlink(".", folder / "s2");
    write("a.qvi", "#include 's1/a.qvi'\n#include 's2/a.qvi'\n#include 's1/s2/s1/b.qvi'\n#include 'b.qvi'\n");
    write("b.qvi", "b;\n");
    EXPECT_EQ(expand("#include 'a.qvi'\n"),
              "/##+a.qvi\n//#include 's1/a.qvi'\n//#include 's2/a.qvi'\n/##+s1/s2/s1/b.qvi\nb;\n/##-\n"
              "//#include 'b.qvi'\n/##-\n");
}

TEST_F(RobustFiles, UnreadableIncludesBecomeIncludeErrorsWithoutBlocking) {
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    fs::create_directory(folder / "sub");
    for (const std::string& name : {std::string("/proc/self/mem"), std::string("/dev/zero"), path("pipe"),
                                    std::string("sub")})
        EXPECT_EQ(expand("#include '" + name + "'\n"), "/##!Include Error: file '" + name + "'\n");
    writeSparse("huge.qvi", QvRegularFile::kLargestScript + 1);
    EXPECT_EQ(expand("#include 'huge.qvi'\n"), "/##!Include Error: file 'huge.qvi' makes the script longer than 64 MB\n");
}

TEST_F(RobustFiles, IncludedFilesTogetherStayWithinTheScriptBudget) {
    writeSparse("half1.qvi", QvRegularFile::kLargestScript / 2);
    writeSparse("half2.qvi", QvRegularFile::kLargestScript / 2);
    write("more.qvi", "x;");
    std::string output = expand("#include 'half1.qvi'\n#include 'half2.qvi'\n#include 'more.qvi'\n");
    EXPECT_NE(output.find("/##!Include Error: file 'more.qvi' makes the script longer than 64 MB"), std::string::npos);
}

TEST_F(RobustFiles, SessionCreationReportsUnreadableIncludesInsteadOfThrowing) {
    QvFile script(path("main.qv"));
    const std::string text = "#include '/proc/self/mem'\nprint 1;\n";
    QvParser* session = QvParserCreate(text.c_str(), long(text.size()), &script);
    ASSERT_NE(session, nullptr);
    QvParserCheckSyntax(session);
    EXPECT_EQ(QvParserGetConsoleStream(session)->takeUnread(),
              "Include Error: file '/proc/self/mem', at line 1\nSyntax Check Complete : No Errors found.\n");
    QvParserReleaseConsoleStream(session);
    QvParserDelete(session);
}

TEST_F(RobustFiles, OnlyRegularFilesOfBoundedSizeLoadAsValues) {
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    for (const std::string& name : {std::string("/dev/zero"), path("pipe"), folder.string()})
        EXPECT_EQ(raisedMessage([&] { QvValueFile::load(name); }), "file \"" + name + "\" cannot be found.");
    writeSparse("huge", QvRegularFile::kLargestValueFile + 1);
    EXPECT_EQ(raisedMessage([&] { QvValueFile::load(path("huge")); }),
              "file \"" + path("huge") + "\" is too large to load.");
}

TEST_F(RobustFiles, DeleteFileRemovesFilesAndLinksButRefusesFolders) {
    fs::create_directory(folder / "emptydir");
    fs::create_directory_symlink("emptydir", folder / "dirlink");
    write("plain", "x");
    EXPECT_EQ(run("delete file \"plain\"; delete file \"dirlink\"; delete file \"missing\"; print \"ok\";"), "ok\n");
    EXPECT_FALSE(fs::exists(path("plain")));
    EXPECT_FALSE(fs::is_symlink(path("dirlink")));
    EXPECT_EQ(run("delete file \"emptydir\";"),
              "RunTime Error\nerror: File error(Cannot delete the folder \"" + path("emptydir") + "\".)");
    EXPECT_TRUE(fs::is_directory(path("emptydir")));
}

// A reader beside a writer sees the old content or the new, never a mixture or a
// shortened file.
TEST_F(RobustFiles, AReaderNeverSeesAPartialSave) {
    QvVectorValue ones(std::vector<double>(100000, 1.0));
    QvVectorValue twos(std::vector<double>(100000, 2.0));
    ones.SaveToFile(path("v"));
    std::atomic<bool> writing{true};
    std::thread writer([&] {
        for (int i = 0; i < 40; ++i) (i % 2 ? ones : twos).SaveToFile(path("v"));
        writing = false;
    });
    int reads = 0;
    while (writing) {
        QvValueRef loaded = QvValueFile::load(path("v"));
        const std::vector<double>& numbers = loaded->AsVector();
        ASSERT_EQ(numbers.size(), 100000u);
        ASSERT_EQ(std::count(numbers.begin(), numbers.end(), numbers.front()), 100000);
        ++reads;
    }
    writer.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(RobustFiles, SavesWriteThroughLinksAndKeepPermissions) {
    QvNumberValue(1).SaveToFile(path("target"));
    fs::permissions(path("target"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("target", folder / "link");
    QvNumberValue(2).SaveToFile(path("link"));
    EXPECT_TRUE(fs::is_symlink(path("link")));
    EXPECT_EQ(QvValueRef(QvValueFile::load(path("target")))->AsNumber(), 2);
    EXPECT_EQ(fs::status(path("target")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(raisedMessage([&] { QvNumberValue(3).SaveToFile(folder.string()); }),
              "File error(Cannot open file \"" + folder.string() + "\" for writing.)");
}

TEST_F(RobustFiles, AnAtomicFileLeftUncommittedLeavesNothing) {
    write("clip.mov", "earlier");
    {
        QvAtomicFile file(path("clip.mov"));
        EXPECT_EQ(fs::path(file.temporaryPath()).extension(), ".mov");
        EXPECT_EQ(fs::path(file.temporaryPath()).parent_path(), folder);
        file.stream() << "partial";
    }
    EXPECT_EQ(entries(), 1u);
    QvAtomicFile::write(path("clip.mov"), [](std::ostream& out) { out << "complete"; });
    std::ifstream in(path("clip.mov"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "complete");
    EXPECT_EQ(entries(), 1u);
}
