#include "Library/QvRandomGenerator.h"

#include <cmath>

QvRandomGenerator& QvRandomGenerator::process() {
    static QvRandomGenerator generator;
    return generator;
}

int QvRandomGenerator::next() {
    std::lock_guard<std::mutex> hold(lock_);
    state_ = state_ * 214013u + 2531011u;
    return int((state_ >> 16) & 0x7FFF);
}

void QvRandomGenerator::seed(uint32_t state) {
    std::lock_guard<std::mutex> hold(lock_);
    state_ = state;
}

uint32_t QvRandomGenerator::stateForSeed(double seed) {
    double remainder = std::fmod(std::trunc(seed * 1000), 65535);
    if (!std::isfinite(remainder)) return 0;
    return uint32_t(int32_t(remainder));
}
