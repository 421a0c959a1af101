// Times the interpreter's hot loops beside the same loops in CPython and Lua 5.4 (when
// installed), all in the same run, and prints the ratios.
#include <string>
#include <vector>

#include "ScriptTiming.h"

int main() {
    const std::string bigText(1 << 20, 'x');
    const std::vector<PeerWorkload> workloads = {
        {"add_1e6", "set x to 0; repeat 1000000 times add 1 to x;",
         "def run():\n x=0\n for i in range(1000000):\n  x += 1",
         "function run() local x = 0 for i = 1, 1000000 do x = x + 1 end end"},
        {"while_compare_set_1e6", "set x to 0; repeat while x < 1000000 set x to x + 1;",
         "def run():\n x=0\n while x < 1000000:\n  x = x + 1",
         "function run() local x = 0 while x < 1000000 do x = x + 1 end end"},
        {"while_mul_add_1e6",
         "set i to 0; set s to 0; repeat while i < 1000000 begin set s to s * 0.5 + i; set i to i + 1; end",
         "def run():\n i=0\n s=0\n while i < 1000000:\n  s = s * 0.5 + i\n  i = i + 1",
         "function run() local i, s = 0, 0 while i < 1000000 do s = s * 0.5 + i i = i + 1 end end"},
        {"if_else_1e6",
         "set lo to 0; set hi to 0; repeat 1000000 times increment n "
         "if n < 500000 then add 1 to lo; else add 1 to hi;",
         "def run():\n lo=0\n hi=0\n for n in range(1000000):\n  if n < 500000: lo += 1\n  else: hi += 1",
         "function run() local lo, hi = 0, 0 for n = 0, 999999 do if n < 500000 then lo = lo + 1"
         " else hi = hi + 1 end end end"},
        {"vector_index_1e6",
         "set v to {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}; set s to 0; "
         "repeat 100000 times begin set i to 0; repeat 10 times increment i add v[i] to s; end",
         "def run():\n v=[1.0,2.0,3.0,4.0,5.0,6.0,7.0,8.0,9.0,10.0]\n s=0\n for r in range(100000):\n"
         "  for i in range(10):\n   s += v[i]",
         "function run() local v = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10} local s = 0 for r = 1, 100000 do"
         " for i = 1, 10 do s = s + v[i] end end end"},
        {"read_1MB_text_1e5",
         "set big to \"" + bigText + "\"; set n to 0; repeat 100000 times set n to length of big;",
         "def run():\n big='x'*(1<<20)\n n=0\n for i in range(100000):\n  n = len(big)",
         "function run() local big = string.rep('x', 1 << 20) local n = 0 for i = 1, 100000 do n = #big end end"},
    };
    comparePeers(workloads);
    return 0;
}
