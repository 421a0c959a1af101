#ifndef QV_PREPROCESSOR_TOKENS_H
#define QV_PREPROCESSOR_TOKENS_H
// Token numbers of the preprocessor's scanner and directive parser.
enum ANTLRTokenType {
    Invalid = 0,
    PP_EOF = 1,
    PP_TOK_INCLUDE = 2,
    PP_WHITESPACE = 3,
    PP_QUOTE = 4,
    PP_ANYTHING = 5,
    PP_NL = 6,
    PP_TOK_HASH = 7,
    PP_NOTHASH = 8,
    PP_DOUBLED_QUOTE = 9,
    QV_TOK_BADSTRING = 10,
    QV_TOK_STRINGLIT = 11,
    PP_STRING_CHAR = 12,
    QV_TOK_STRING_LITERAL = 13
};
#endif
