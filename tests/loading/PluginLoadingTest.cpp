// Every result of loading a module, with modules the build makes for the purpose.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Plugins/QvPluginLoader.h"
#include "QvHostClient.h"
#include "Plugins/QvPluginRegistry.h"
#include "Values/QvTextValue.h"

namespace {
class PluginLoading : public ::testing::Test {
protected:
    void TearDown() override { QvDeletePluginRegistry(); }

    long load(const char* fileName) {
        long error = -12345;
        QvRegisterPluginFile(&status, &error, QV_TEST_MODULE_DIR, fileName);
        return error;
    }

    QvTextValue status;
};

TEST_F(PluginLoading, AModuleRegistersItsFunctions) {
    EXPECT_EQ(load("Registers.qvp"), 0);
    EXPECT_EQ(status.text(), "Registers.qvp");
    EXPECT_TRUE(QvPluginRegistry::THE_PluginRegistry().hasFunction("Probe", "Answer"));
}

TEST_F(PluginLoading, ATextFileIsNotLoadable) {
    EXPECT_EQ(load("NotALibrary.qvp"), 47);
    EXPECT_EQ(status.text(), "NotALibrary.qvp: PlugIn could not be loaded.");
    EXPECT_EQ(load("Absent.qvp"), 47);
}

TEST_F(PluginLoading, ALibraryWithoutTheEntryPointIsRefused) {
    EXPECT_EQ(load("NoEntryPoint.qvp"), 48);
    EXPECT_EQ(status.text(), "PlugIn does not export the function PluginRegisterVersion001()");
}

TEST_F(PluginLoading, AThrownSixteenBitCodeBecomesTheResult) {
    EXPECT_EQ(load("ThrowsCode.qvp"), 7);
    EXPECT_EQ(status.text(), "ThrowsCode.qvp");
}

TEST_F(PluginLoading, ARefusedCommitKeepsWhatWasCommittedBefore) {
    EXPECT_EQ(load("NullNamespace.qvp"), 99);
    EXPECT_EQ(status.text(), "NullNamespace.qvp");
    QvPluginRegistry::Texts names;
    EXPECT_EQ(QvPluginRegistry::THE_PluginRegistry().GetFunctionNames(names), QvPluginRegistry::Texts{"Probe.Before"});
}

TEST_F(PluginLoading, ARelativePathIsTakenFromTheCurrentDirectory) {
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(QV_TEST_MODULE_DIR);
    long error = -1;
    QvRegisterPlugin(&status, &error, "Registers.qvp");
    std::filesystem::current_path(before);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(status.text(), "Registers.qvp");
}

// A host scans a directory: every *.qvp is tried, failures do not stop the scan, and the
// process's current directory stays where it was.
TEST_F(PluginLoading, AHostLoadsEveryModuleOfADirectory) {
    std::filesystem::path before = std::filesystem::current_path();
    QvHostClient::loadPluginDirectory(QV_TEST_MODULE_DIR, "*.qvp");
    EXPECT_EQ(std::filesystem::current_path(), before);
    QvPluginRegistry::Texts names;
    EXPECT_EQ(QvPluginRegistry::THE_PluginRegistry().GetFunctionNames(names),
              (QvPluginRegistry::Texts{"Probe.Answer", "Probe.Before"}));
}

TEST_F(PluginLoading, AnEmptyDirectoryRegistersNothing) {
    std::filesystem::path empty = std::filesystem::temp_directory_path() / "quarvel-no-modules";
    std::filesystem::create_directories(empty);
    QvHostClient::loadPluginDirectory(empty.string(), "*.qvp");
    EXPECT_TRUE(QvPluginRegistry::THE_PluginRegistry().namespaces().empty());
}

// Hosts look in their own folder, then in the engine's plug-in folder, then in each
// folder of QUARVEL_PLUGIN_PATH, then in the folders they were given; each folder once.
TEST_F(PluginLoading, HostsLoadFromTheirFolderTheEnginesThenThePluginPathThenTheGivenFolders) {
    std::string program = QvHostClient::executableDirectory();
    std::string engine = QvHostClient::enginePluginDirectory();
    std::string modules = QV_TEST_MODULE_DIR;
    std::string other = std::filesystem::temp_directory_path().string();
    setenv("QUARVEL_PLUGIN_PATH", (modules + "::" + other + ":" + program + ":" + engine).c_str(), 1);
    EXPECT_EQ(QvHostClient::pluginFolders({"/no/such/folder", modules + "/."}),
              (std::vector<std::string>{program, engine, modules, other, "/no/such/folder"}));
    unsetenv("QUARVEL_PLUGIN_PATH");
    EXPECT_EQ(QvHostClient::pluginFolders(), (std::vector<std::string>{program, engine}));
}

// The engine library this test links lies in the build's program folder.
TEST_F(PluginLoading, TheEnginesPluginFolderLiesBesideTheEngineLibrary) {
    std::filesystem::path expected =
        std::filesystem::canonical(QvHostClient::executableDirectory()) / "quarvel" / "plugins";
    EXPECT_EQ(QvHostClient::enginePluginDirectory(), expected.string());
}

TEST_F(PluginLoading, TheModulesOfThePluginPathAreLoaded) {
    setenv("QUARVEL_PLUGIN_PATH", QV_TEST_MODULE_DIR, 1);
    QvHostClient::loadPlugins();
    unsetenv("QUARVEL_PLUGIN_PATH");
    QvPluginRegistry::Texts names;
    EXPECT_EQ(QvPluginRegistry::THE_PluginRegistry().GetFunctionNames(names),
              (QvPluginRegistry::Texts{"Probe.Answer", "Probe.Before"}));
}
}
