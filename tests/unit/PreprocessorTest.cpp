#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "FrontEnd/QvPreprocessor.h"
#include "Session/QvParser.h"

namespace fs = std::filesystem;

namespace {
// Included files live in a fresh folder; the main text stands for a script in it.
class PreprocessorTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("qvpre_" + std::to_string(::getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    void write(const std::string& name, const std::string& content) {
        fs::create_directories((folder_ / name).parent_path());
        std::ofstream(folder_ / name, std::ios::binary) << content;
    }
    std::string expand(const std::string& text, const std::string& scriptName = "main.qv") {
        std::deque<QvFile> stack{QvFile((folder_ / scriptName).string())};
        std::set<std::string> included;
        return QvPreprocessor(stack, included).preprocess(text);
    }

    fs::path folder_;
};
}

TEST_F(PreprocessorTest, IncludedTextIsFramedByMarkers) {
    write("lib.qvi", "print 1;\nprint 2;\n");
    EXPECT_EQ(expand("a;\n#include 'lib.qvi'\nb;\n"), "a;\n/##+lib.qvi\nprint 1;\nprint 2;\n/##-\nb;\n");
    // Without a final line end the end marker follows the last character.
    write("short.qvi", "print 3;");
    EXPECT_EQ(expand("#include 'short.qvi'"), "/##+short.qvi\nprint 3;/##-");
    // Line ends of any kind are kept as they are.
    EXPECT_EQ(expand("x\r\n  #include 'short.qvi'\r\ny\r"), "x\r\n  /##+short.qvi\nprint 3;/##-\r\ny\r");
}

TEST_F(PreprocessorTest, EachFileIsInsertedOnce) {
    write("once.qvi", "once;\n");
    write("self.qvi", "#include 'self.qvi'\n");
    EXPECT_EQ(expand("#include 'once.qvi'\n#include 'once.qvi'\n#include 'self.qvi'\n"),
              "/##+once.qvi\nonce;\n/##-\n//#include 'once.qvi'\n/##+self.qvi\n//#include 'self.qvi'\n/##-\n");
    // The same file named two ways is still one file.
    EXPECT_EQ(expand("#include 'once.qvi'\n#include './once.qvi'\n"), "/##+once.qvi\nonce;\n/##-\n//#include './once.qvi'\n");
}

TEST_F(PreprocessorTest, MalformedDirectivesBecomeErrorMarkersOnTheirLine) {
    write("x.qvi", "x;\n");
    const char* malformed[] = {"#", "#define x", "# include 'x.qvi'", "#includex 'x.qvi'", "#include",
                               "#include x.qvi", "#include 'x.qvi' y", "#include 'x.qvi''", "#include 'x.qvi' 'y'",
                               "#include 'x.qvi"};
    for (const char* line : malformed) {
        SCOPED_TRACE(line);
        EXPECT_EQ(expand(std::string("a\n") + line + "\nb\n"), "a\n/##!Preprocessor Error\nb\n");
    }
    // A name cut by the line end keeps that line end, whatever its kind.
    EXPECT_EQ(expand("#include 'x\r\nb"), "/##!Preprocessor Error\r\nb");
}

TEST_F(PreprocessorTest, NamesAndTheirResolution) {
    write("it's.qvi", "quote;\n");
    write("sub/inner.qvi", "#include 'sibling.qvi'\n");
    write("sub/sibling.qvi", "sibling;\n");
    EXPECT_EQ(expand("#include 'it''s.qvi'\n"), "/##+it's.qvi\nquote;\n/##-\n");
    // Names resolve against the folder of the file that holds the directive.
    EXPECT_EQ(expand("#include 'sub/inner.qvi'\n"),
              "/##+sub/inner.qvi\n/##+sibling.qvi\nsibling;\n/##-\n/##-\n");
    EXPECT_EQ(expand("#include 'missing.qvi'\n#include 'missing.qvi'\n#include 'sub'\n"),
              "/##!Include Error: file 'missing.qvi'\n//#include 'missing.qvi'\n/##!Include Error: file 'sub'\n");
}

TEST_F(PreprocessorTest, NestingHasALimit) {
    for (int i = 0; i < 120; ++i) write("n" + std::to_string(i) + ".qvi", "#include 'n" + std::to_string(i + 1) + ".qvi'\n");
    std::string output = expand("#include 'n0.qvi'\n");
    EXPECT_EQ(std::count(output.begin(), output.end(), '+'), 100);
    EXPECT_NE(output.find("/##!Include Error: file 'n100.qvi' nested more than 100 files deep\n/##-"), std::string::npos);
}

TEST_F(PreprocessorTest, OnlyLineStartsHoldDirectives) {
    write("x.qvi", "x;\n");
    std::string text = "print 1; #include 'x.qvi'\n// #include 'x.qvi'\n\"#include 'x.qvi'\"\n";
    EXPECT_EQ(expand(text), text);
    // In a block comment the directive is still at a line start.
    EXPECT_EQ(expand("/*\n#include 'x.qvi'\n*/"), "/*\n/##+x.qvi\nx;\n/##-\n*/");
}

// Directives whose files do not exist keep every line in its place, so random text
// must come out with as many lines as it went in, and with every line that is no
// directive unchanged.
TEST_F(PreprocessorTest, RandomTextKeepsItsLines) {
    const char* pieces[] = {"#", "include", "'", "''", " ", "\t", "\n", "x", "nowhere.qvi", "\r\n", "/##", "\"", "@"};
    std::mt19937 random(3);
    for (int trial = 0; trial < 3000; ++trial) {
        std::string text;
        int count = static_cast<int>(random() % 30);
        for (int i = 0; i < count; ++i) text += pieces[random() % (sizeof pieces / sizeof *pieces)];
        std::string output = expand(text);
        ASSERT_EQ(std::count(output.begin(), output.end(), '\n'), std::count(text.begin(), text.end(), '\n'))
            << "text: " << text << "\noutput: " << output;
        if (text.find('#') == std::string::npos) {
            ASSERT_EQ(output, text);
        }
    }
}

TEST_F(PreprocessorTest, SessionsResolveAgainstTheirOwnScripts) {
    write("one/lib.qvi", "print 1;\n");
    write("two/lib.qvi", "print 2;\n");
    fs::path before = fs::current_path();
    auto run = [&](const std::string& folder, std::string& text) {
        for (int i = 0; i < 50; ++i) {
            QvFile script((folder_ / folder / "main.qv").string());
            QvParser session("#include 'lib.qvi'\n", -1, &script, true);
            text = session.text();
        }
    };
    std::string first, second;
    std::thread a(run, "one", std::ref(first));
    std::thread b(run, "two", std::ref(second));
    a.join();
    b.join();
    EXPECT_EQ(first, "/##+lib.qvi\nprint 1;\n/##-\n");
    EXPECT_EQ(second, "/##+lib.qvi\nprint 2;\n/##-\n");
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(PreprocessorTest, SessionPreprocessesOnlyWhenAsked) {
    write("lib.qvi", "print (1;\n");
    QvFile script((folder_ / "main.qv").string());
    QvParser plain("#include 'lib.qvi'\nprint 2;\n", -1, &script, false);
    EXPECT_EQ(plain.text(), "#include 'lib.qvi'\nprint 2;\n");
    QvParser expanded("#include 'lib.qvi'\nprint 2 2;\n", -1, &script, true);
    expanded.CheckSyntax();
    std::string errors;
    for (ParseError* error : expanded.getParseErrors()) {
        std::ostringstream out;
        error->writeTo(out);
        errors += out.str();
    }
    expanded.releaseParseErrors();
    EXPECT_EQ(errors,
              " at file 'lib.qvi', line 1\nincluded from line 1: (;)\nSyntax Error: Unmatched brackets.\n\n"
              " at line 2: (2)\nSyntax Error: Invalid print expression.\n\n");
}
