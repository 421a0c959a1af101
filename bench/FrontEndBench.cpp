// Lexing and parsing speed: a generated script of many lines through the session's
// syntax check, beside python3 compiling a Python file with the same statements.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "Session/QvParser.h"

namespace {
// Cycles through assignments, arithmetic, conditionals, loops and calls.
std::string quarvelLine(int i) {
    switch (i % 6) {
    case 0: return "set x" + std::to_string(i % 50) + " to " + std::to_string(i) + " * 2 + 1;\n";
    case 1: return "add x" + std::to_string(i % 50) + " to total;\n";
    case 2: return "if total > " + std::to_string(i) + " then print \"big\"; else print total;\n";
    case 3: return "repeat 3 times add 1 to total;\n";
    case 4: return "set v to {1, 2, x" + std::to_string(i % 50) + "};\n";
    default: return "print v[1] + total / 3;\n";
    }
}

std::string pythonLine(int i) {
    switch (i % 6) {
    case 0: return "x" + std::to_string(i % 50) + " = " + std::to_string(i) + " * 2 + 1\n";
    case 1: return "total += x" + std::to_string(i % 50) + "\n";
    case 2: return "print(\"big\") if total > " + std::to_string(i) + " else print(total)\n";
    case 3: return "for _ in range(3): total += 1\n";
    case 4: return "v = [1, 2, x" + std::to_string(i % 50) + "]\n";
    default: return "print(v[1] + total / 3)\n";
    }
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
}

int main(int argc, char** argv) {
    const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::string script = "set total to 0;\n";
    std::string python = "total = 0\n";
    for (int i = 0; i < 50; ++i) {
        script += "set x" + std::to_string(i) + " to 0;\n";
        python += "x" + std::to_string(i) + " = 0\n";
    }
    for (int i = 0; i < lines; ++i) {
        script += quarvelLine(i);
        python += pythonLine(i);
    }

    long before = peakKilobytes();
    auto start = std::chrono::steady_clock::now();
    {
        QvParser session(script.c_str(), static_cast<long>(script.size()), nullptr, true);
        session.CheckSyntax();
        if (session.getParseErrorFlag()) {
            std::fprintf(stderr, "the generated script has syntax errors\n");
            return 1;
        }
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    long peak = peakKilobytes();
    std::printf("quarvel: %d lines lexed and parsed in %.3f s: %.0f lines/s, peak memory +%ld MB\n",
                lines, seconds, lines / seconds, (peak - before) / 1024);

    const char* pythonFile = "/tmp/quarvel_frontend_bench.py";
    std::ofstream(pythonFile) << python;
    std::string command = std::string("python3 -c \"import time, resource; f = '") + pythonFile +
                          "'; s = open(f).read(); t = time.perf_counter(); compile(s, f, 'exec'); "
                          "t = time.perf_counter() - t; "
                          "print('python3: %d lines compiled in %.3f s: %.0f lines/s, peak memory %d MB' % "
                          "(" + std::to_string(lines) + ", t, " + std::to_string(lines) +
                          " / t, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss // 1024))\"";
    if (std::system(command.c_str()) != 0) std::printf("python3: not available\n");
    std::remove(pythonFile);
    return 0;
}
