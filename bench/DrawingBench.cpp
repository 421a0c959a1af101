// Region search, Mandelbrot frames and drawing, one thread, beside their peers in the
// same run: OpenCV's connected components with statistics (when the build found
// OpenCV) and the brute-force Mandelbrot loop (every pixel iterated), built here with
// the project's flags. Drawing has no peer; its goal is 10,000 small shapes in 10 ms.
// Usage: DrawingBench [FILTER]   only workloads whose name contains FILTER run.
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "Fractal/QvFractalPictures.h"
#include "Images/QvImageValues.h"
#include "Plugins/QvPluginRegistry.h"
#include "PeerComparison.h"
#include "Region/QvRegionSearch.h"
#include "ScriptTiming.h"

#ifdef QV_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

// A 1920 x 1080 frame_mono, black with `count` white discs of radius 4 to 16 that
// keep 3 pixels apart, drawn with the canvas operations.
QvImageValueBM blobs(int count) {
    QvImageValueBM picture(1920, 1080);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x(20, 1899), y(20, 1059), radius(4, 16);
    struct Disc {
        int x, y, r;
    };
    std::vector<Disc> discs;
    while (int(discs.size()) < count) {
        Disc d{x(random), y(random), radius(random)};
        bool apart = true;
        for (const Disc& e : discs) {
            int dx = d.x - e.x, dy = d.y - e.y, gap = d.r + e.r + 3;
            apart = apart && dx * dx + dy * dy >= gap * gap;
        }
        if (apart) discs.push_back(d);
    }
    for (const Disc& d : discs) picture.DrawCircle(d.r, d.x, d.y, {1, 1, 1}, 1, {1, 1, 1}, true);
    return picture;
}

// The peer loop of the Mandelbrot workload: c = (-2.2 + x 3.2 / 640) + i (-1.2 + y 2.4
// / 480), iterated while n < 256 and |z|^2 <= 4.
void bruteForceMandelbrot(std::vector<int32_t>& out) {
    constexpr int kWidth = 640, kHeight = 480, kDepth = 256;
    for (int y = 0; y < kHeight; ++y) {
        double ci = -1.2 + y * (2.4 / kHeight);
        for (int x = 0; x < kWidth; ++x) {
            double cr = -2.2 + x * (3.2 / kWidth), zr = 0, zi = 0;
            int n = 0;
            while (n < kDepth && zr * zr + zi * zi <= 4.0) {
                double t = zr * zr - zi * zi + cr;
                zi = 2 * zr * zi + ci;
                zr = t;
                ++n;
            }
            out[size_t(y) * kWidth + x] = n;
        }
    }
}

// The Mandelbrot frame as Fractal.Mandelbrot makes it (trace, table, painting), over
// the peer's view: step 2.4 / 480 from (-2.2, 1.2).
void mandelbrotFrame(QvImageValueBC& frame) {
    using namespace QvFractal;
    QvEscapePicture picture = mandelbrotPicture(-0.6, 0, 2.395, 640, 480, 256);
    QvColouring colouring;
    paint(picture.grid, *colourTable(colouring, picture.minimum, 256), 256, frame.pixels().plane<bcPix>());
}

// The points the trace computed and the iterations they took.
void describeTrace() {
    QvFractal::QvEscapePicture picture = QvFractal::mandelbrotPicture(-0.6, 0, 2.395, 640, 480, 256);
    long points = 0, iterations = 0;
    for (int32_t y = 0; y < 480; ++y)
        for (int32_t x = 0; x < 640; ++x) {
            uint16_t cell = picture.grid.at(x, y);
            if (cell == QvFractal::kUncomputed) continue;
            ++points;
            iterations += cell == QvFractal::kInside ? 256 : cell;
        }
    std::vector<int32_t> counts(640 * 480);
    bruteForceMandelbrot(counts);
    long bruteIterations = 0;
    for (int32_t n : counts) bruteIterations += n;
    std::printf("# mandelbrot trace computed %ld of 307200 points, %ld iterations (brute force %ld)\n", points,
                iterations, bruteIterations);
}

// 10,000 small shapes on a 640 x 480 frame: circles (outlined and filled), rectangles
// and lines, a quarter each, with the four modes and weights mixed.
std::string shapesScript() {
    return "set f to frame;\n"
           "set size of f to {640, 480};\n"
           "set red to {1, 0, 0} as color;\n"
           "set i to 0;\n"
           "repeat 2500 times begin\n"
           "  set x to i * 37 - 620 * floor(i * 37 / 620) + 10;\n"
           "  set y to i * 53 - 460 * floor(i * 53 / 460) + 10;\n"
           "  Draw.Circle(&f, 6, x, y, red);\n"
           "  Draw.Circle(&f, 4, y, x - 460 * floor(x / 460), red, true, \"xor\");\n"
           "  Draw.Rectangle(&f, 8, 6, x, y, red, false, \"or\", 0.5);\n"
           "  Draw.Line(&f, x, y, x + 9, y + 4, red);\n"
           "  add 1 to i;\n"
           "end\n";
}

void drawShapes(Qv2DValue& canvas) {
    const QvColor red{1, 0, 0}, full{1, 1, 1}, half{0.5, 0.5, 0.5};
    for (int i = 0; i < 2500; ++i) {
        double x = (i * 37) % 620 + 10, y = (i * 53) % 460 + 10;
        canvas.DrawCircle(6, x, y, red, 1, full, false);
        canvas.DrawCircle(4, y, std::fmod(x, 460), red, 2, full, true);
        canvas.DrawRectangle(8, 6, x, y, red, 3, half, false);
        canvas.DrawLine(x, y, x + 9, y + 4, red, 1, full);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Runner runner("drawing", argc > 1 ? argv[1] : nullptr);
    std::function<void()> none;

    QvImageValueBM picture = blobs(1000);
    QvRegionCriteria criteria;
    criteria.value = 1;
    criteria.radius = 1.5;  // 8-connected, as the peer counts
    const QvRegionBounds bounds{0, 0, 1920, 1080};
    const QvPlane<const bgPix> pixels = picture.pixels().plane<bgPix>();
    std::printf("# regions found: %zu\n", QvRegionSearch::findRegions(pixels, bounds, criteria).size());
#ifdef QV_HAVE_OPENCV
    cv::setNumThreads(1);
    cv::Mat blobMat(1080, 1920, CV_8U, const_cast<bgPix*>(pixels.first), size_t(pixels.stride)), labels, stats,
        centroids;
#define QV_PEER(name, call) name, [&] { call; }
#else
#define QV_PEER(name, call) "", none
#endif
    runner.compare("region_1080p_1000blobs", [&] { QvRegionSearch::findRegions(pixels, bounds, criteria); },
                   QV_PEER("ocv.ccl_stats_bbdt_1000blobs",
                           cv::connectedComponentsWithStats(blobMat, labels, stats, centroids, 8, CV_32S,
                                                            cv::CCL_BBDT)),
                   Work{1920 * 1080 / 1e6, "Mpx/s"}, 2.0);

    describeTrace();
    QvImageValueBC frame(640, 480);
    std::vector<int32_t> counts(640 * 480);
    runner.compare("mandelbrot_640x480_256", [&] { mandelbrotFrame(frame); }, "cpp_o2.mandelbrot_640x480",
                   [&] { bruteForceMandelbrot(counts); }, Work{640 * 480 / 1e6, "Mpx/s"}, 0.25);

    QvImageValueBC canvas(640, 480);
    runner.compare("shapes_10000", [&] { drawShapes(canvas); }, "", none, Work{0.01, "Mshapes/s"}, 0);
    QvPluginRegistryInitInternal();
    if (std::string("shapes_10000_script").find(argc > 1 ? argv[1] : "") != std::string::npos)
        std::printf("drawing.shapes_10000_script %.4g\n", bestOf(5, shapesScript()));
    return 0;
}
