#pragma once
#include <cstdint>

#include "Media/QvMediaModuleAbi.h"
#include "MediaModule/QvFFmpegHandles.h"

// Moves pictures between the libraries' frames and the engine's 32-bit pictures,
// scaling where the sizes differ. YUV frames are read with their own colour matrix
// and range (BT.601 where they say nothing). Keeps its scaler between calls, so a run
// of same-sized conversions sets it up once.
class QvPictureConverter {
public:
    QvPictureConverter() = default;
    QvPictureConverter(const QvPictureConverter&) = delete;
    QvPictureConverter& operator=(const QvPictureConverter&) = delete;

    // Draws the top-left width x height of the frame into the whole target.
    void frameToPicture(const AVFrame& frame, int width, int height, const QvMediaPicture& target);
    // Fills the frame (allocated in its format and size, at least the picture's) with the
    // picture at its top left; the picture's last column and row are repeated into the
    // rest, so that a compressor working on whole blocks sees no false edges.
    void pictureToFrame(const QvMediaPicture& picture, AVFrame& frame);
    // Fills the whole frame with the picture, scaled.
    void scaleToFrame(const QvMediaPicture& picture, AVFrame& frame);
    void scalePicture(const QvMediaPicture& source, const QvMediaPicture& target);

    // The JPEG-range layouts as the plain layout and a full range.
    static AVPixelFormat plainLayout(AVPixelFormat format, bool& fullRange);
    static bool isYuv(AVPixelFormat format);

private:
    struct Key {
        int sourceWidth, sourceHeight, sourceFormat, targetWidth, targetHeight, targetFormat;
        bool sourceFull, targetFull;
        int colourSpace;
        bool operator==(const Key& other) const;
    };
    SwsContext* scaler(const Key& key);
    // The picture into the top-left width x height of the frame.
    void toFrame(const QvMediaPicture& picture, AVFrame& frame, int width, int height);
    void convert(const Key& key, const uint8_t* const source[4], const int sourceStride[4], uint8_t* const target[4],
                 const int targetStride[4]);

    QvScalerHandle scaler_;
    Key key_{};
};
