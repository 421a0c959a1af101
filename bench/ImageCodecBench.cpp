// Image codec speed: JPEG and PNG encoding and decoding of a 1920x1080 picture through
// the media layer's codec, in memory, to set beside OpenCV's imencode and imdecode.
// Usage: ImageCodecBench [PICTURE]   PICTURE: an image file to use (the OpenCV peer
// writes data/picture_1920x1080.png); without it a synthetic picture is made.
#include <cstdio>
#include <memory>
#include <vector>

#include "Errors/QvException.h"
#include "Files/QvFile.h"
#include "Media/QvFFmpegImageCodec.h"
#include "Media/QvMediaLayer.h"
#include "PictureTiming.h"
#include "QvGWorld/QvPixelBuffer.h"

namespace {
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr double kMegapixels = kWidth * kHeight / 1e6;

template <class Action>
void report(const char* name, Action&& action) {
    double seconds = secondsPerCall(action);
    std::printf("%s %.4g %.4g Mpx/s\n", name, seconds, kMegapixels / seconds);
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
        std::unique_ptr<QvPixelBuffer> picture = argc > 1 ? loadPicture(argv[1]) : syntheticPicture(kWidth, kHeight);
        if (!picture || picture->width() != kWidth || picture->height() != kHeight) {
            std::fprintf(stderr, "ImageCodecBench: need a %dx%d picture\n", kWidth, kHeight);
            return 1;
        }
        std::printf("# picture: %s\n", argc > 1 ? argv[1] : "synthetic");
        std::vector<uint8_t> jpeg, png;
        report("media.jpeg_encode_q0.9", [&] { jpeg = QvFFmpegImageCodec::encode(*picture, "JPEG", 0.9); });
        report("media.jpeg_decode", [&] { QvFFmpegImageCodec::decode(jpeg.data(), jpeg.size()); });
        report("media.png_encode", [&] { png = QvFFmpegImageCodec::encode(*picture, "PNG", 1.0); });
        report("media.png_decode", [&] { QvFFmpegImageCodec::decode(png.data(), png.size()); });
        std::printf("# encoded sizes: jpeg q0.9 %zu B, png %zu B\n", jpeg.size(), png.size());
    } catch (QvException* error) {
        std::fprintf(stderr, "ImageCodecBench: %s\n", error->message().c_str());
        delete error;
        return 1;
    }
    QvTheMediaLayer().stop();
    return 0;
}
