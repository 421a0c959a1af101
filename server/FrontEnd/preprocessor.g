/*
 * The preprocessor: a scanner with four modes and a parser of include directives.
 * antlr turns this file into the parser class QvDirectiveParserBase and a scanner
 * description, which dlg turns into the scanner class QvPreprocessorScanner.
 *
 * The preprocessor knows nothing of the language: it reads the text line by line,
 * copies every line that does not start with "#" (after blanks) and replaces each
 * "#" line by what the directive parser makes of it. The parser's actions call the
 * hooks declared in the class block; QvDirectiveParser implements them.
 */

#header <<
#include "AToken.h"
#include "ATokPtr.h"
typedef ANTLRCommonToken ANTLRToken;
>>

#tokdefs "QvPreprocessorTokens.h"

/* ------------------------------------------------------------ mode 0: line start */
#lexclass START

#token PP_EOF "@"
#token PP_WHITESPACE "[\ \t]+"
#token PP_NL "\r\n|\n|\r"                      << newline(); >>
#token PP_TOK_HASH "#"                         << mode(DIRECTIVE); >>
#token PP_NOTHASH "~[#\ \t\r\n]"               << mode(TEXTLINE); >>

/* ------------------------------------------------------------- mode 1: directive */
#lexclass DIRECTIVE

#token "@"                                     << return PP_EOF; >>
#token PP_TOK_INCLUDE "include"
#token PP_WHITESPACE "[\ \t]+"
#token PP_QUOTE "'"                            << mode(FILENAME); >>
#token PP_NL "\r\n|\n|\r"                      << newline(); mode(START); >>
#token PP_ANYTHING "~[\ \t'\r\n]+"

/* ------------------------------------------------------ mode 2: rest of a text line */
#lexclass TEXTLINE

#token "@"                                     << return PP_EOF; >>
#token PP_ANYTHING "~[\r\n]+"
#token PP_NL "\r\n|\n|\r"                      << newline(); mode(START); >>

/* --------------------------------------------------------- mode 3: quoted file name */
#lexclass FILENAME

#token "@"                                     << return PP_EOF; >>
#token PP_DOUBLED_QUOTE "''"
#token QV_TOK_STRINGLIT "'"                    << mode(DIRECTIVE); >>
#token QV_TOK_BADSTRING "\r\n|\n|\r"           << newline(); mode(START); >>
#token PP_STRING_CHAR "~['\r\n]+"

#lexclass START

/* ===================================================================== the parser */

class QvDirectiveParserBase {

<<
protected:
    // Text that stays as it is.
    virtual void copy(ANTLRTokenPtr token) = 0;
    // The quoted file name, collected piece by piece.
    virtual void startName() = 0;
    virtual void appendName(const char* text) = 0;
    // The directive was "#include 'name'": its replacement.
    virtual void include() = 0;
    // Any other "#" line.
    virtual void preprocessorError() = 0;
>>

/* Lines are separated by line ends; a file name cut by a line end carries that line
 * end itself. The last line may have none. */
text
    : lineBody ( lineEnd lineBody )* PP_EOF
    ;

lineEnd
    : n:PP_NL                                   << copy(n); >>
    | b:QV_TOK_BADSTRING                        << copy(b); >>
    ;

lineBody
    : { w:PP_WHITESPACE                         << copy(w); >>
      }
      { textLine | PP_TOK_HASH directive }
    ;

textLine
    : t:PP_NOTHASH                              << copy(t); >>
      { a:PP_ANYTHING                           << copy(a); >>
      }
    ;

directive
    : PP_TOK_INCLUDE { PP_WHITESPACE } includeTail
    | ( PP_WHITESPACE | PP_QUOTE | PP_ANYTHING ) restOfLine << preprocessorError(); >>
    |                                           << preprocessorError(); >>
    ;

includeTail
    : PP_QUOTE fileName
    | ( PP_TOK_INCLUDE | PP_ANYTHING ) restOfLine << preprocessorError(); >>
    |                                           << preprocessorError(); >>
    ;

fileName
    :                                           << startName(); >>
      ( c:PP_STRING_CHAR                        << appendName(c->getText()); >>
      | PP_DOUBLED_QUOTE                        << appendName("'"); >>
      )*
      ( QV_TOK_STRINGLIT { PP_WHITESPACE } afterName
      |                                         << preprocessorError(); >>
      )
    ;

/* An action that opens a rule is its init action, run whatever follows: the empty
 * alternative comes second. */
afterName
    : ( PP_TOK_INCLUDE | PP_QUOTE | PP_ANYTHING ) restOfLine << preprocessorError(); >>
    |                                           << include(); >>
    ;

restOfLine
    : ( PP_TOK_INCLUDE | PP_WHITESPACE | PP_QUOTE | PP_ANYTHING | PP_STRING_CHAR | PP_DOUBLED_QUOTE
      | QV_TOK_STRINGLIT )*
    ;
}
