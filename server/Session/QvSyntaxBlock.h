#pragma once
#include "QvExport.h"

// A coloured stretch of the script, in 1-based character positions of the expanded
// text. Kinds: 0 AppleScript, 1 string, 2 comment or marker, 3 white space, 4 operator,
// 5 literal, 6 keyword, 7 built-in function, 8 identifier, 9 punctuation.
class QV_EXPORT QvSyntaxBlock {
public:
    int begin;
    int end;
    int kind;
};
