#pragma once
#include <ostream>

#include "FrontEnd/AST.h"
#include "FrontEnd/QvToken.h"

// Text forms of tokens and syntax trees for diagnostics and tests.
namespace QvTreeWriter {
// "line: NAME (number) "text"" and a line end.
void writeToken(std::ostream& os, const QvToken& token);
// #(root, child, ...): identifiers and literals show their text, strings in quotes,
// dates their fields; every other node shows its token name without the prefix.
void writeTree(std::ostream& os, AST* tree);
}
