// Image codec speed: JPEG and PNG encoding and decoding of a 1920x1080 picture through
// the media layer's codec, in memory, to set beside OpenCV's imencode and imdecode.
// Usage: ImageCodecBench [PICTURE]   PICTURE: an image file to use (the OpenCV peer
// writes data/picture_1920x1080.png); without it a synthetic picture is made.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "Errors/QvException.h"
#include "Files/QvFile.h"
#include "Media/QvMediaLayer.h"
#include "QvGWorld/QvPixelBuffer.h"

namespace {
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr double kMegapixels = kWidth * kHeight / 1e6;

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

// Median seconds per call over batches of at least 10 ms that together take about 1.5 s,
// after one warm-up call.
template <class Action>
double secondsPerCall(Action&& action) {
    action();
    double start = now();
    action();
    double one = std::max(now() - start, 1e-9);
    long batch = std::max(1L, static_cast<long>(0.01 / one));
    long samples = std::clamp(static_cast<long>(1.5 / (one * batch)), 3L, 200L);
    std::vector<double> times;
    for (long s = 0; s < samples; ++s) {
        start = now();
        for (long b = 0; b < batch; ++b) action();
        times.push_back((now() - start) / batch);
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

template <class Action>
void report(const char* name, Action&& action) {
    double seconds = secondsPerCall(action);
    std::printf("%s %.4g %.4g Mpx/s\n", name, seconds, kMegapixels / seconds);
}

// Shapes under smooth multi-scale waves and mild noise: roughly photograph-like.
std::unique_ptr<QvPixelBuffer> syntheticPicture() {
    std::unique_ptr<QvPixelBuffer> picture = QvPixelBuffer::create(kWidth, kHeight);
    std::mt19937 random(20240601);
    std::normal_distribution<double> noise(0.0, 2.0);
    picture->lock();
    for (int y = 0; y < kHeight; ++y) {
        uint32_t* row = picture->row(y);
        for (int x = 0; x < kWidth; ++x) {
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

std::unique_ptr<QvPixelBuffer> loadPicture(const char* path) {
    QvMediaFileLocation fileSpec;
    if (QvFile(path).getFSSpec(&fileSpec) != QV_FILE_OK) return nullptr;
    return QvTheMediaLayer().importImage(fileSpec);
}
}

int main(int argc, char** argv) {
    QvTheMediaLayer().start();
    try {
        std::unique_ptr<QvPixelBuffer> picture = argc > 1 ? loadPicture(argv[1]) : syntheticPicture();
        if (!picture || picture->width() != kWidth || picture->height() != kHeight) {
            std::fprintf(stderr, "ImageCodecBench: need a %dx%d picture\n", kWidth, kHeight);
            return 1;
        }
        std::printf("# picture: %s\n", argc > 1 ? argv[1] : "synthetic");
        std::vector<uint8_t> jpeg, png;
        QvMediaLayer& media = QvTheMediaLayer();
        report("media.jpeg_encode_q0.9", [&] { jpeg = media.encodeImage(*picture, "JPEG", 0.9); });
        report("media.jpeg_decode", [&] { media.decodeImage(jpeg.data(), jpeg.size()); });
        report("media.png_encode", [&] { png = media.encodeImage(*picture, "PNG", 1.0); });
        report("media.png_decode", [&] { media.decodeImage(png.data(), png.size()); });
        std::printf("# encoded sizes: jpeg q0.9 %zu B, png %zu B\n", jpeg.size(), png.size());
    } catch (QvException* error) {
        std::fprintf(stderr, "ImageCodecBench: %s\n", error->message().c_str());
        delete error;
        return 1;
    }
    QvTheMediaLayer().stop();
    return 0;
}
