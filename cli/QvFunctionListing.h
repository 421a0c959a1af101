#pragma once
#include <string>

// Every function the process knows (built-in and from loaded plug-in modules), overload
// by overload in the registry's order: the head on one line, as
//   Math.Sum(const vector x) returns number
// with each line of its help text beneath it, indented by four spaces, and an empty
// line after each overload. Functions without a namespace show their bare name.
// tools/function-reference.sh turns this listing into the manual's function reference.
std::string QvFunctionListing();
