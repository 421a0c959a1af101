// Times calls of script functions (a one-line function in a loop, recursive fib) and the
// same programs in CPython and, when installed, Lua 5.4, in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "ScriptTiming.h"

namespace {
struct Workload {
    const char* name;
    const char* script;
    const char* python;
    const char* lua;
};

double pythonSeconds(const char* program) {
    return peerSeconds("python3 -c \"import time\n" + std::string(program) +
                       "\nbest=1e9\nfor _ in range(3):\n t=time.perf_counter()\n run()\n"
                       " best=min(best,time.perf_counter()-t)\nprint(best)\"");
}

double luaSeconds(const char* program) {
    return peerSeconds("lua5.4 -e \"" + std::string(program) +
                       " local best=1e9 for _=1,3 do local t=os.clock() run() best=math.min(best,os.clock()-t) end"
                       " print(best)\"");
}

void printFigure(double seconds) {
    if (seconds > 0)
        std::printf(" %10.4f", seconds);
    else
        std::printf(" %10s", "-");
}
}

int main() {
    const Workload workloads[] = {
        {"call_1e6",
         "define next(x) begin return x + 1; end set x to 0; repeat 1000000 times set x to next(x);",
         "def nxt(x):\n return x + 1\ndef run():\n x = 0\n for i in range(1000000):\n  x = nxt(x)",
         "local function nxt(x) return x + 1 end function run() local x = 0 for i = 1, 1000000 do x = nxt(x) end end"},
        {"fib_25",
         "define fib(n) begin if n < 2 then return n; return fib(n - 1) + fib(n - 2); end set r to fib(25);",
         "def fib(n):\n return n if n < 2 else fib(n - 1) + fib(n - 2)\ndef run():\n fib(25)",
         "local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end"
         " function run() fib(25) end"},
    };
    std::printf("%-10s %10s %10s %10s %8s\n", "workload", "quarvel s", "python3 s", "lua5.4 s", "vs py");
    for (const Workload& w : workloads) {
        double ours = bestOf(3, w.script);
        double python = pythonSeconds(w.python);
        std::printf("%-10s", w.name);
        printFigure(ours);
        printFigure(python);
        printFigure(luaSeconds(w.lua));
        if (python > 0) std::printf(" %8.2f", ours / python);
        std::printf("\n");
    }
    return 0;
}
