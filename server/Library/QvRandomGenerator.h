#pragma once
#include <cstdint>
#include <mutex>

// The classic 15-bit linear congruential generator behind Math.Random: the state
// moves to state x 214013 + 2531011 (mod 2^32) and each draw is bits 16 to 30 of it.
// One generator serves the whole process; a fresh one starts from state 1 and draws
// 41, 18467, 6334, ...
class QvRandomGenerator {
public:
    static constexpr int kLargest = 32767;

    static QvRandomGenerator& process();

    // The next value, 0 to kLargest.
    int next();
    void seed(uint32_t state);

    // The state a script's seed gives: trunc(seed x 1000) modulo 65535 (the remainder
    // keeps the dividend's sign), as a 32-bit pattern; 0 when that is not a number.
    static uint32_t stateForSeed(double seed);

private:
    std::mutex lock_;
    uint32_t state_ = 1;
};
