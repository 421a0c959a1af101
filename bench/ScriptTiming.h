#pragma once
// Timing helpers shared by the benchmarks that run scripts beside peer languages.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "Session/QvParser.h"

// Seconds one Execute of the script takes, its syntax check left out.
inline double secondsToRun(const std::string& script) {
    QvParser session(script.c_str(), static_cast<long>(script.size()), nullptr, false);
    session.CheckSyntax();
    session.getConsole().takeUnread();
    session.releaseConsole();
    auto start = std::chrono::steady_clock::now();
    session.Execute();
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::string output = session.getConsole().takeUnread();
    session.releaseConsole();
    if (session.getRunErrorFlag()) std::fprintf(stderr, "script failed: %s\n", output.c_str());
    return took.count();
}

inline double bestOf(int runs, const std::string& script) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) best = std::min(best, secondsToRun(script));
    return best;
}

// The one number a peer program prints (its own best timing); negative when the peer
// is missing or prints nothing.
inline double peerSeconds(const std::string& command) {
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) return -1;
    double seconds = -1;
    if (std::fscanf(pipe, "%lf", &seconds) != 1) seconds = -1;
    pclose(pipe);
    return seconds;
}

// A peer program defines run(); these time the best of three calls inside one process.
inline double pythonSeconds(const std::string& program) {
    return peerSeconds("python3 -c \"import time\n" + program +
                       "\nbest=1e9\nfor _ in range(3):\n t=time.perf_counter()\n run()\n"
                       " best=min(best,time.perf_counter()-t)\nprint(best)\"");
}

inline double luaSeconds(const std::string& program) {
    return peerSeconds("lua5.4 -e \"" + program +
                       " local best=1e9 for _=1,3 do local t=os.clock() run() best=math.min(best,os.clock()-t) end"
                       " print(best)\"");
}

// One piece of work written in Quarvel, Python (defining run()) and Lua (defining run()).
struct PeerWorkload {
    std::string name;
    std::string quarvel;
    std::string python;
    std::string lua;
};

// Times every workload in Quarvel and both peers, in that order and in the same run,
// and prints one line each with the ratios ours / CPython and ours / Lua.
template <class Workloads>
void comparePeers(const Workloads& workloads) {
    auto figure = [](double seconds) {
        if (seconds > 0)
            std::printf(" %10.4f", seconds);
        else
            std::printf(" %10s", "-");
    };
    auto ratio = [](double ours, double theirs) {
        if (theirs > 0)
            std::printf(" %8.2f", ours / theirs);
        else
            std::printf(" %8s", "-");
    };
    std::printf("%-22s %10s %10s %10s %8s %8s\n", "workload", "quarvel s", "python3 s", "lua5.4 s", "vs py",
                "vs lua");
    for (const PeerWorkload& w : workloads) {
        double ours = bestOf(3, w.quarvel);
        double python = pythonSeconds(w.python);
        double lua = luaSeconds(w.lua);
        std::printf("%-22s", w.name.c_str());
        figure(ours);
        figure(python);
        figure(lua);
        ratio(ours, python);
        ratio(ours, lua);
        std::printf("\n");
        std::fflush(stdout);
    }
}
