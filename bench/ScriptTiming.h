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
