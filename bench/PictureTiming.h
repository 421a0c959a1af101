#pragma once
// Timing of picture operations and a photograph-like test picture for the image
// benchmarks.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "QvGWorld/QvPixelBuffer.h"

// The picture size the image benchmarks work on: a 1080p video frame.
constexpr int kFrameWidth = 1920;
constexpr int kFrameHeight = 1080;
constexpr double kFrameMegapixels = kFrameWidth * kFrameHeight / 1e6;

// One line "NAME SECONDS MPX/S" for an operation on a whole 1080p picture.
inline void printPictureRate(const char* name, double seconds) {
    std::printf("%s %.4g %.4g Mpx/s\n", name, seconds, kFrameMegapixels / seconds);
}

// Wall time: what a user waits for.
inline double wallSecondsNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The calling thread's processor time: on a shared machine wall time also counts
// whatever else runs there (single-threaded work only).
inline double threadSecondsNow() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

// Median seconds per call by `clock` over batches of at least 10 ms that together take
// about 1.5 s, after one warm-up call.
template <class Action>
double secondsPerCall(Action&& action, double (*clock)() = wallSecondsNow) {
    action();
    double start = clock();
    action();
    double one = std::max(clock() - start, 1e-9);
    long batch = std::max(1L, static_cast<long>(0.01 / one));
    long samples = std::clamp(static_cast<long>(1.5 / (one * batch)), 3L, 200L);
    std::vector<double> times;
    for (long s = 0; s < samples; ++s) {
        start = clock();
        for (long b = 0; b < batch; ++b) action();
        times.push_back((clock() - start) / batch);
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
