// Times calls of script functions (a one-line function in a loop, three arguments, a
// reference argument, recursive fib) beside the same programs in CPython and Lua 5.4,
// in the same run.
#include <vector>

#include "ScriptTiming.h"

int main() {
    const std::vector<PeerWorkload> workloads = {
        {"call_1e6", "define next(x) begin return x + 1; end set x to 0; repeat 1000000 times set x to next(x);",
         "def nxt(x):\n return x + 1\ndef run():\n x = 0\n for i in range(1000000):\n  x = nxt(x)",
         "local function nxt(x) return x + 1 end function run() local x = 0 for i = 1, 1000000 do x = nxt(x) end end"},
        {"call_3_args_1e6",
         "define mix(a, b, c) begin return a * b + c; end set x to 0; "
         "repeat 1000000 times set x to mix(0.5, x, 1);",
         "def mix(a, b, c):\n return a * b + c\ndef run():\n x = 0\n for i in range(1000000):\n  x = mix(0.5, x, 1)",
         "local function mix(a, b, c) return a * b + c end function run() local x = 0 for i = 1, 1000000 do"
         " x = mix(0.5, x, 1) end end"},
        {"call_reference_1e6",
         "define bump(&v) begin add 1 to v; end set x to 0; repeat 1000000 times bump(&x);",
         "def bump(v):\n v[0] += 1\ndef run():\n x = [0]\n for i in range(1000000):\n  bump(x)",
         "local function bump(v) v[1] = v[1] + 1 end function run() local x = {0} for i = 1, 1000000 do"
         " bump(x) end end"},
        {"fib_25", "define fib(n) begin if n < 2 then return n; return fib(n - 1) + fib(n - 2); end set r to fib(25);",
         "def fib(n):\n return n if n < 2 else fib(n - 1) + fib(n - 2)\ndef run():\n fib(25)",
         "local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end"
         " function run() fib(25) end"},
    };
    comparePeers(workloads);
    return 0;
}
