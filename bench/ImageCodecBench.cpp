// Image codec speed: JPEG and PNG encoding and decoding of a 1920x1080 picture through
// the media layer's codec, in memory, beside OpenCV's imencode and imdecode in the same
// run (when the build found OpenCV) at equal nominal quality: frame quality 0.9 is 90 on
// the familiar 0-100 JPEG scale, both with 4:2:0 chroma; sizes and PSNR are printed.
// Usage: ImageCodecBench [PICTURE]   PICTURE: an image file to use (the OpenCV peer
// writes data/picture_1920x1080.png); without it a synthetic picture is made.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "Errors/QvException.h"
#include "Files/QvFile.h"
#include "Media/QvMediaLayer.h"
#include "PictureTiming.h"
#include "QvGWorld/QvPixelBuffer.h"

#ifdef QV_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

template <class Action>
double report(const char* name, Action&& action) {
    double seconds = secondsPerCall(action);
    printPictureRate(name, seconds);
    return seconds;
}

#ifdef QV_HAVE_OPENCV
// OpenCV's own input: a 3-channel BGR matrix of the same pixels.
void comparePeer(QvPixelBuffer& picture, double ourEncode, double ourDecode) {
    cv::Mat bgra(picture.height(), picture.width(), CV_8UC4, picture.lock(), picture.rowBytes());
    cv::Mat bgr;
    cv::cvtColor(bgra, bgr, cv::COLOR_BGRA2BGR);
    picture.unlock();
    cv::setNumThreads(1);
    std::vector<uchar> jpeg;
    const std::vector<int> quality = {cv::IMWRITE_JPEG_QUALITY, 90};
    double encode = report("opencv.jpeg_encode_q90", [&] { cv::imencode(".jpg", bgr, jpeg, quality); });
    double decode = report("opencv.jpeg_decode", [&] { cv::imdecode(jpeg, cv::IMREAD_COLOR); });
    std::vector<uint8_t> ours = QvTheMediaLayer().encodeImage(picture, "JPEG", 0.9);
    std::unique_ptr<QvPixelBuffer> back = QvTheMediaLayer().decodeImage(ours.data(), ours.size());
    cv::Mat ourBgr;
    cv::cvtColor(cv::Mat(back->height(), back->width(), CV_8UC4, back->lock(), back->rowBytes()), ourBgr,
                 cv::COLOR_BGRA2BGR);
    back->unlock();
    std::printf("# jpeg at quality 90: ours %zu B, PSNR %.2f dB; opencv %zu B, PSNR %.2f dB\n", ours.size(),
                cv::PSNR(bgr, ourBgr), jpeg.size(), cv::PSNR(bgr, cv::imdecode(jpeg, cv::IMREAD_COLOR)));
    std::printf("# ratio to OpenCV (lower is faster): jpeg encode %.2fx, jpeg decode %.2fx\n", ourEncode / encode,
                ourDecode / decode);
}
#endif

std::unique_ptr<QvPixelBuffer> loadPicture(const char* path) {
    QvMediaFileLocation fileSpec;
    if (QvFile(path).getFSSpec(&fileSpec) != QV_FILE_OK) return nullptr;
    return QvTheMediaLayer().importImage(fileSpec);
}
}

int main(int argc, char** argv) {
    QvTheMediaLayer().start();
    try {
        std::unique_ptr<QvPixelBuffer> picture = argc > 1 ? loadPicture(argv[1]) : syntheticPicture(kFrameWidth, kFrameHeight);
        if (!picture || picture->width() != kFrameWidth || picture->height() != kFrameHeight) {
            std::fprintf(stderr, "ImageCodecBench: need a %dx%d picture\n", kFrameWidth, kFrameHeight);
            return 1;
        }
        std::printf("# picture: %s\n", argc > 1 ? argv[1] : "synthetic");
        std::vector<uint8_t> jpeg, png;
        QvMediaLayer& media = QvTheMediaLayer();
        double encode = report("media.jpeg_encode_q0.9", [&] { jpeg = media.encodeImage(*picture, "JPEG", 0.9); });
        double decode = report("media.jpeg_decode", [&] { media.decodeImage(jpeg.data(), jpeg.size()); });
        report("media.png_encode", [&] { png = media.encodeImage(*picture, "PNG", 1.0); });
        report("media.png_decode", [&] { media.decodeImage(png.data(), png.size()); });
        std::printf("# encoded sizes: jpeg q0.9 %zu B, png %zu B\n", jpeg.size(), png.size());
#ifdef QV_HAVE_OPENCV
        comparePeer(*picture, encode, decode);
#else
        (void)encode;
        (void)decode;
        std::printf("# OpenCV not found at build time: no peer figures\n");
#endif
    } catch (QvException* error) {
        std::fprintf(stderr, "ImageCodecBench: %s\n", error->message().c_str());
        delete error;
        return 1;
    }
    QvTheMediaLayer().stop();
    return 0;
}
