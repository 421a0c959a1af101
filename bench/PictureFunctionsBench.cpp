// The picture functions of the built-in library on 1920x1080 pictures, one thread, as
// the functions call them (a new result picture each call), beside OpenCV in the same
// run when the build found it. Prints "NAME SECONDS Mpx/s" per function and
// "# ratio NAME ours/peer" for each pairing; the peers do comparable, not identical,
// work (noted beside each).
// Usage: PictureFunctionsBench [FILTER]   only functions whose name contains FILTER run.
#include <cstdio>
#include <functional>
#include <string>

#include "Images/Qv2DValue.h"
#include "Images/QvPictureConversion.h"
#include "Images/QvPictureStatistics.h"
#include "PictureTiming.h"

#ifdef QV_HAVE_OPENCV
#include <opencv2/core.hpp>
#endif

namespace {

using PictureRef = qv_auto_value<Qv2DValue>;

PictureRef pictureOf(QvTypeEnum type, QvPixelBuffer& argb) {
    return PictureRef(QvNewPicture(type, QvPictureConversion::fromARGB(argb, QvPixelClassOf(type))));
}

// Times ours and the peer alternately (three rounds, best median of each).
void compare(const std::string& filter, const std::string& name, const std::function<void()>& ours,
             const std::string& peerName, const std::function<void()>& peer) {
    if (name.find(filter) == std::string::npos) return;
    double oursSeconds = 1e9, peerSeconds = 1e9;
    for (int round = 0; round < 3; ++round) {
        oursSeconds = std::min(oursSeconds, secondsPerCall(ours));
        if (peer) peerSeconds = std::min(peerSeconds, secondsPerCall(peer));
    }
    printPictureRate(("quarvel." + name).c_str(), oursSeconds);
    if (!peer) return;
    printPictureRate(peerName.c_str(), peerSeconds);
    std::printf("# ratio %s %.2f\n", name.c_str(), oursSeconds / peerSeconds);
}

// Runs an operation that returns a new value and releases the value.
std::function<void()> made(std::function<QvValue*()> operation) {
    return [operation] { QvValueRef result(operation()); };
}
}  // namespace

int main(int argc, char** argv) {
    const std::string filter = argc > 1 ? argv[1] : "";
    std::unique_ptr<QvPixelBuffer> photo = syntheticPicture(kFrameWidth, kFrameHeight);
    std::unique_ptr<QvPixelBuffer> shifted = syntheticPicture(kFrameWidth, kFrameHeight);
    photo->lock();
    shifted->lock();
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x + 7 < kFrameWidth; ++x) shifted->row(y)[x] = photo->row(y)[x + 7];
    PictureRef frame = pictureOf(QV_FRAME, *photo), frame2 = pictureOf(QV_FRAME, *shifted);
    PictureRef grey = pictureOf(QV_FRAME_MONO, *photo);
    PictureRef image = pictureOf(QV_IMAGE, *photo), image2 = pictureOf(QV_IMAGE, *shifted);
    const QvColor low{0.2, 0.2, 0.2}, high{0.6, 0.6, 0.6}, white{1, 1, 1};

    // Filter.Normalize without bounds: the darkest and brightest pixel's colours, then
    // the rescaling.
    auto normalizeWithoutBounds = [](Qv2DValue& picture) {
        return made([&picture] {
            return picture.NormalizeRange(QvPictureStatistics::darkestColor(picture.pixels()),
                                          QvPictureStatistics::brightestColor(picture.pixels()));
        });
    };

    std::function<void()> none;
#ifdef QV_HAVE_OPENCV
    cv::setNumThreads(1);
    auto matOf = [](Qv2DValue& picture, int type) {
        return cv::Mat(picture.GetHeight(), picture.GetWidth(), type, picture.pixels().rowBytesAt(0),
                       picture.pixels().rowBytes());
    };
    cv::Mat frameMat = matOf(*frame, CV_8UC4), frame2Mat = matOf(*frame2, CV_8UC4), greyMat = matOf(*grey, CV_8U);
    cv::Mat imageMat = matOf(*image, CV_32FC4), image2Mat = matOf(*image2, CV_32FC4);
#define QV_PEER(name, ...) name, [&] { __VA_ARGS__; }
#else
#define QV_PEER(name, ...) "", none
#endif

    compare(filter, "Filter.Replace frame", made([&] { return frame->ReplaceRange(low, high, white, true); }),
            QV_PEER("ocv.inrange_setto_bgra8 (into a copy)", cv::Mat out = frameMat.clone(), mask;
                    cv::inRange(frameMat, cv::Scalar(51, 51, 51, 0), cv::Scalar(153, 153, 153, 255), mask);
                    out.setTo(cv::Scalar(255, 255, 255, 255), mask)));
    compare(filter, "Filter.Normalize frame", normalizeWithoutBounds(*frame),
            QV_PEER("ocv.minmaxloc_convertto_u8 (one range)", cv::Mat out; double least, most;
                    cv::minMaxLoc(greyMat, &least, &most);
                    frameMat.convertTo(out, -1, 255 / (most - least), -least * 255 / (most - least))));
    compare(filter, "Filter.Normalize image", normalizeWithoutBounds(*image), "", none);
    compare(filter, "Math.Sum image", made([&] { return image->SumElements(); }),
            QV_PEER("ocv.sum_f32x4", cv::sum(imageMat)));
    compare(filter, "Math.Average frame", made([&] { return frame->Average(); }),
            QV_PEER("ocv.mean_bgra8", cv::mean(frameMat)));
    compare(filter, "Math.StdDev frame", made([&] { return frame->Sdev(); }),
            QV_PEER("ocv.meanstddev_bgra8", cv::Scalar mean, deviation; cv::meanStdDev(frameMat, mean, deviation)));
    compare(filter, "Math.Difference frame", made([&] { return frame->Difference(frame2.get(), 0.05); }),
            QV_PEER("ocv.absdiff_mean_bgra8", cv::Mat out; cv::absdiff(frameMat, frame2Mat, out); cv::mean(out)));
    compare(filter, "Math.Difference image", made([&] { return image->Difference(image2.get(), 0.05); }),
            QV_PEER("ocv.absdiff_mean_f32x4", cv::Mat out; cv::absdiff(imageMat, image2Mat, out); cv::mean(out)));
    compare(filter, "Math.Maximum frame_mono location", [&] { grey->MaximumLocation(true); },
            QV_PEER("ocv.minmaxloc_u8", double least, most; cv::Point where; cv::minMaxLoc(greyMat, &least, &most,
                                                                                           nullptr, &where)));
    compare(filter, "Math.Maximum frame location", [&] { frame->MaximumLocation(true); }, "", none);
    compare(filter, "Math.Minimum frame pair", made([&] { return frame->BinaryMin(frame2.get()); }),
            QV_PEER("ocv.min_bgra8 (per channel)", cv::Mat out; cv::min(frameMat, frame2Mat, out)));
    compare(filter, "Math.Minimum image pair", made([&] { return image->BinaryMin(image2.get()); }),
            QV_PEER("ocv.min_f32x4 (per channel)", cv::Mat out; cv::min(imageMat, image2Mat, out)));
    compare(filter, "Frame.DeInterlaceEven frame", made([&] { return frame->DeInterlaceEven(); }), "", none);
    PictureRef even(QvAsPicture(frame->DeInterlaceEven())), odd(QvAsPicture(frame->DeInterlaceOdd()));
    compare(filter, "Frame.Interlace frame", made([&] { return even->Interlace(odd.get()); }), "", none);
    compare(filter, "Frame.GetAlpha frame", made([&] { return frame->GetAlpha(); }),
            QV_PEER("ocv.extractchannel_bgra8", cv::Mat out; cv::extractChannel(frameMat, out, 3)));
    compare(filter, "Frame.SetAlpha frame", made([&] { return frame->SetAlpha(grey.get()); }),
            QV_PEER("ocv.insertchannel_bgra8 (into a copy)", cv::Mat out = frameMat.clone();
                    cv::insertChannel(greyMat, out, 3)));
    photo->unlock();
    shifted->unlock();
    return 0;
}
