#pragma once
// Timing of picture operations and a photograph-like test picture for the image
// benchmarks.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "QvGWorld/QvPixelBuffer.h"

inline double secondsNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Median seconds per call over batches of at least 10 ms that together take about
// 1.5 s, after one warm-up call.
template <class Action>
double secondsPerCall(Action&& action) {
    action();
    double start = secondsNow();
    action();
    double one = std::max(secondsNow() - start, 1e-9);
    long batch = std::max(1L, static_cast<long>(0.01 / one));
    long samples = std::clamp(static_cast<long>(1.5 / (one * batch)), 3L, 200L);
    std::vector<double> times;
    for (long s = 0; s < samples; ++s) {
        start = secondsNow();
        for (long b = 0; b < batch; ++b) action();
        times.push_back((secondsNow() - start) / batch);
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

// Shapes under smooth multi-scale waves and mild noise: roughly photograph-like.
inline std::unique_ptr<QvPixelBuffer> syntheticPicture(int width, int height) {
    std::unique_ptr<QvPixelBuffer> picture = QvPixelBuffer::create(width, height);
    std::mt19937 random(20240601);
    std::normal_distribution<double> noise(0.0, 2.0);
    picture->lock();
    for (int y = 0; y < height; ++y) {
        uint32_t* row = picture->row(y);
        for (int x = 0; x < width; ++x) {
            double waves = 40 * std::sin(x / 37.0) * std::cos(y / 53.0) + 25 * std::sin((x + 2 * y) / 9.0);
            double shape = ((x / 240 + y / 180) % 3) * 30;
            uint32_t channel[3];
            for (int c = 0; c < 3; ++c)
                channel[c] = static_cast<uint32_t>(std::clamp(100 + shape + waves * (1 + 0.2 * c) + noise(random), 0.0, 255.0));
            row[x] = 0xFF000000u | channel[0] << 16 | channel[1] << 8 | channel[2];
        }
    }
    picture->unlock();
    return picture;
}
