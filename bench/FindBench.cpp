// Picture search speed, one thread: a 32x32 and a 64x64 pattern cut at (300, 200) from
// a 640x480 grey frame of random bytes, every placement at scale 1, beside OpenCV's
// matchTemplate (squared differences, through the DFT) when the build found it, and a
// plain C++ loop summing absolute differences at every placement (this file is built
// with -O3 -march=native so that the loop gets the compiler's best). The search code
// itself lives in the engine library, built with the project's usual flags.
// Prints "NAME SECONDS RATE UNIT" per measurement and "# ratio ..." lines.
// Usage: FindBench [FILTER]   only measurements whose name contains FILTER run.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "Find/QvFindSearch.h"
#include "PictureTiming.h"

#ifdef QV_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

using namespace QvFind;

namespace {
constexpr int kWidth = 640, kHeight = 480, kCutX = 300, kCutY = 200;

// Grey bytes in a buffer of the given row length.
struct GreyPicture {
    int width, height;
    std::vector<uint8_t> bytes;
    GreyPicture(int w, int h) : width(w), height(h), bytes(size_t(w) * h) {}
    uint8_t* row(int y) { return bytes.data() + size_t(y) * width; }
    QvPlane<const bgPix> plane() const {
        return {reinterpret_cast<const bgPix*>(bytes.data()), ptrdiff_t(width), width, height};
    }
};

GreyPicture randomSource() {
    GreyPicture source(kWidth, kHeight);
    uint32_t seed = 5;
    for (uint8_t& b : source.bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = uint8_t(seed >> 24);
    }
    return source;
}

GreyPicture cutOut(GreyPicture& source, int size, bool noisy) {
    GreyPicture match(size, size);
    uint32_t seed = 9;
    for (int y = 0; y < size; ++y) {
        std::memcpy(match.row(y), source.row(kCutY + y) + kCutX, size_t(size));
        if (noisy)
            for (int x = 0; x < size; ++x) {
                seed = seed * 1664525u + 1013904223u;
                match.row(y)[x] = uint8_t(std::clamp(int(match.row(y)[x]) + int(seed >> 30) - 1, 0, 255));
            }
    }
    return match;
}

// The peer loop: the sum of absolute differences at every placement.
void plainSadSearch(const uint8_t* image, int iw, int ih, const uint8_t* pattern, int size, uint32_t* out) {
    int ow = iw - size + 1, oh = ih - size + 1;
    for (int y = 0; y < oh; ++y)
        for (int x = 0; x < ow; ++x) {
            uint32_t s = 0;
            for (int j = 0; j < size; ++j) {
                const uint8_t* r = image + size_t(y + j) * iw + x;
                const uint8_t* q = pattern + size_t(j) * size;
                for (int i = 0; i < size; ++i) s += std::abs(int(r[i]) - int(q[i]));
            }
            out[size_t(y) * ow + x] = s;
        }
}

class Runner {
public:
    explicit Runner(const char* filter) : filter_(filter ? filter : "") {}
    bool wanted(const std::string& name) const { return name.find(filter_) != std::string::npos; }

    double time(const std::string& name, const std::function<void()>& action, double placementPixels) {
        if (!wanted(name)) return 0;
        double seconds = 1e9;
        for (int round = 0; round < 3; ++round) seconds = std::min(seconds, secondsPerCall(action));
        std::printf("%s %.4g %.4g Gpx/s\n", name.c_str(), seconds, placementPixels / seconds / 1e9);
        return seconds;
    }
    static void ratio(const char* name, double ours, double peer, const char* goal) {
        if (ours > 0 && peer > 0) std::printf("# ratio %s %.2f (%s)\n", name, ours / peer, goal);
    }

private:
    std::string filter_;
};

QvFindRange everyPlacement(int size) { return {0, 0, kWidth - size + 1, kHeight - size + 1}; }

// The grey picture's levels in another pixel class.
template <class P>
std::vector<P> converted(const GreyPicture& grey) {
    std::vector<P> pixels(grey.bytes.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        uint8_t level = grey.bytes[i];
        if constexpr (std::is_same_v<P, bcPix>) pixels[i] = {level, uint8_t(255 - level), uint8_t(level / 2), 255};
        if constexpr (std::is_same_v<P, fgPix>) pixels[i] = {level / 255.0f};
        if constexpr (std::is_same_v<P, fcPix>) pixels[i] = {1.0f, level / 255.0f, 1 - level / 255.0f, level / 510.0f};
    }
    return pixels;
}

// The map of the same search in frame, image_mono and image pixels, and the reference
// core on grey bytes.
void mapOtherClasses(Runner& runner, GreyPicture& source, GreyPicture& match, int size, QvPlane<fgPix> map,
                     double work) {
    const std::string suffix = "_" + std::to_string(size);
    auto timeClass = [&](auto pixel, const char* name) {
        using P = decltype(pixel);
        std::vector<P> s = converted<P>(source), m = converted<P>(match);
        QvPlane<const P> sourcePlane{s.data(), ptrdiff_t(kWidth * sizeof(P)), kWidth, kHeight};
        QvPlane<const P> matchPlane{m.data(), ptrdiff_t(size * sizeof(P)), size, size};
        runner.time(std::string("find.map_") + name + suffix, [&] {
            scoreMap<P>(QvFindCore::vectors, sourcePlane, matchPlane, everyPlacement(size), {}, map);
        }, work);
        if (size == 32)
            runner.time(std::string("find.reference_map_") + name + suffix, [&] {
                scoreMap<P>(QvFindCore::reference, sourcePlane, matchPlane, everyPlacement(size), {}, map);
            }, work);
    };
    timeClass(bgPix{}, "frame_mono");
    timeClass(bcPix{}, "frame");
    timeClass(fgPix{}, "image_mono");
    timeClass(fcPix{}, "image");
}

}  // namespace

int main(int argc, char** argv) {
    Runner runner(argc > 1 ? argv[1] : nullptr);
    GreyPicture source = randomSource();
    for (int size : {32, 64}) {
        const std::string suffix = "_" + std::to_string(size);
        const double work = double(kWidth - size + 1) * (kHeight - size + 1) * size * size;
        GreyPicture exact = cutOut(source, size, false), noisy = cutOut(source, size, true);
        QvFindBest found = bestPlacement<bgPix>(QvFindCore::vectors, source.plane(), exact.plane(),
                                                everyPlacement(size), {}, false);
        std::printf("# %dx%d found at (%g, %g), score %g\n", size, size, found.x, found.y, found.score);

        // A perfect fit ends the search after its row; the noisy pattern is scanned to the end.
        double exactHit = runner.time("find.exact_hit" + suffix, [&] {
            bestPlacement<bgPix>(QvFindCore::vectors, source.plane(), exact.plane(), everyPlacement(size), {}, false);
        }, work);
        double everyRow = runner.time("find.noisy_every_placement" + suffix, [&] {
            bestPlacement<bgPix>(QvFindCore::vectors, source.plane(), noisy.plane(), everyPlacement(size), {}, false);
        }, work);
        std::vector<float> scores(size_t(kWidth - size + 1) * (kHeight - size + 1));
        QvPlane<fgPix> map{reinterpret_cast<fgPix*>(scores.data()), ptrdiff_t((kWidth - size + 1) * sizeof(float)),
                           kWidth - size + 1, kHeight - size + 1};
        double mapTime = runner.time("find.map" + suffix, [&] {
            scoreMap<bgPix>(QvFindCore::vectors, source.plane(), exact.plane(), everyPlacement(size), {}, map);
        }, work);
        runner.time("find.narrow_vectors_map" + suffix, [&] {
            scoreMap<bgPix>(QvFindCore::narrowVectors, source.plane(), exact.plane(), everyPlacement(size), {}, map);
        }, work);
        mapOtherClasses(runner, source, exact, size, map, work);

        std::vector<uint32_t> sads(scores.size());
        double plain = runner.time("cpp.sad_search" + suffix, [&] {
            plainSadSearch(source.bytes.data(), kWidth, kHeight, exact.bytes.data(), size, sads.data());
        }, work);
        Runner::ratio(("find.noisy_every_placement" + suffix + " / cpp.sad_search").c_str(), everyRow, plain,
                      "goal at most 0.33");
        Runner::ratio(("find.map" + suffix + " / cpp.sad_search").c_str(), mapTime, plain, "goal at most 0.33");
        Runner::ratio(("find.exact_hit" + suffix + " / cpp.sad_search").c_str(), exactHit, plain, "goal at most 0.33");
#ifdef QV_BENCH_OPENCV
        cv::Mat image(kHeight, kWidth, CV_8UC1, source.bytes.data()), pattern(size, size, CV_8UC1, exact.bytes.data());
        cv::Mat result;
        cv::setNumThreads(1);
        double opencv = runner.time("ocv.matchtpl_sqdiff" + suffix, [&] {
            cv::matchTemplate(image, pattern, result, cv::TM_SQDIFF);
        }, work);
        Runner::ratio(("find.noisy_every_placement" + suffix + " / ocv.matchtpl_sqdiff").c_str(), everyRow, opencv,
                      "goal at most 1.5");
        Runner::ratio(("find.map" + suffix + " / ocv.matchtpl_sqdiff").c_str(), mapTime, opencv, "goal at most 1.5");
        Runner::ratio(("find.exact_hit" + suffix + " / ocv.matchtpl_sqdiff").c_str(), exactHit, opencv,
                      "goal at most 1.5");
#endif
    }
    return 0;
}
