// The built-in library as scripts meet it: every failure message, what the functions
// may and may not touch on disk, window positions and the failure bell.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "FrontEnd/QvTokens.h"
// The token numbers come before the parser library headers that AST.h pulls in.
#include "FrontEnd/AST.h"
#include "HostServices/QvHostServices.h"
#include "Plugins/QvParameterBlock.h"
#include "Plugins/QvPluginInterface.h"
#include "Plugins/QvPluginRegistry.h"
#include "ScriptRun.h"
#include "Session/QvParser.h"
#include "Values/QvVectorValue.h"
#include "Windows/QvWindow.h"

namespace fs = std::filesystem;

namespace {
// Probe.Position(id): {x, y} of the calling session's window of that title.
QvValue* WindowPosition(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    std::string id = QvParameterBlockGetTextValue(parameters, "id");
    QvParser* session = parameters->session();
    QvValue* position = nullptr;
    for (QvWindow* window : session->getWindowList())
        if (window->getTitle() == id)
            position = new QvVectorValue({double(window->getXPosition()), double(window->getYPosition())});
    session->releaseWindowList();
    return position;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }

class LibraryScript : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        QvPluginRegistryInitInternal();
        QvPluginSignature* signature = QvPluginSignatureCreate(1, QV_VECTOR, WindowPosition);
        QvPluginSignatureSetParam(signature, QV_TEXT, "id", QvParameterRequired, QvArgumentNotConsumed);
        QvPluginSignatureCommit(signature, "Probe", "Position", "");
    }
    static void TearDownTestSuite() { QvDeletePluginRegistry(); }

    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("qvlibrary_" + std::to_string(::getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_ / "folder");
        writeFile(folder_ / "plain.txt", "plain\n");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(folder_, fs::perms::all, ignored);
        for (auto& entry : fs::recursive_directory_iterator(folder_, ignored))
            fs::permissions(entry.path(), fs::perms::owner_all, ignored);
        fs::remove_all(folder_);
    }

    // Runs the script as if it were the file `scriptName` in the test's folder.
    std::string run(const std::string& script, const std::string& scriptName = "script.qv") {
        QvFile file((folder_ / scriptName).string());
        return runScript(script, &file);
    }

    // run() in a child process that has given up root's rights (when it had them), so
    // that permissions hold; empty when the rights cannot be given up.
    std::string runUnprivileged(const std::string& script, const std::string& scriptName = "script.qv") {
        fs::permissions(folder_, fs::perms::all);
        int channel[2];
        if (pipe(channel) != 0) return "";
        pid_t child = fork();
        if (child == 0) {
            close(channel[0]);
            constexpr uid_t kNobody = 65534;
            if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(1);
            std::string output = run(script, scriptName);
            ssize_t written = write(channel[1], output.data(), output.size());
            _exit(written == ssize_t(output.size()) ? 0 : 1);
        }
        close(channel[1]);
        std::string output;
        char buffer[512];
        for (ssize_t count; (count = read(channel[0], buffer, sizeof buffer)) > 0;) output.append(buffer, size_t(count));
        close(channel[0]);
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? output : "";
    }

    static std::string failed(const std::string& message) {
        return "RunTime Error\nerror: Plugin failed with error (#-1):\n\t" + message;
    }

    fs::path folder_;
};
}

TEST_F(LibraryScript, EveryFailureHasItsMessage) {
    ASSERT_EQ(mkfifo((folder_ / "pipe").c_str(), 0600), 0);
    fs::create_directories(folder_ / "blocked" / "logfile.txt");
    const std::pair<const char*, std::string> cases[] = {
        {"Math.Difference({1}, {1, 2});", failed("Vectors are different sizes.")},
        {"Math.Random(2, 1);", failed("max must be greater than min")},
        {"Math.Minimum(1, {1});",
         "RunTime Error\nerror: Function \"Math.Minimum\" was called with incorrect arguments."},
        {"Function.GetFunctions(\"Nope\");", "RunTime Error\nerror: NameSpace doesn't exist"},
        {"Function.GetFunctionSignatures(\"Math\");", "RunTime Error\nerror: NameSpace doesn't exist"},
        {"Function.GetFunctionSignatures(\"Math\", \"Nope\");", "RunTime Error\nerror: Function doesn't exist"},
        {"File.DirectoryList(\"missing\");", failed("Could not list directory.")},
        {"File.DirectoryList(\"plain.txt\");", failed("Could not list directory.")},
        {"File.Size(\"missing.txt\");", failed("Could not open file.")},
        {"File.Size(\"folder\");", failed("Could not open file.")},
        {"File.Size(\"\");", failed("Could not open file.")},
        {"File.Size(\"pipe\");", failed("Could not open file.")},
        {"File.CreateDirectory(\"made\");", failed("File.CreateDirectory() not implemented on x86.")},
        {"File.Copy(\"missing.txt\", \"copy.txt\");", failed("Could not copy file.")},
        {"File.Copy(\"pipe\", \"copy.txt\");", failed("Could not copy file.")},
        {"File.Copy(\"plain.txt\", \"folder\");", failed("Could not copy file.")},
        {"File.Delete(\"folder\");", failed("Could not delete file.")},
        {"File.Delete(\"\");", failed("Could not delete file.")},
        {"Find.Correlate({1}, {1, 2});", failed("The match does not fit in the source vector.")},
        {"Find.Correlate({}, 1);", failed("The match does not fit in the source vector.")},
        {"Find.Correlate({}, {});", failed("The match does not fit in the source vector.")},
        {"Client.SetWindowPosition(\"nowhere\", 1, 2);", "RunTime Error\nerror: Invalid identifier (nowhere)"},
    };
    for (const auto& [script, expected] : cases) EXPECT_EQ(run(script), expected) << script;
    EXPECT_EQ(run("TestHarness.Clear();", "blocked/script.qv"), failed("Could not write the test harness log file."));
    EXPECT_EQ(run("TestHarness.Begin(\"t\");", "blocked/script.qv"),
              failed("Could not write the test harness log file."));
    EXPECT_FALSE(fs::exists(folder_ / "copy.txt"));
    EXPECT_TRUE(fs::is_directory(folder_ / "folder"));
}

TEST_F(LibraryScript, EveryPictureFailureHasItsMessage) {
    const std::string picture = "set g to {{0, 0.5}, {1, 0.25}, {0.5, 1}};";
    auto incorrect = [](const std::string& function) {
        return "RunTime Error\nerror: Function \"" + function + "\" was called with incorrect arguments.";
    };
    const std::string colorBound =
        "RunTime Error\nerror: Coercion from (vector) to (color) Vector must have 1 or 3 elements.";
    const std::pair<const char*, std::string> cases[] = {
        {"Frame.Interlace(g, g as frame_mono);", failed("Parameters must be the same type for interlacing.)")},
        {"Frame.Interlace(Frame.DeInterlaceEven(g), Frame.DeInterlaceOdd(g));", failed("Frames must be same size.")},
        {"Frame.Interlace(g, g[{0, 0}, {1, 3}]);", failed("Frames must be same size.")},
        {"Frame.SetAlpha(g as image, g[{0, 0}, {2, 2}]);", failed("Frames must be same size.")},
        {"Frame.GetAlpha(g);", incorrect("Frame.GetAlpha")},
        {"Frame.SetAlpha(g, g);", incorrect("Frame.SetAlpha")},
        {"Math.Difference(g, g as image);", failed("Both parameters must have the same type.")},
        {"Math.Difference(g, g, -1);", failed("Difference threshold must be non-negative.")},
        {"Math.Difference(g, g, log(-1));", failed("Difference threshold must be non-negative.")},
        {"Math.Difference(g, {1});", incorrect("Math.Difference")},
        {"Math.Minimum(g, g as frame);", failed("Both parameters must have the same type.")},
        {"Math.Maximum(g as frame, g);", failed("Both parameters must have the same type.")},
        {"Math.Minimum(1, g);", incorrect("Math.Minimum")},
        {"Math.Maximum(g, 1);", incorrect("Math.Maximum")},
        {"Math.Minimum(g, {1});", "RunTime Error\nerror: Illegal vector index in plugin"},
        {"Math.Maximum(g, {});", "RunTime Error\nerror: Illegal vector index in plugin"},
        {"Math.Sum(\"g\");", incorrect("Math.Sum")},
        {"Filter.Replace(g, 0, 1, {1, 2});", colorBound},
        {"Filter.Replace(g, {}, 1, 0);", colorBound},
        {"Filter.Normalize(g, {1, 2, 3, 4});", colorBound},
        {"Filter.Normalize(g, 0, 1, 2);", incorrect("Filter.Normalize")},
        {"set n to 1; Filter.Normalize(&n);", incorrect("Filter.Normalize")},
    };
    for (const auto& [script, expected] : cases) EXPECT_EQ(run(picture + script), expected) << script;
}

TEST_F(LibraryScript, RelativePathsResolveAgainstTheScriptsFolder) {
    fs::path before = fs::current_path();
    EXPECT_EQ(run("print File.Size(\"plain.txt\"); File.Copy(\"plain.txt\", \"folder/copy.txt\");"
                  "print File.DirectoryList(\"folder\");"),
              "6\n.\n..\ncopy.txt\n");
    EXPECT_EQ(readFile(folder_ / "folder" / "copy.txt"), "plain\n");
    EXPECT_EQ(fs::current_path(), before);
}

// Several chunks, and the copy takes the source's permissions.
TEST_F(LibraryScript, ACopyHasEveryByteAndTheSourcesPermissions) {
    std::string large(3 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < large.size(); ++i) large[i] = char(i * 7 + i / 4096);
    writeFile(folder_ / "large.bin", large);
    fs::permissions(folder_ / "large.bin", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read);
    EXPECT_EQ(run("File.Copy(\"large.bin\", \"copy.bin\");"), "");
    EXPECT_EQ(readFile(folder_ / "copy.bin"), large);
    EXPECT_EQ(fs::status(folder_ / "copy.bin").permissions(), fs::status(folder_ / "large.bin").permissions());
    std::vector<std::string> leftovers;
    for (const auto& entry : fs::directory_iterator(folder_))
        if (entry.path().filename().string().rfind(".qvcopy", 0) == 0) leftovers.push_back(entry.path().string());
    EXPECT_TRUE(leftovers.empty());
}

// Without the rights to read or write, every function fails with its message and
// leaves the files as they were.
TEST_F(LibraryScript, UnreadableAndUnwritablePlacesAreLeftAlone) {
    fs::create_directories(folder_ / "locked");
    writeFile(folder_ / "locked" / "inside.txt", "inside\n");
    fs::create_directories(folder_ / "readonly");
    writeFile(folder_ / "readonly" / "keep.txt", "keep\n");
    writeFile(folder_ / "secret.txt", "secret\n");
    fs::permissions(folder_ / "plain.txt", fs::perms::all);
    fs::permissions(folder_ / "locked", fs::perms::none);
    fs::permissions(folder_ / "secret.txt", fs::perms::none);
    fs::permissions(folder_ / "readonly", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                              fs::perms::others_exec | fs::perms::group_read | fs::perms::group_exec);
    fs::permissions(folder_ / "readonly" / "keep.txt", fs::perms::all);

    const std::pair<const char*, std::string> cases[] = {
        {"File.DirectoryList(\"locked\");", failed("Could not list directory.")},
        {"File.Size(\"secret.txt\");", failed("Could not open file.")},
        {"File.Copy(\"secret.txt\", \"copy.txt\");", failed("Could not copy file.")},
        {"File.Copy(\"plain.txt\", \"readonly/copy.txt\");", failed("Could not copy file.")},
        {"File.Copy(\"plain.txt\", \"readonly/keep.txt\");", failed("Could not copy file.")},
        {"File.Delete(\"readonly/keep.txt\");", failed("Could not delete file.")},
    };
    for (const auto& [script, expected] : cases) {
        std::string output = runUnprivileged(script);
        if (output.empty()) GTEST_SKIP() << "cannot give up root's rights here";
        EXPECT_EQ(output, expected) << script;
    }
    EXPECT_EQ(runUnprivileged("TestHarness.Clear();", "readonly/script.qv"),
              failed("Could not write the test harness log file."));
    EXPECT_FALSE(fs::exists(folder_ / "copy.txt"));
    EXPECT_EQ(readFile(folder_ / "readonly" / "keep.txt"), "keep\n");
    std::vector<fs::path> inReadonly;
    for (const auto& entry : fs::directory_iterator(folder_ / "readonly")) inReadonly.push_back(entry.path());
    EXPECT_EQ(inReadonly, std::vector<fs::path>{folder_ / "readonly" / "keep.txt"});
}

TEST_F(LibraryScript, WindowPositionsAreSixteenBitAndNotANumberLeavesThePlaceToTheHost) {
    EXPECT_EQ(run("set window \"w\" to 1; print Probe.Position(\"w\");"
                  "Client.SetWindowPosition(\"w\", 10.9, -20.9); print Probe.Position(\"w\");"
                  "Client.SetWindowPosition(\"w\", 1e9, -1e9); print Probe.Position(\"w\");"
                  "Client.SetWindowPosition(\"w\", sqrt(-1), 5); print Probe.Position(\"w\");"),
              "-1\t-1\n10\t-20\n32767\t-32768\n-1\t5\n");
}

// A window whose name falls into the same hash bucket is a different window.
TEST_F(LibraryScript, AWindowIsFoundByItsNameNotItsBucket) {
    unsigned bucket = AST::hashOf("w");
    std::string sharer;
    for (char a = 'a'; a <= 'z' && sharer.empty(); ++a)
        for (char b = 'a'; b <= 'z' && sharer.empty(); ++b)
            if (AST::hashOf(std::string{a, b}.c_str()) == bucket) sharer = std::string{a, b};
    ASSERT_FALSE(sharer.empty());
    EXPECT_EQ(run("set window \"w\" to 1; set window \"" + sharer + "\" to 2;" + "Client.SetWindowPosition(\"" +
                  sharer + "\", 3, 4); print Probe.Position(\"w\"); print Probe.Position(\"" + sharer + "\");"),
              "-1\t-1\n3\t4\n");
}

TEST_F(LibraryScript, AFailedTestRingsTheHostsBell) {
    struct Bell : QvInProcessHostServices {
        void beep() override { ++rings; }
        int rings = 0;
    } bell;
    QvInstallHostServices(&bell);
    run("TestHarness.Begin(\"a\"); TestHarness.End(); TestHarness.Begin(\"b\"); TestHarness.Require(false);"
        "TestHarness.End(); TestHarness.Begin(\"c\"); TestHarness.End(false);");
    QvInstallHostServices(nullptr);
    EXPECT_EQ(bell.rings, 2);
    EXPECT_TRUE(fs::exists(folder_ / "logfile.txt"));
}
