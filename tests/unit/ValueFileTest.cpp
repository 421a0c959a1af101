#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ErrorCapture.h"
#include "Values/QvBooleanValue.h"
#include "Values/QvNoValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"
#include "Values/QvValueFile.h"

namespace fs = std::filesystem;

namespace {
class ValueFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("quarvel-value-file-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string path(const char* name) const { return (folder / name).string(); }

    std::string bytesOf(const std::string& file) const {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    void writeBytes(const std::string& file, const std::string& bytes) const {
        std::ofstream(file, std::ios::binary) << bytes;
    }

    fs::path folder;
};

const std::string magic = "\xAA\xAA\xAA\xAA";

QvValue* openAsMovie(const std::string& path, const std::string&) {
    return path.size() > 11 && path.substr(path.size() - 11) == ".fake-movie" ? new QvTextValue("movie") : nullptr;
}
}  // namespace

TEST_F(ValueFile, NumberRoundTripsThroughALittleEndianFile) {
    QvNumberValue(-2.5).SaveToFile(path("n"));
    std::string bytes = bytesOf(path("n"));
    ASSERT_EQ(bytes.size(), 16u);
    EXPECT_EQ(bytes.substr(0, 8), magic + std::string("\0\0\0\0", 4));
    EXPECT_EQ(bytes.substr(8), std::string("\0\0\0\0\0\0\x04\xC0", 8));
    QvValueRef loaded = QvValueFile::load(path("n"));
    EXPECT_EQ(loaded->GetType(), QV_NUMBER);
    EXPECT_EQ(loaded->AsNumber(), -2.5);
}

TEST_F(ValueFile, BooleanRoundTrips) {
    QvBooleanValue(true).SaveToFile(path("b"));
    EXPECT_EQ(bytesOf(path("b")), magic + std::string("\x01\0\0\0\x01", 5));
    QvValueRef loaded = QvValueFile::load(path("b"));
    EXPECT_EQ(loaded->GetType(), QV_BOOLEAN);
    EXPECT_TRUE(loaded->AsBoolean());
    QvBooleanValue(false).SaveToFile(path("b"));
    EXPECT_FALSE(QvValueRef(QvValueFile::load(path("b")))->AsBoolean());
}

TEST_F(ValueFile, TextIsSavedBareAndLoadsBackAsText) {
    std::string content("two\nlines\0and a zero", 19);
    QvTextValue(content).SaveToFile(path("t.txt"));
    EXPECT_EQ(bytesOf(path("t.txt")), content);
    QvValueRef loaded = QvValueFile::load(path("t.txt"));
    EXPECT_EQ(loaded->GetType(), QV_TEXT);
    EXPECT_EQ(loaded->AsText(), content);
}

TEST_F(ValueFile, TextInsideAValueFileIsTheRestOfTheFile) {
    std::string longText(1000, 'q');
    writeBytes(path("t"), magic + std::string("\x08\0\0\0", 4) + longText);
    EXPECT_EQ(QvValueRef(QvValueFile::load(path("t")))->AsText(), longText);
}

TEST_F(ValueFile, ShortFilesWithoutTheMagicAreText) {
    writeBytes(path("short"), "\xAA\xAA");
    EXPECT_EQ(QvValueRef(QvValueFile::load(path("short")))->AsText(), "\xAA\xAA");
    writeBytes(path("empty"), "");
    EXPECT_EQ(QvValueRef(QvValueFile::load(path("empty")))->AsText(), "");
}

TEST_F(ValueFile, DamagedOrForeignFilesGiveClearErrors) {
    writeBytes(path("unknown"), magic + std::string("\x03\0\0\0", 4));
    EXPECT_EQ(raisedMessage([&] { QvValueFile::load(path("unknown")); }),
              "file \"" + path("unknown") + "\" is of an unknown type.");
    writeBytes(path("huge-code"), magic + "\xFF\xFF\xFF\x7F");
    EXPECT_EQ(raisedMessage([&] { QvValueFile::load(path("huge-code")); }),
              "file \"" + path("huge-code") + "\" is of an unknown type.");
    writeBytes(path("no-code"), magic + "\x00");
    EXPECT_EQ(raisedMessage([&] { QvValueFile::load(path("no-code")); }), "File error(Reading Value Data Failed.)");
    writeBytes(path("cut-number"), magic + std::string("\0\0\0\0\x01\x02", 6));
    EXPECT_EQ(raisedMessage([&] { QvValueFile::load(path("cut-number")); }), "File error(Reading Value Data Failed.)");
    EXPECT_EQ(raisedMessage([&] { QvValueFile::load(path("missing")); }),
              "file \"" + path("missing") + "\" cannot be found.");
    EXPECT_EQ(raisedMessage([&] { QvValueFile::load(folder.string()); }),
              "file \"" + folder.string() + "\" cannot be found.");
}

// The write fails after the header; the file keeps what it held, and nothing partial
// is left beside it.
TEST_F(ValueFile, AFailedSaveKeepsTheEarlierFile) {
    EXPECT_EQ(raisedMessage([&] { QvNoValue().SaveToFile(path("u")); }),
              "File error(Cannot write undefined type to file)");
    EXPECT_FALSE(fs::exists(path("u")));
    QvNumberValue(7).SaveToFile(path("u"));
    EXPECT_EQ(raisedMessage([&] { QvNoValue().SaveToFile(path("u")); }),
              "File error(Cannot write undefined type to file)");
    EXPECT_EQ(QvValueRef(QvValueFile::load(path("u")))->AsNumber(), 7);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(ValueFile, AnUnwritablePathIsAnErrorNotASilentSkip) {
    std::string unwritable = path("no-such-folder/n");
    EXPECT_EQ(raisedMessage([&] { QvNumberValue(1).SaveToFile(unwritable); }),
              "File error(Cannot open file \"" + unwritable + "\" for writing.)");
    EXPECT_EQ(raisedMessage([&] { QvTextValue("x").SaveToFile(unwritable); }),
              "File error(Cannot open file \"" + unwritable + "\" for writing.)");
}

TEST_F(ValueFile, RegisteredOpenersComeFirst) {
    QvValueFile::addOpener(&openAsMovie);
    writeBytes(path("clip.fake-movie"), magic + std::string("\0\0\0\0", 4));
    EXPECT_EQ(QvValueRef(QvValueFile::load(path("clip.fake-movie")))->AsText(), "movie");
    QvNumberValue(3).SaveToFile(path("plain"));
    EXPECT_EQ(QvValueRef(QvValueFile::load(path("plain")))->AsNumber(), 3);
}
