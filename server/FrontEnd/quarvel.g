/*
 * The Quarvel language: scanner (seven lexical modes) and parser (statements and
 * expressions). antlr turns this file into the parser class QuarvelParser and a
 * scanner description, which dlg turns into the scanner class QvLexerBase.
 *
 * The scanner's actions only call the hooks declared in the #lexmember block; QvLexer
 * implements them (colouring, positions, string text, markers). The parser's actions
 * call the hooks declared at the top of the class; QuarvelParentParser implements them
 * (error records, declarations, plug-in calls, function registration).
 */

#header <<
#include "FrontEnd/QvToken.h"
#include "FrontEnd/AST.h"
#include "FrontEnd/QvNestingGuard.h"
typedef QvToken ANTLRToken;
>>

#tokdefs "QvTokens.h"

#lexmember <<
protected:
    // Colouring and position hooks: each consumes the characters just matched.
    virtual void mark(int kind) = 0;          // a token of its own colour
    virtual void open(int kind) = 0;          // opens a coloured block
    virtual void close() = 0;                 // closes the open block
    virtual void step() = 0;                  // inside a block: counts the characters
    virtual void newLine() = 0;               // one more line
    // Token text built by the scanner itself (strings, AppleScript).
    virtual void startText() = 0;
    virtual void appendMatched() = 0;
    virtual void appendChar(int c) = 0;
    virtual void appendEscape() = 0;          // backslash and three digits
    virtual ANTLRTokenType finishText(ANTLRTokenType type) = 0;
    // Marker lines written by the preprocessor.
    virtual void startMarker() = 0;
    virtual void startMarkerInComment() = 0;
    virtual void appendMarker() = 0;
    virtual void finishMarker() = 0;
    virtual ANTLRTokenType identifier() = 0;
    virtual ANTLRTokenType endOfInput() = 0;
public:
    virtual ANTLRTokenType erraction() = 0;
>>

/* ---------------------------------------------------------------- mode 0: main */
#lexclass START

#token QV_TOK_EOF "@"                          << return endOfInput(); >>
#token QV_LEX_APPLESCRIPT "applescript"        << open(0); startText(); mode(APPLESCRIPT); skip(); >>
#token QV_LEX_BLOCK_COMMENT "/\*"              << open(2); mode(BLOCKCOMMENT); skip(); >>
#token QV_LEX_LINE_COMMENT "//"                << open(2); mode(LINECOMMENT); skip(); >>
#token QV_LEX_MARKER "/##"                     << open(2); startMarker(); mode(MARKER); skip(); >>
#token QV_LEX_DOUBLE_QUOTE "\""                << open(1); startText(); mode(DQSTRING); skip(); >>
#token QV_LEX_SINGLE_QUOTE "'"                 << open(1); startText(); mode(SQSTRING); skip(); >>
#token QV_LEX_WHITE_SPACE "[\ \t]+"            << mark(3); skip(); >>
#token QV_LEX_NEW_LINE "\r\n|\n|\r"            << mark(3); newLine(); skip(); >>

#token QV_TOK_PARAM_ASSIGN "\->"               << mark(4); >>
#token QV_TOK_EQUAL "="                        << mark(4); >>
#token QV_TOK_GT ">"                           << mark(4); >>
#token QV_TOK_LT "<"                           << mark(4); >>
#token QV_TOK_GE ">="                          << mark(4); >>
#token QV_TOK_LE "<="                          << mark(4); >>
#token QV_TOK_NE "!="                          << mark(4); >>
#token QV_TOK_NOT "!"                          << mark(4); >>
#token QV_TOK_AND "and"                        << mark(4); >>
#token QV_TOK_OR "or"                          << mark(4); >>
#token QV_TOK_PLUS "\+"                        << mark(4); >>
#token QV_TOK_MINUS "\-"                       << mark(4); >>
#token QV_TOK_MULT "\*"                        << mark(4); >>
#token QV_TOK_DIV "/"                          << mark(4); >>

#token QV_TOK_TRUE "true"                      << mark(5); >>
#token QV_TOK_FALSE "false"                    << mark(5); >>

#token QV_TOK_SUBTRACT "subtract"              << mark(6); >>
#token QV_TOK_ADD "add"                        << mark(6); >>
#token QV_TOK_MULTIPLY "multiply"              << mark(6); >>
#token QV_TOK_DIVIDE "divide"                  << mark(6); >>
#token QV_TOK_BY "by"                          << mark(6); >>
#token QV_TOK_APPEND "append"                  << mark(6); >>
#token QV_TOK_PREPEND "prepend"                << mark(6); >>
#token QV_TOK_INSERT "insert"                  << mark(6); >>
#token QV_TOK_AT "at"                          << mark(6); >>
#token QV_TOK_INTO "into"                      << mark(6); >>
#token QV_TOK_FILE "file"                      << mark(6); >>
#token QV_TOK_URL "URL"                        << mark(6); >>
#token QV_TOK_WINDOW "window"                  << mark(6); >>
#token QV_TOK_CLIPBOARD "ClipBoard"            << mark(6); >>
#token QV_TOK_FRAME_MONO "frame_mono"          << mark(6); >>
#token QV_TOK_FRAME "frame"                    << mark(6); >>
#token QV_TOK_IMAGE_MONO "image_mono"          << mark(6); >>
#token QV_TOK_IMAGE "image"                    << mark(6); >>
#token QV_TOK_LIST "list"                      << mark(6); >>
#token QV_TOK_TEXT "text"                      << mark(6); >>
#token QV_TOK_DATE "date"                      << mark(6); >>
#token QV_TOK_NUMBER "number"                  << mark(6); >>
#token QV_TOK_BOOLEAN "boolean"                << mark(6); >>
#token QV_TOK_VECTOR "vector"                  << mark(6); >>
#token QV_TOK_COLOR "color"                    << mark(6); >>
#token QV_TOK_MOVIE "movie"                    << mark(6); >>
#token QV_TOK_VIDEOSOURCE "videosource|video_source" << mark(6); >>
#token QV_TOK_VIDEOOUTPUT "video_output"       << mark(6); >>
#token QV_TOK_VIDEOTRACK "video_track"         << mark(6); >>
#token QV_TOK_ANY "any"                        << mark(6); >>
#token QV_TOK_NONE "none"                      << mark(6); >>
#token QV_TOK_AS "as"                          << mark(6); >>
#token QV_TOK_IF "if"                          << mark(6); >>
#token QV_TOK_THEN "then"                      << mark(6); >>
#token QV_TOK_ELSE "else"                      << mark(6); >>
#token QV_TOK_WAIT "wait"                      << mark(6); >>
#token QV_TOK_BEEP "beep"                      << mark(6); >>
#token QV_TOK_PRINT "print"                    << mark(6); >>
#token QV_TOK_REPEAT "repeat"                  << mark(6); >>
#token QV_TOK_UNTIL "until"                    << mark(6); >>
#token QV_TOK_FROM "from"                      << mark(6); >>
#token QV_TOK_FOR "for"                        << mark(6); >>
#token QV_TOK_TIMES "time{s}"                   << mark(6); >>
#token QV_TOK_EVERY "every"                    << mark(6); >>
#token QV_TOK_FOREVER "forever"                << mark(6); >>
#token QV_TOK_WHILE "while"                    << mark(6); >>
#token QV_TOK_INCREMENT "increment"            << mark(6); >>
#token QV_TOK_BREAK "break"                    << mark(6); >>
#token QV_TOK_END "end"                        << mark(6); >>
#token QV_TOK_BEGIN "begin"                    << mark(6); >>
#token QV_TOK_CATCH "catch"                    << mark(6); >>
#token QV_TOK_DEFINE "define"                  << mark(6); >>
#token QV_TOK_RETURN "return{s}"                << mark(6); >>
#token QV_TOK_LOCAL "local"                    << mark(6); >>
#token QV_TOK_GLOBAL "global"                  << mark(6); >>
#token QV_TOK_REFERENCE "reference"            << mark(6); >>
#token QV_TOK_REF_PARAMETER "&"                << mark(6); >>
#token QV_TOK_DELETE "delete"                  << mark(6); >>
#token QV_TOK_SET "set"                        << mark(6); >>
#token QV_TOK_TO "to"                          << mark(6); >>
#token QV_TOK_OF "of"                          << mark(6); >>
#token QV_TOK_WITH "with"                      << mark(6); >>

#token QV_TOK_MAX "max"                        << mark(7); >>
#token QV_TOK_MIN "min"                        << mark(7); >>
#token QV_TOK_SIN "sin"                        << mark(7); >>
#token QV_TOK_COS "cos"                        << mark(7); >>
#token QV_TOK_TAN "tan"                        << mark(7); >>
#token QV_TOK_ASIN "asin"                      << mark(7); >>
#token QV_TOK_ACOS "acos"                      << mark(7); >>
#token QV_TOK_ATAN "atan"                      << mark(7); >>
#token QV_TOK_SQRT "sqrt"                      << mark(7); >>
#token QV_TOK_LOG "log"                        << mark(7); >>
#token QV_TOK_EXP "exp"                        << mark(7); >>
#token QV_TOK_LN "ln"                          << mark(7); >>
#token QV_TOK_ROUND "round"                    << mark(7); >>
#token QV_TOK_FLOOR "floor"                    << mark(7); >>
#token QV_TOK_CEIL "ceil"                      << mark(7); >>
#token QV_TOK_ABS "abs"                        << mark(7); >>
#token QV_TOK_POW "pow"                        << mark(7); >>
#token QV_TOK_SECOND "second{s}"                << mark(7); >>
#token QV_TOK_MINUTE "minute{s}"                << mark(7); >>
#token QV_TOK_HOUR "hour{s}"                    << mark(7); >>
#token QV_TOK_DAY "day{s}"                      << mark(7); >>
#token QV_TOK_WEEK "week{s}"                    << mark(7); >>
#token QV_TOK_YEAR "year{s}"                    << mark(7); >>
#token QV_TOK_PERCENT "%"                      << mark(7); >>

#token QV_TOK_LLIST "\{"                       << mark(9); >>
#token QV_TOK_RLIST "\}"                       << mark(9); >>
#token QV_TOK_LINDEX "\["                      << mark(9); >>
#token QV_TOK_RINDEX "\]"                      << mark(9); >>
#token QV_TOK_LPAREN "\("                      << mark(9); >>
#token QV_TOK_RPAREN "\)"                      << mark(9); >>
#token QV_TOK_COMMA ","                        << mark(9); >>
#token QV_TOK_SEMI ";"                         << mark(9); >>
#token QV_TOK_COLON ":"                        << mark(9); >>
#token QV_TOK_BAR "\|"                         << mark(9); >>
#token QV_TOK_DOT "\."                          << mark(9); >>

#token QV_TOK_JAN "JAN"                        << mark(5); >>
#token QV_TOK_FEB "FEB"                        << mark(5); >>
#token QV_TOK_MAR "MAR"                        << mark(5); >>
#token QV_TOK_APR "APR"                        << mark(5); >>
#token QV_TOK_MAY "MAY"                        << mark(5); >>
#token QV_TOK_JUN "JUN"                        << mark(5); >>
#token QV_TOK_JUL "JUL"                        << mark(5); >>
#token QV_TOK_AUG "AUG"                        << mark(5); >>
#token QV_TOK_SEP "SEP"                        << mark(5); >>
#token QV_TOK_OCT "OCT"                        << mark(5); >>
#token QV_TOK_NOV "NOV"                        << mark(5); >>
#token QV_TOK_DEC "DEC"                        << mark(5); >>

#token QV_TOK_INT1 "[0-9]"                     << mark(5); >>
#token QV_TOK_INT2 "[0-9][0-9]"                << mark(5); >>
#token QV_TOK_INT4 "[0-9][0-9][0-9][0-9]"      << mark(5); >>
#token QV_TOK_INT_TOK "[0-9][0-9][0-9]|[0-9][0-9][0-9][0-9][0-9]+" << mark(5); >>
#token QV_TOK_FLOAT "[0-9]+\.[0-9]+"            << mark(5); >>
#token QV_TOK_EXP_NUM "[0-9]+{\.[0-9]+}[eE]{[\+\-]}[0-9]+" << mark(5); >>

#token QV_TOK_IDENT "[a-zA-Z][a-zA-Z0-9_]*"    << return identifier(); >>

/* ------------------------------------------------------ mode 1: AppleScript block */
#lexclass APPLESCRIPT

#token "@"                                     << return endOfInput(); >>
#token QV_TOK_SCRIPT "quarvel"                 << return finishText(QV_TOK_SCRIPT); >>
#token NL "\r\n|\n|\r"                         << step(); appendMatched(); newLine(); skip(); >>
#token TK_IDENTIFIER "[a-zA-Z_][a-zA-Z0-9_]*"  << step(); appendMatched(); skip(); >>
#token TK_ANYTHING "~[a-zA-Z_\r\n]"            << step(); appendMatched(); skip(); >>

/* --------------------------------------------------- mode 2: string in double quotes */
#lexclass DQSTRING

#token "@"                                     << return endOfInput(); >>
#token QV_LEX_ESC_BELL "\\a"                   << step(); appendChar(7); skip(); >>
#token QV_LEX_ESC_BACKSPACE "\\b"              << step(); appendChar(8); skip(); >>
#token QV_LEX_ESC_FORMFEED "\\f"               << step(); appendChar(12); skip(); >>
#token QV_LEX_ESC_RETURN "\\r"                 << step(); appendChar(13); skip(); >>
#token QV_LEX_ESC_VTAB "\\v"                   << step(); appendChar(11); skip(); >>
#token QV_LEX_ESC_TAB "\\t"                    << step(); appendChar(9); skip(); >>
#token QV_LEX_ESC_BACKSLASH "\\\\"             << step(); appendChar('\\'); skip(); >>
#token QV_LEX_ESC_QUOTE "\\\""                 << step(); appendChar('"'); skip(); >>
#token QV_LEX_ESC_NEWLINE "\\n"                << step(); appendChar(10); skip(); >>
#token QV_LEX_ESC_DECIMAL "\\[0-2][0-9][0-9]"  << step(); appendEscape(); skip(); >>
#token QV_LEX_ESC_OTHER "\\~[\r\n]"            << step(); appendChar(lextext()[1]); skip(); >>
#token QV_TOK_STRINGLIT "\""                   << return finishText(QV_TOK_STRINGLIT); >>
#token QV_TOK_BADSTRING "\r\n|\n|\r"           << return finishText(QV_TOK_BADSTRING); >>
#token QV_LEX_DQ_TEXT "~[\"\\\r\n]+"           << step(); appendMatched(); skip(); >>

/* --------------------------------------------------- mode 3: string in single quotes */
#lexclass SQSTRING

#token "@"                                     << return endOfInput(); >>
#token QV_LEX_SQ_DOUBLED "''"                  << step(); appendChar('\''); skip(); >>
#token QV_TOK_STRINGLIT "'"                    << return finishText(QV_TOK_STRINGLIT); >>
#token QV_TOK_BADSTRING "\r\n|\n|\r"           << return finishText(QV_TOK_BADSTRING); >>
#token QV_LEX_SQ_TEXT "~['\r\n]+"              << step(); appendMatched(); skip(); >>

/* --------------------------------------------------------- mode 4: block comment */
#lexclass BLOCKCOMMENT

#token "@"                                     << return endOfInput(); >>
#token QV_LEX_BLOCK_COMMENT_END "\*/"          << close(); mode(START); skip(); >>
#token QV_LEX_BLOCK_COMMENT_NEWLINE "\r\n|\n|\r" << step(); newLine(); skip(); >>
#token QV_LEX_BLOCK_COMMENT_TEXT "~[\*/\r\n]+" << step(); skip(); >>
#token QV_LEX_BLOCK_COMMENT_STAR "[\*/]"        << step(); skip(); >>
/* An include directive inside a comment is expanded all the same: its markers keep
   the line numbers after the comment right. */
#token QV_LEX_MARKER "/##"                     << step(); startMarkerInComment(); mode(MARKER); skip(); >>

/* ---------------------------------------------------------- mode 5: line comment */
#lexclass LINECOMMENT

#token "@"                                     << return endOfInput(); >>
#token QV_LEX_LINE_COMMENT_END "\r\n|\n|\r"    << close(); newLine(); mode(START); skip(); >>
#token QV_LEX_LINE_COMMENT_TEXT "~[\r\n]+"     << step(); skip(); >>

/* ----------------------------------------------- mode 6: preprocessor marker line */
#lexclass MARKER

#token "@"                                     << finishMarker(); return endOfInput(); >>
#token QV_LEX_MARKER_TEXT "~[\r\n]+"           << step(); appendMarker(); skip(); >>
#token QV_LEX_MARKER_END "\r\n|\n|\r"          << step(); finishMarker(); skip(); >>

#lexclass START

/* ===================================================================== the parser */

class QuarvelParser {

<<
public:
    // Nodes live in the parser's arena; tree links never own them.
    AST* newAST(ANTLRTokenPtr token) { return arena_.adopt(new AST(token)); }
    AST* newAST(int type, const char* text) { return arena_.adopt(new AST(type, text, LT(1)->getLine())); }
    AST* node(int type, const char* text, int line) { return arena_.adopt(new AST(type, text, line)); }
    QvAstArena& arena() { return arena_; }
    // Raises QvParseAbort once the nesting goes beyond what the parser supports.
    virtual void enterNesting() = 0;
    virtual void leaveNesting() = 0;

protected:
    // Error reporting. reportFailure records a syntax error unless the statement
    // being parsed has already reported one, so that one bad statement gives one error.
    virtual bool reportFailure(const char* message) = 0;
    virtual void reportSyntaxErrorAtToken(ANTLRTokenPtr token, const char* message) = 0;
public:
    virtual void appendToLastError(const char* text) = 0;
protected:
    virtual void beginStatement() = 0;
    virtual bool statementFailed() = 0;
    // Recovery: skip to (and past) the next ";", or up to the given token.
    virtual void skipPastSemicolon() = 0;
    virtual void skipTo(int tokenType) = 0;
    // Names.
public:
    virtual void declare(const char* name) = 0;
    virtual void declareGlobal(const char* name) = 0;
protected:
    virtual void useIdentifier(ANTLRTokenPtr identifier, bool mustBeDeclared) = 0;
    virtual bool canBeginExpression(int tokenType) = 0;
    virtual bool windowTargetIsVariable() = 0;
    virtual void enterContext(const char* name) = 0;
    virtual void leaveContext(const char* name) = 0;
    virtual void startSetValue() = 0;
    virtual bool endSetValueUses(AST* target) = 0;
    // Functions.
    virtual void recordPluginCall(int line, const char* nameSpace, const char* function) = 0;
    virtual void registerFunction(AST* definition, bool hasNamespace) = 0;
    virtual void setDateFields(AST* dateNode) = 0;

private:
    QvAstArena arena_;
>>

/* ---------------------------------------------------------------- statements */

programme
    : statement ( statement )*
    ;
    exception default :
        << reportFailure("Invalid command."); skipTo(QV_TOK_END); >>

statement
    : << beginStatement(); >>
      ( functionDefine
      | unrecognizedStatement
      | catchableStatement
      )
    ;

unrecognizedStatement!
    : << reportFailure("Unrecognized statement."); >>
      ( QV_TOK_SECOND | QV_TOK_MINUTE | QV_TOK_HOUR | QV_TOK_DAY | QV_TOK_PERCENT
      | QV_TOK_LIST | QV_TOK_TEXT | QV_TOK_DATE | QV_TOK_NUMBER | QV_TOK_BOOLEAN
      | QV_TOK_VECTOR | QV_TOK_COLOR | QV_TOK_MOVIE | QV_TOK_VIDEOSOURCE | QV_TOK_AS
      | QV_TOK_THEN | QV_TOK_ELSE | QV_TOK_UNTIL | QV_TOK_FROM | QV_TOK_FOR | QV_TOK_TIMES
      | QV_TOK_EVERY | QV_TOK_FOREVER | QV_TOK_WHILE | QV_TOK_INCREMENT | QV_TOK_END
      | QV_TOK_CATCH | QV_TOK_REFERENCE | QV_TOK_TO | QV_TOK_OF | QV_TOK_WITH
      | month | QV_TOK_REFER
      )
      << skipPastSemicolon(); >>
    ;

catchableStatement
    : << QvNestingGuard<QuarvelParser> nesting(*this); >>
      errorHandledStatement { QV_TOK_CATCH^ << beginStatement(); >> catchableStatement }
    ;

errorHandledStatement
    : setStatement
    | codeBlock
    | simpleStatement
    | ifStatement
    | repeatStatement
    | QV_TOK_SCRIPT
    ;

simpleStatement
    : emptyStatement
    | deleteStatement
    | returnStatement
    | addStatement
    | appendStatement
    | prependStatement
    | subtractStatement
    | multiplyStatement
    | divideStatement
    | insertStatement
    | callStatement
    | beepStatement
    | breakStatement
    | printStatement
    | waitStatement
    ;

emptyStatement!
    : s:QV_TOK_SEMI << #0 = node(QV_TOK_BEGIN, "begin", s->getLine()); >>
    ;

deleteStatement
    : QV_TOK_DELETE^ getIdContainCreate QV_TOK_SEMI!
    ;
    exception default :
        << if (reportFailure("Expecting:")) {
               appendToLastError("   'delete <identifier>'");
               appendToLastError("or 'delete window <expression>'");
               appendToLastError("or 'delete file <expression>'");
           }
           skipPastSemicolon(); >>

returnStatement
    : QV_TOK_RETURN^ { expression } QV_TOK_SEMI!
    ;
    exception default : << reportFailure("Expression syntax error."); skipPastSemicolon(); >>

addStatement
    : QV_TOK_ADD^ expression QV_TOK_TO! assignableTarget QV_TOK_SEMI!
    ;
    exception default :
        << reportFailure("Expecting 'add <expression> to <identifier>'"); skipPastSemicolon(); >>

appendStatement
    : QV_TOK_APPEND^ expression QV_TOK_TO! assignableTarget QV_TOK_SEMI!
    ;
    exception default :
        << reportFailure("Expecting 'append <expression> to <identifier>'"); skipPastSemicolon(); >>

prependStatement
    : QV_TOK_PREPEND^ expression QV_TOK_TO! assignableTarget QV_TOK_SEMI!
    ;
    exception default :
        << reportFailure("Expecting 'prepend <expression> to <identifier>'"); skipPastSemicolon(); >>

subtractStatement
    : QV_TOK_SUBTRACT^ expression QV_TOK_FROM! assignableTarget QV_TOK_SEMI!
    ;
    exception default :
        << reportFailure("Expecting 'subtract <expression> from <identifier>'"); skipPastSemicolon(); >>

multiplyStatement
    : QV_TOK_MULTIPLY^ assignableTarget QV_TOK_BY! expression QV_TOK_SEMI!
    ;
    exception default :
        << reportFailure("Expecting 'multiply <identifier> by <expression>'"); skipPastSemicolon(); >>

divideStatement
    : QV_TOK_DIVIDE^ assignableTarget QV_TOK_BY! expression QV_TOK_SEMI!
    ;
    exception default :
        << reportFailure("Expecting 'divide <identifier> by <expression>'"); skipPastSemicolon(); >>

insertStatement
    : QV_TOK_INSERT^ expression QV_TOK_INTO! assignableTarget QV_TOK_AT! expression QV_TOK_SEMI!
    ;
    exception default :
        << reportFailure("Expecting 'insert <expression> into <ident> at <expression>'"); skipPastSemicolon(); >>

callStatement!
    : << int line = LT(1)->getLine(); >>
      c:functionCall QV_TOK_SEMI
      << #0 = #(node(QV_TOK_EXPR_STATEMENT, "expression-statement", line), #c); >>
    ;
    exception default : << skipPastSemicolon(); >>

beepStatement
    : QV_TOK_BEEP QV_TOK_SEMI!
    ;

breakStatement
    : QV_TOK_BREAK QV_TOK_SEMI!
    ;

printStatement
    : QV_TOK_PRINT^ expression QV_TOK_SEMI!
    ;
    exception default : << reportFailure("Invalid print expression."); skipPastSemicolon(); >>

waitStatement
    : QV_TOK_WAIT^ { QV_TOK_UNTIL! } expression QV_TOK_SEMI!
    ;
    exception default : << reportFailure("Invalid wait expression."); skipPastSemicolon(); >>

setStatement!
    : << bool sawTarget = false; bool sawTo = false; >>
      s:QV_TOK_SET t:assignableTarget << sawTarget = true; >>
      to:QV_TOK_TO << sawTo = true; >>
      ( r:QV_TOK_REFERENCE i:identifierExpression QV_TOK_SEMI
        << #0 = #(node(QV_NO_CIRC_REF, "nocircref", s->getLine()), #(newAST(s), #t, newAST(r), #i)); >>
      | << startSetValue(); >>
        e:expression QV_TOK_SEMI
        << bool circular = endSetValueUses(#t);
           #0 = #(node(circular ? QV_CIRC_REF : QV_NO_CIRC_REF, circular ? "circref" : "nocircref",
                       s->getLine()),
                  #(newAST(s), #t, #e)); >>
      )
    ;
    exception default :
        << if (sawTarget && !sawTo) {
               if (reportFailure("Missing 'to <expression>'."))
                   appendToLastError("or 'to reference <identifier>'.");
           } else {
               reportFailure("Expecting 'set <identifier> to <expression>.");
           }
           skipPastSemicolon(); >>

codeBlock
    : QV_TOK_BEGIN^ ( catchableStatement )* QV_TOK_END!
    ;
    exception default :
        << if (LA(1) == QV_TOK_EOF) {
               reportFailure("Missing 'end'.");
           } else {
               *_retsignal = _signal;
           } >>

ifStatement!
    : i:QV_TOK_IF c:condition QV_TOK_THEN s:catchableStatement
      << #0 = #(newAST(i), #c, #s); >>
      { e:QV_TOK_ELSE << beginStatement(); >> o:catchableStatement
        << #0 = #(newAST(e), #0, #o); >>
      }
    ;
    exception default :
        << reportFailure("Expecting 'if <expression> then <statement>'."); skipPastSemicolon(); >>

condition
    : << if (!canBeginExpression(LA(1)))
             reportFailure("Expecting a Boolean expression. For example: (x <= 5)."); >>
      expression
    ;
    exception default :
        << reportFailure("Expecting a Boolean expression. For example: (x <= 5).");
           *_retsignal = _signal; >>

repeatStatement!
    : QV_TOK_REPEAT h:repeatHeader
      << #0 = #h; >>
      ( m:repeatModifier << #0->addChild(#m); >> )*
      << beginStatement(); >>
      b:catchableStatement
      << #0->addChild(#b); >>
    ;
    exception default : << reportFailure("Invalid repeat statement."); skipPastSemicolon(); >>

repeatHeader
    : repeatForever
    | repeatWhile
    | repeatUntil
    | repeatFrom
    | repeatFor
    | repeatNTimes
    ;
    exception default :
        << reportFailure("Invalid repeat statement."); *_retsignal = _signal; >>

repeatForever
    : QV_TOK_FOREVER
    ;

repeatWhile
    : QV_TOK_WHILE^ expression
    ;
    exception default :
        << reportFailure("Expecting 'repeat while <boolean expression>'."); *_retsignal = _signal; >>

repeatUntil
    : QV_TOK_UNTIL^ expression
    ;
    exception default :
        << reportFailure("Expecting 'repeat until <date>'."); *_retsignal = _signal; >>

repeatFrom
    : QV_TOK_FROM^ expression QV_TOK_TO! expression
    ;
    exception default :
        << reportFailure("Expecting 'repeat from <date> to <date>'."); *_retsignal = _signal; >>

repeatFor
    : QV_TOK_FOR^ expression
    ;
    exception default :
        << reportFailure("Expecting 'repeat for <time-interval>'."); *_retsignal = _signal; >>

repeatNTimes
    : expression QV_TOK_TIMES^
    ;
    exception default :
        << reportFailure("Expecting 'repeat <expression> times'."); *_retsignal = _signal; >>

repeatModifier
    : everyModifier
    | incrementModifier
    ;
    exception default :
        << reportFailure("Invalid repeat modifier."); *_retsignal = _signal; >>

everyModifier
    : QV_TOK_EVERY expression
    ;
    exception default :
        << reportFailure("'every' modifier is missing <expression>."); *_retsignal = _signal; >>

incrementModifier
    : QV_TOK_INCREMENT variableTarget
    ;
    exception default :
        << reportFailure("'increment' modifier is missing <identifier>."); *_retsignal = _signal; >>

functionDefine!
    : << const char* functionName = 0; bool hasNamespace = false; bool inContext = false; >>
      d:QV_TOK_DEFINE
      n1:QV_TOK_IDENT << #0 = #(newAST(d), newAST(n1)); functionName = n1->getText(); >>
      { QV_TOK_DOT n2:QV_TOK_IDENT << #0->addChild(newAST(n2)); functionName = n2->getText(); hasNamespace = true; >> }
      << enterContext(functionName); inContext = true; >>
      { QV_TOK_LPAREN
        { p1:parameter << #0->addChild(#p1); >>
          ( QV_TOK_COMMA p2:parameter << #0->addChild(#p2); >> )*
        }
        QV_TOK_RPAREN
      }
      { QV_TOK_RETURN r:typeSpec << #0->addChild(#r); >> }
      b:codeBlock
      << #0->addChild(#b);
         inContext = false;
         leaveContext(functionName);
         registerFunction((AST*)#0, hasNamespace); >>
    ;
    exception default :
        << if (inContext) leaveContext(functionName);
           reportFailure("Unrecognized function definition.");
           skipTo(QV_TOK_END);
           if (LA(1) == QV_TOK_END) consume(); >>

parameter
    : { typeSpec } { QV_TOK_REF_PARAMETER } n:QV_TOK_IDENT^ << declare(n->getText()); >>
      { QV_TOK_PARAM_ASSIGN expression }
    ;

typeSpec
    : QV_TOK_ANY
    | QV_TOK_NONE
    | typeName
    | QV_TOK_LPAREN! typeName ( QV_TOK_BAR! typeName )* QV_TOK_RPAREN!
    ;

typeName
    : QV_TOK_FRAME_MONO | QV_TOK_FRAME | QV_TOK_IMAGE_MONO | QV_TOK_IMAGE | QV_TOK_LIST
    | QV_TOK_TEXT | QV_TOK_DATE | QV_TOK_NUMBER | QV_TOK_BOOLEAN | QV_TOK_VECTOR
    | QV_TOK_COLOR | QV_TOK_MOVIE | QV_TOK_VIDEOSOURCE | QV_TOK_VIDEOOUTPUT | QV_TOK_VIDEOTRACK
    ;

/* ---------------------------------------------------------------- expressions */

/*
 * A failing expression reports nothing itself: the statement around it names the form
 * it expected, or, where it has no message of its own, reports "Expression syntax error.".
 */
expression
    : << QvNestingGuard<QuarvelParser> nesting(*this); >>
      relationExpression ( ( QV_TOK_AND^ | QV_TOK_OR^ ) relationExpression )*
    ;

relationExpression
    : mathExpression
      ( ( QV_TOK_EQUAL^ | QV_TOK_NE^ | QV_TOK_LT^ | QV_TOK_GT^ | QV_TOK_LE^ | QV_TOK_GE^ )
        mathExpression )*
    ;

mathExpression
    : windowExpression ( ( QV_TOK_PLUS^ | QV_TOK_MINUS^ ) windowExpression )*
    ;

windowExpression
    : windowPrefix urlExpression
    | urlExpression
    ;

windowPrefix!
    : w:QV_TOK_WINDOW
      << #0 = node(QV_TOK_LOCAL_WINDOW, "local_window", w->getLine()); >>
    | l:QV_TOK_LOCAL QV_TOK_WINDOW
      << #0 = node(QV_TOK_LOCAL_WINDOW, "local_window", l->getLine()); >>
    | g:QV_TOK_GLOBAL QV_TOK_WINDOW
      << #0 = node(QV_TOK_GLOBAL_WINDOW, "global_window", g->getLine()); >>
    ;

urlExpression
    : QV_TOK_URL^ fileExpression
    | fileExpression
    ;

fileExpression
    : QV_TOK_FILE^ propertySetExpression
    | propertySetExpression
    ;

propertySetExpression
    : coercionExpression ( QV_TOK_WITH^ propertyName QV_TOK_TO! coercionExpression )*
    ;

coercionExpression
    : propertyExpression ( QV_TOK_AS^ typeName )*
    ;

propertyExpression
    : propertyName QV_TOK_OF^ postfixExpression
    | postfixExpression
    ;

propertyName
    : QV_TOK_IDENT
    | QV_TOK_SECOND | QV_TOK_MINUTE | QV_TOK_HOUR | QV_TOK_WEEK | QV_TOK_YEAR
    | QV_TOK_FRAME | QV_TOK_MOVIE
    ;
    exception default :
        << reportFailure("Invalid property name.");
           appendToLastError(LT(1)->getText());
           *_retsignal = _signal; >>

postfixExpression
    : multExpression
      ( QV_TOK_SECOND^ | QV_TOK_MINUTE^ | QV_TOK_HOUR^ | QV_TOK_DAY^ | QV_TOK_WEEK^
      | QV_TOK_YEAR^ | QV_TOK_PERCENT^ )*
    ;

multExpression
    : signExpression ( ( QV_TOK_MULT^ | QV_TOK_DIV^ ) signExpression )*
    ;

signExpression
    : QV_TOK_PLUS! negationExpression
    | negationExpression
    ;

negationExpression!
    : m:QV_TOK_MINUS n:notExpression
      << #0 = #(node(QV_TOK_UNARY_MINUS, "unary minus", m->getLine()), #n); >>
    | o:notExpression << #0 = #o; >>
    ;

notExpression
    : QV_TOK_NOT^ indexingExpression
    | indexingExpression
    ;

indexingExpression!
    : p:primaryExpression s:indexSuffix[(AST*)#p] << #0 = #s; >>
    ;

/* base[i] is #(LINDEX, base, i); base[i, j] is #(RINDEX, #(LINDEX, base, i, COMMA, j)). */
indexSuffix![AST* base]
    : << #0 = base; >>
      ( l:QV_TOK_LINDEX i:expression
        ( c:QV_TOK_COMMA j:expression r:QV_TOK_RINDEX
          << #0 = #(newAST(r), #(newAST(l), #0, #i, newAST(c), #j)); >>
        | QV_TOK_RINDEX
          << #0 = #(newAST(l), #0, #i); >>
        )
      )*
    ;

primaryExpression
    : literal
    | parenthesisedExpression
    | functionCall
    | identifierExpression
    ;

parenthesisedExpression
    : QV_TOK_LPAREN! expression QV_TOK_RPAREN!
    ;
    exception default :
        << reportFailure("Unmatched brackets."); *_retsignal = _signal; >>

literal
    : QV_TOK_FLOAT | QV_TOK_INT_TOK | QV_TOK_INT4 | QV_TOK_EXP_NUM
    | QV_TOK_INT1 | QV_TOK_INT2
    | timeExpression
    | QV_TOK_TRUE | QV_TOK_FALSE
    | QV_TOK_STRINGLIT | QV_TOK_BADSTRING
    | listExpression
    | typeName
    | QV_TOK_CLIPBOARD
    ;

/* {} is accepted: an empty literal is an empty vector. */
listExpression
    : QV_TOK_LLIST^ { expression ( QV_TOK_COMMA! expression )* } QV_TOK_RLIST!
    ;

/*
 * Dates and times: D:MON:YYYY or DD:MON:YYYY, optionally :HH:MM and :SS; or HH:MM with
 * an optional :SS. The fields are kept as children of a DATETIME node until
 * setDateFields turns them into the node's calendar record.
 */
timeExpression!
    : << int line = LT(1)->getLine(); bool twoDigits = LA(1) == QV_TOK_INT2; >>
      ( d1:QV_TOK_INT1 QV_TOK_COLON f1:dateRest
        << #0 = #(node(QV_TOK_DATETIME, "", line), newAST(d1), #f1); >>
      | d2:QV_TOK_INT2 QV_TOK_COLON f2:dateOrTimeRest
        << #0 = #(node(QV_TOK_DATETIME, "", line), newAST(d2), #f2); >>
      )
      << setDateFields((AST*)#0); >>
    ;
    exception default :
        << reportFailure(twoDigits ? "Date format is DD:MMM:YYYY." : "Date format is DD:MMM:YYYY");
           *_retsignal = _signal; >>

dateOrTimeRest
    : dateRest
    | QV_TOK_INT2 { QV_TOK_COLON! QV_TOK_INT2 }
    ;

dateRest
    : month QV_TOK_COLON! QV_TOK_INT4
      { QV_TOK_COLON! QV_TOK_INT2 QV_TOK_COLON! QV_TOK_INT2 { QV_TOK_COLON! QV_TOK_INT2 } }
    ;

month
    : QV_TOK_JAN | QV_TOK_FEB | QV_TOK_MAR | QV_TOK_APR | QV_TOK_MAY | QV_TOK_JUN
    | QV_TOK_JUL | QV_TOK_AUG | QV_TOK_SEP | QV_TOK_OCT | QV_TOK_NOV | QV_TOK_DEC
    ;

identifierExpression!
    : g:QV_TOK_GLOBAL gi:QV_TOK_IDENT
      << useIdentifier(gi, false); #0 = #(newAST(g), newAST(gi)); >>
    | l:QV_TOK_LOCAL li:QV_TOK_IDENT
      << useIdentifier(li, true); #0 = #(newAST(l), newAST(li)); >>
    | i:QV_TOK_IDENT
      << useIdentifier(i, true); #0 = #(node(QV_TOK_LOCAL, "local", i->getLine()), newAST(i)); >>
    ;

/* ------------------------------------------------------------- function calls */

functionCall
    : pluginFunctionExpression
    | function2Expression
    | function1Expression
    ;
    exception default :
        << reportFailure("Error in function call."); *_retsignal = _signal; >>

pluginFunctionExpression!
    : ns:QV_TOK_IDENT QV_TOK_DOT fn:QV_TOK_IDENT
      << recordPluginCall(ns->getLine(), ns->getText(), fn->getText());
         #0 = #(node(QV_TOK_PLUGIN_FN, "Plug-in Function", ns->getLine()), newAST(ns), newAST(fn)); >>
      a:argumentList << #0->addChild(#a); >>
    | f:QV_TOK_IDENT
      << recordPluginCall(f->getLine(), "__QuarvelInternal", f->getText());
         #0 = #(node(QV_TOK_PLUGIN_FN, "Plug-in Function", f->getLine()),
                node(QV_TOK_IDENT, "__QuarvelInternal", f->getLine()), newAST(f)); >>
      b:argumentList << #0->addChild(#b); >>
    ;

argumentList
    : QV_TOK_LPAREN! { parameterExpression ( QV_TOK_COMMA! parameterExpression )* } QV_TOK_RPAREN!
    ;

parameterExpression
    : QV_TOK_IDENT QV_TOK_PARAM_ASSIGN^ parameterValueExpression
    | parameterValueExpression
    ;

parameterValueExpression!
    : r:QV_TOK_REF_PARAMETER i:identifierExpression
      << #0 = #(newAST(r), #i); >>
    | << int line = LT(1)->getLine(); >>
      e:expression
      << #0 = #(node(QV_TOK_NO_REF_PARAMETER, "no-ref", line), #e); >>
    ;

function2Expression
    : QV_TOK_POW^ QV_TOK_LPAREN! expression QV_TOK_COMMA! expression QV_TOK_RPAREN!
    ;

function1Expression
    : ( QV_TOK_MAX^ | QV_TOK_MIN^ | QV_TOK_SIN^ | QV_TOK_COS^ | QV_TOK_TAN^ | QV_TOK_ASIN^
      | QV_TOK_ACOS^ | QV_TOK_ATAN^ | QV_TOK_SQRT^ | QV_TOK_LOG^ | QV_TOK_EXP^ | QV_TOK_LN^
      | QV_TOK_ROUND^ | QV_TOK_FLOOR^ | QV_TOK_CEIL^ | QV_TOK_ABS^ )
      QV_TOK_LPAREN! expression QV_TOK_RPAREN!
    ;

/* ------------------------------------------------------- assignable expressions */

/* The target of set, add ... to and the other editing statements. */
assignableTarget
    : getIdContainCreate
    ;
    exception default :
        << reportFailure("This expression cannot be set."); *_retsignal = _signal; >>

getIdContainCreate
    : QV_TOK_FILE^ expression
    | QV_TOK_CLIPBOARD
    | windowPrefix windowTarget
    | keywordProperty QV_TOK_OF^ expression
    | identifierTarget
    | v:scopedVariable! s:indexSuffix[(AST*)#v]
    ;

/* An identifier is a property name when "of" follows it, else a variable. */
identifierTarget!
    : i:QV_TOK_IDENT
      { o:QV_TOK_OF e:expression << #0 = #(newAST(o), newAST(i), #e); >> }
      << if (!#0) {
             declare(i->getText());
             #0 = #(node(QV_TOK_LOCAL, "local", i->getLine()), newAST(i));
         } >>
      s:indexSuffix[(AST*)#0] << #0 = #s; >>
    ;

/* A window variable is declared by setting it, like any other variable. */
windowTarget
    : <<windowTargetIsVariable()>>? v:variableTarget! s:indexSuffix[(AST*)#v]
    | expression
    ;

keywordProperty
    : QV_TOK_SECOND | QV_TOK_MINUTE | QV_TOK_HOUR | QV_TOK_WEEK | QV_TOK_YEAR
    | QV_TOK_FRAME | QV_TOK_MOVIE
    ;

/* Naming a variable as a target declares it. */
variableTarget
    : scopedVariable
    | bareVariable
    ;

scopedVariable!
    : g:QV_TOK_GLOBAL gi:QV_TOK_IDENT
      << declareGlobal(gi->getText()); #0 = #(newAST(g), newAST(gi)); >>
    | l:QV_TOK_LOCAL li:QV_TOK_IDENT
      << declare(li->getText()); #0 = #(newAST(l), newAST(li)); >>
    ;

bareVariable!
    : i:QV_TOK_IDENT
      << declare(i->getText()); #0 = #(node(QV_TOK_LOCAL, "local", i->getLine()), newAST(i)); >>
    ;

