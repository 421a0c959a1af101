#include <gtest/gtest.h>

#include <list>
#include <sstream>
#include <string>
#include <vector>

#include "FrontEnd/AST.h"
#include "FrontEnd/QvLexer.h"
#include "FrontEnd/QvTokenNames.h"
#include "FrontEnd/QvTokens.h"
#include "Session/QvParser.h"
#include "Session/QvSourceMap.h"

namespace {
std::vector<QvSyntaxBlock> blocksOf(const char* text) {
    QvParser session(text, 0, nullptr, true);
    session.LexicalPassOnly();
    std::vector<QvSyntaxBlock> copy = session.getSyntaxBlockList();
    session.releaseSyntaxBlockList();
    return copy;
}

std::string describe(const std::vector<QvSyntaxBlock>& blocks) {
    std::ostringstream out;
    for (const QvSyntaxBlock& b : blocks) out << b.begin << "-" << b.end << ":" << b.kind << " ";
    return out.str();
}
}

TEST(TokenTable, NumbersAndNamesAreFixed) {
    EXPECT_EQ(QV_TOK_EOF, 1);
    EXPECT_EQ(QV_TOK_PARAM_ASSIGN, 40);
    EXPECT_EQ(QV_TOK_PLUGIN_FN, 87);
    EXPECT_EQ(QV_TOK_DATETIME, 145);
    EXPECT_EQ(QV_TOK_IDENT, 184);
    EXPECT_EQ(QV_TOK_REFER, 193);
    EXPECT_STREQ(qvTokenName(QV_TOK_SEMI), "QV_TOK_SEMI");
    EXPECT_STREQ(qvTokenName(32), "[applescript]");
    EXPECT_STREQ(qvTokenName(35), "[/##]");
    EXPECT_STREQ(qvTokenName(194), "<unknown token>");
}

TEST(Tokens, SerialNumbersGrowAndSurviveCopies) {
    QvToken first(QV_TOK_IDENT, "x", 3);
    QvToken second(QV_TOK_IDENT, "y", 3);
    EXPECT_GT(second.serial(), first.serial());
    QvToken copy(second);
    EXPECT_EQ(copy.serial(), second.serial());
    EXPECT_EQ(copy.text(), "y");
    EXPECT_EQ(copy.getLine(), 3);
}

TEST(SyntaxTree, NodeHashIsPjwModuloBucketCount) {
    EXPECT_EQ(AST::hashOf(""), 0u);
    EXPECT_EQ(AST::hashOf("x"), static_cast<unsigned>('x') % 211);
    EXPECT_EQ(AST::hashOf("ab"), ((('a' << 4) + 'b') % 211u));
    // Long names fold the high nibble back in.
    unsigned h = 0;
    for (char c : std::string("averyveryverylongidentifiername")) {
        h = (h << 4) + static_cast<unsigned char>(c);
        unsigned g = h & 0xF0000000u;
        if (g) h = h ^ (g >> 24) ^ g;
    }
    EXPECT_EQ(AST::hashOf("averyveryverylongidentifiername"), h % 211);
}

TEST(Colouring, TokensGetTheirKindsAndWholeTextPositions) {
    EXPECT_EQ(describe(blocksOf("print x;")), "1-5:6 6-6:3 7-7:8 8-8:9 ");
    // Positions run on across lines; a string is one block from quote to quote.
    EXPECT_EQ(describe(blocksOf("a\n\"s t\" 5")), "1-1:8 2-2:3 3-7:1 8-8:3 9-9:5 ");
    // A property name is coloured as a keyword; a comment is one block.
    EXPECT_EQ(describe(blocksOf("width /* c */ sin")), "1-5:6 6-6:3 7-13:2 14-14:3 15-17:7 ");
}

TEST(Colouring, UnterminatedBlocksCloseAtTheEnd) {
    EXPECT_EQ(describe(blocksOf("x // tail")), "1-1:8 2-2:3 3-9:2 ");
    EXPECT_EQ(describe(blocksOf("applescript abc")), "1-15:0 ");
}

TEST(LexicalErrors, InvalidModeIsReportedAndIgnored) {
    QvParser session("x", 0, nullptr, true);
    QvTextInput input("y", 1);
    QvLexer lexer(&input, &session, 100);
    lexer.setMode(7);
    std::string console = session.getConsole().takeUnread();
    session.releaseConsole();
    EXPECT_EQ(console, "Lexical Error: Invalid automaton mode = 7 , at line 1\n");
}

TEST(SourceMap, NestedIncludesMapBackWithTheirChain) {
    QvSourceMap map;
    map.beginInclude("a.qv", 3);   // directive on main line 3
    map.beginInclude("b.qv", 5);   // directive on a.qv line 2
    map.endInclude(8);             // b.qv had lines 1-2
    map.endInclude(10);
    EXPECT_EQ(map.mapLine(4).line, 1);
    EXPECT_EQ(map.mapLine(4).fileIndex, 2);
    EXPECT_EQ(map.mapLine(7).line, 2);
    EXPECT_EQ(map.mapLine(7).fileIndex, 3);
    EXPECT_EQ(map.mapLine(9).line, 3);   // a.qv continues after its directive
    EXPECT_EQ(map.mapLine(9).fileIndex, 2);
    EXPECT_EQ(map.mapLine(11).line, 4);  // main continues after its directive
    EXPECT_EQ(map.mapLine(11).fileIndex, 1);
    std::ostringstream out;
    map.writePosition(out, 7);
    EXPECT_EQ(out.str(), " at file 'b.qv', line 2\nincluded from file 'a.qv', line 2\nincluded from line 3");
}

TEST(SourceMap, StrayEndMarkerKeepsTheMainFile) {
    QvSourceMap map;
    map.endInclude(2);
    EXPECT_EQ(map.mapLine(5).fileIndex, QvSourceMap::kMainFile);
    std::ostringstream none;
    map.outputError(none, 4, 0);
    EXPECT_EQ(none.str(), "");
}
