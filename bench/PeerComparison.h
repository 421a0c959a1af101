#pragma once
// Our figure beside a peer's, measured in the same run, for the picture benchmarks.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>

#include "PictureTiming.h"

struct Work {
    double amount;  // units of `unit` done by one call
    const char* unit;
};

class Runner {
public:
    // `clock` measures each call: wall time by default, the thread's processor time where
    // a loaded machine would otherwise blur the figures.
    Runner(std::string prefix, const char* filter, double (*clock)() = wallSecondsNow)
        : prefix_(std::move(prefix)), filter_(filter ? filter : ""), clock_(clock) {}

    // Times ours and the peer (when there is one) alternately, three rounds, keeping
    // the best median of each, so both meet the same load on a shared machine; prints
    // the ratio ours / peer beside its goal (none when 0).
    void compare(const std::string& name, const std::function<void()>& ours, const char* peerName,
                 const std::function<void()>& peer, Work work, double goal) {
        if (name.find(filter_) == std::string::npos) return;
        double oursSeconds = 1e9, peerSeconds = 1e9;
        for (int round = 0; round < 3; ++round) {
            oursSeconds = std::min(oursSeconds, secondsPerCall(ours, clock_));
            if (peer) peerSeconds = std::min(peerSeconds, secondsPerCall(peer, clock_));
        }
        print(prefix_ + "." + name, oursSeconds, work);
        if (!peer) return;
        print(peerName, peerSeconds, work);
        std::printf("# ratio %s %.2f", name.c_str(), oursSeconds / peerSeconds);
        if (goal > 0) std::printf(" (goal %.2g)", goal);
        std::printf("\n");
    }

private:
    static void print(const std::string& name, double seconds, Work work) {
        std::printf("%s %.4g %.4g %s\n", name.c_str(), seconds, work.amount / seconds, work.unit);
    }
    std::string prefix_;
    std::string filter_;
    double (*clock_)();
};
