// Times the interpreter's hot loops and, when python3 is installed, the same loops in
// CPython, then prints both and their ratio.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ScriptTiming.h"

namespace {
struct Workload {
    const char* name;
    std::string script;
    const char* python;
};

// The loop inside one python3 process, timed there; negative when python3 is missing.
double pythonSeconds(const char* body) {
    return peerSeconds("python3 -c \"import time\nbest=1e9\nfor _ in range(3):\n t=time.perf_counter()\n" +
                       std::string(body) + "\n best=min(best,time.perf_counter()-t)\nprint(best)\"");
}
}

int main() {
    const std::string bigText(1 << 20, 'x');
    const Workload workloads[] = {
        {"add_1e6", "set x to 0; repeat 1000000 times add 1 to x;",
         " x=0\n for i in range(1000000):\n  x += 1"},
        {"while_compare_set_1e6", "set x to 0; repeat while x < 1000000 set x to x + 1;",
         " x=0\n while x < 1000000:\n  x = x + 1"},
        {"read_1MB_text_1e5",
         "set big to \"" + bigText + "\"; set n to 0; repeat 100000 times set n to length of big;",
         " big='x'*(1<<20)\n n=0\n for i in range(100000):\n  n = len(big)"},
    };
    std::printf("%-24s %12s %12s %8s\n", "workload", "quarvel s", "python3 s", "ratio");
    for (const Workload& w : workloads) {
        double ours = bestOf(3, w.script);
        double theirs = pythonSeconds(w.python);
        if (theirs > 0)
            std::printf("%-24s %12.4f %12.4f %8.2f\n", w.name, ours, theirs, ours / theirs);
        else
            std::printf("%-24s %12.4f %12s %8s\n", w.name, ours, "-", "-");
    }
    return 0;
}
