// Pixel kernel speed on 1920x1080 pictures, one thread, beside OpenCV in the same run
// (when the build found it) and memcpy, in processor seconds of the calling thread.
// Prints "NAME SECONDS RATE UNIT" per operation and "# ratio NAME ours/peer (goal)"
// for each pairing.
// Usage: ImageOpsBench [FILTER]   only operations whose name contains FILTER run.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "Kernels/QvKernels.h"
#include "PeerComparison.h"
#include "PictureTiming.h"

#ifdef QV_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

using namespace QvKernels;

namespace {

// A picture laid out like a value's pixels: rows of whole 16-pixel blocks, 64-byte aligned.
template <class P>
class BenchPicture {
public:
    BenchPicture() : storage_(static_cast<uint8_t*>(std::aligned_alloc(64, bytes())), std::free) {
        std::memset(storage_.get(), 0, bytes());
        plane_ = {reinterpret_cast<P*>(storage_.get()), static_cast<ptrdiff_t>(rowBytes()), kFrameWidth, kFrameHeight};
    }
    static size_t rowBytes() { return static_cast<size_t>(QvPaddedRowBytes<P>(kFrameWidth)); }
    static size_t bytes() { return rowBytes() * kFrameHeight; }
    QvPlane<P> plane() const { return plane_; }
    operator QvPlane<P>() const { return plane_; }
    operator QvPlane<const P>() const { return plane_; }
    void* data() const { return storage_.get(); }
#ifdef QV_HAVE_OPENCV
    cv::Mat mat(int type) const { return cv::Mat(kFrameHeight, kFrameWidth, type, storage_.get(), rowBytes()); }
#endif

private:
    std::unique_ptr<uint8_t, void (*)(void*)> storage_;
    QvPlane<P> plane_;
};

// The 3x3 kernel of the peer benchmarks (not separable, not symmetric).
const float kKernel3[9] = {0.05f, 0.10f, 0.07f, 0.12f, 0.30f, 0.11f, 0.06f, 0.09f, 0.10f};
}  // namespace

int main(int argc, char** argv) {
    Runner runner("kernels", argc > 1 ? argv[1] : nullptr, threadSecondsNow);
    const Work pixels{kFrameMegapixels, "Mpx/s"};
    auto gigabytes = [](double bytes) { return Work{bytes / 1e9, "GB/s"}; };

    std::unique_ptr<QvPixelBuffer> gworld = syntheticPicture(kFrameWidth, kFrameHeight);
    QvPlane<bcPix> gworldPixels = QvArgbPlane(reinterpret_cast<uint32_t*>(gworld->lock()), gworld->rowBytes(),
                                              kFrameWidth, kFrameHeight);
    BenchPicture<bcPix> frame, mirrored, frameOut;
    BenchPicture<bgPix> grey, greyOut;
    BenchPicture<fgPix> greyFloat, greyFloatOut;
    BenchPicture<fcPix> image, imageOut;
    convertPixels(frame, gworldPixels);
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) mirrored.plane().row(y)[x] = frame.plane().row(y)[kFrameWidth - 1 - x];
    convertPixels(grey, frame);
    convertPixels(greyFloat, grey);
    convertPixels(image, frame);
    fgPix kernel3[9];
    for (int i = 0; i < 9; ++i) kernel3[i].grey = kKernel3[i];
    QvPlane<const fgPix> kernel{kernel3, 3 * sizeof(fgPix), 3, 3};
    bgPix ones[9];
    std::fill(ones, ones + 9, bgPix{1});
    const std::vector<QvMaskTap> taps3 = maskTaps(QvPlane<const bgPix>{ones, 3, 3, 3});
    const double angle = 10 * M_PI / 180;
    const QvAffineMatrix rotation{1.1 * std::cos(angle), -1.1 * std::sin(angle), 1.1 * std::sin(angle),
                                  1.1 * std::cos(angle)};
    const size_t frameBytes = static_cast<size_t>(kFrameWidth) * kFrameHeight * 4;

    std::function<void()> none;
#ifdef QV_HAVE_OPENCV
    cv::setNumThreads(1);
    cv::Mat frameMat = frame.mat(CV_8UC4), mirroredMat = mirrored.mat(CV_8UC4), greyMat = grey.mat(CV_8U),
            greyFloatMat = greyFloat.mat(CV_32F), imageMat = image.mat(CV_32FC4), out;
    cv::Mat kernelMat(3, 3, CV_32F, const_cast<float*>(kKernel3));
    cv::Mat affine = (cv::Mat_<double>(2, 3) << rotation.a, rotation.b, 0, rotation.c, rotation.d, 0);
#define QV_PEER(name, call) name, [&] { call; }
#else
#define QV_PEER(name, call) "", none
#endif

    runner.compare("add_bgra8_sat", [&] { combinePictures(QvPixelOperator::add, frameOut, frame, mirrored); },
                   QV_PEER("ocv.add_bgra8_sat", cv::add(frameMat, mirroredMat, out)), gigabytes(3.0 * frameBytes),
                   1.2);
    runner.compare("mul_scalar_f32x4",
                   [&] { combineWithConstant(QvPixelOperator::multiply, imageOut, image, QvColor{1.5, 1.5, 1.5}); },
                   QV_PEER("ocv.mul_scalar_convertto_f32x4", imageMat.convertTo(out, -1, 1.5)),
                   gigabytes(8.0 * frameBytes), 1.2);
    runner.compare("filter2d_3x3_f32", [&] { convolve(greyFloatOut, greyFloat, kernel); },
                   QV_PEER("ocv.filter2d_3x3_f32", cv::filter2D(greyFloatMat, out, -1, kernelMat)), pixels, 1.5);
    runner.compare("filter2d_3x3_u8", [&] { convolve(greyOut, grey, kernel); },
                   QV_PEER("ocv.filter2d_3x3_u8", cv::filter2D(greyMat, out, -1, kernelMat)), pixels, 0);
    runner.compare("median3_u8", [&] { medianFilter(greyOut, grey, taps3, 0.5); },
                   QV_PEER("ocv.median3_u8", cv::medianBlur(greyMat, out, 3)), pixels, 1.5);
    runner.compare("median3_bgra8", [&] { medianFilter(frameOut, frame, taps3, 0.5); },
                   QV_PEER("ocv.median3_bgra8", cv::medianBlur(frameMat, out, 3)), pixels, 0);
    runner.compare("warp_affine_bgra8_linear",
                   [&] { transformAffine(frameOut, frame, rotation, bcPix{0, 0, 0, 255}); },
                   QV_PEER("ocv.warp_affine_bgra8_linear",
                           cv::warpAffine(frameMat, out, affine, frameMat.size(), cv::INTER_LINEAR)),
                   pixels, 1.5);
    runner.compare("frame_to_gworld", [&] { convertPixels(gworldPixels, frame); }, "memcpy",
                   [&] { std::memcpy(gworld->row(0), frame.data(), frameBytes); }, gigabytes(2.0 * frameBytes), 1.2);
    runner.compare("gworld_to_frame", [&] { convertPixels(frameOut, gworldPixels); }, "memcpy",
                   [&] { std::memcpy(frameOut.data(), gworld->row(0), frameBytes); }, gigabytes(2.0 * frameBytes),
                   1.2);
    runner.compare("frame_to_image", [&] { convertPixels(imageOut, frame); }, "", none, pixels, 0);
    runner.compare("image_to_frame", [&] { convertPixels(frameOut, image); }, "", none, pixels, 0);
    runner.compare("frame_to_frame_mono", [&] { convertPixels(greyOut, frame); },
                   QV_PEER("ocv.cvtcolor_bgra2gray", cv::cvtColor(frameMat, out, cv::COLOR_BGRA2GRAY)), pixels, 0);
    runner.compare("average_frame", [&] { averageOfPixels(frame); },
                   QV_PEER("ocv.mean_bgra8", cv::mean(frameMat)), pixels, 0);
    runner.compare("average_image", [&] { averageOfPixels(image); },
                   QV_PEER("ocv.mean_f32x4", cv::mean(imageMat)), pixels, 0);
    gworld->unlock();
    return 0;
}
