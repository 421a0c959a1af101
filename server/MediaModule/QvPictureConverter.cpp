#include "MediaModule/QvPictureConverter.h"

#include <algorithm>
#include <cstring>

#include "MediaModule/QvModuleFailure.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

namespace {
constexpr AVPixelFormat kPictureFormat = AV_PIX_FMT_RGB32;  // native-order 0xAARRGGBB words

// Repeats the last used element of each row to the end of the plane's row, then the
// last used row down to the plane's last row.
void repeatEdges(AVFrame& frame, int usedWidth, int usedHeight) {
    AVPixelFormat format = static_cast<AVPixelFormat>(frame.format);
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    if (!descriptor || (descriptor->flags & (AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_PAL))) return;
    int planes = av_pix_fmt_count_planes(format);
    for (int plane = 0; plane < planes; ++plane) {
        bool chroma = (plane == 1 || plane == 2) && !(descriptor->flags & AV_PIX_FMT_FLAG_RGB);
        int shiftY = chroma ? descriptor->log2_chroma_h : 0;
        int rows = AV_CEIL_RSHIFT(frame.height, shiftY);
        int usedRows = AV_CEIL_RSHIFT(usedHeight, shiftY);
        int rowBytes = av_image_get_linesize(format, frame.width, plane);
        int usedBytes = av_image_get_linesize(format, usedWidth, plane);
        int element = av_image_get_linesize(format, 1, plane);
        if (rowBytes <= 0 || usedBytes <= 0 || element <= 0) continue;
        uint8_t* data = frame.data[plane];
        for (int y = 0; y < usedRows; ++y) {
            uint8_t* row = data + static_cast<ptrdiff_t>(y) * frame.linesize[plane];
            for (int x = usedBytes; x + element <= rowBytes; x += element) std::memcpy(row + x, row + usedBytes - element, element);
        }
        for (int y = usedRows; y < rows; ++y)
            std::memcpy(data + static_cast<ptrdiff_t>(y) * frame.linesize[plane],
                        data + static_cast<ptrdiff_t>(usedRows - 1) * frame.linesize[plane], rowBytes);
    }
}
}  // namespace

AVPixelFormat QvPictureConverter::plainLayout(AVPixelFormat format, bool& fullRange) {
    switch (format) {
    case AV_PIX_FMT_YUVJ420P: fullRange = true; return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: fullRange = true; return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: fullRange = true; return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: fullRange = true; return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P: fullRange = true; return AV_PIX_FMT_YUV411P;
    default: return format;
    }
}

bool QvPictureConverter::isYuv(AVPixelFormat format) {
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    return descriptor && descriptor->nb_components >= 3 && !(descriptor->flags & AV_PIX_FMT_FLAG_RGB);
}

bool QvPictureConverter::Key::operator==(const Key& other) const {
    return sourceWidth == other.sourceWidth && sourceHeight == other.sourceHeight &&
           sourceFormat == other.sourceFormat && targetWidth == other.targetWidth &&
           targetHeight == other.targetHeight && targetFormat == other.targetFormat &&
           sourceFull == other.sourceFull && targetFull == other.targetFull && colourSpace == other.colourSpace;
}

SwsContext* QvPictureConverter::scaler(const Key& key) {
    if (scaler_ && key == key_) return scaler_.get();
    scaler_.reset();
    AVPixelFormat from = static_cast<AVPixelFormat>(key.sourceFormat);
    AVPixelFormat to = static_cast<AVPixelFormat>(key.targetFormat);
    // Pictures kept at their size (every frame a compressor takes) are converted sample by
    // sample, at half the cost of filtering them; scaled ones are filtered.
    bool sameSize = key.sourceWidth == key.targetWidth && key.sourceHeight == key.targetHeight;
    scaler_.reset(sws_getContext(key.sourceWidth, key.sourceHeight, from, key.targetWidth, key.targetHeight, to,
                                 sameSize ? SWS_POINT : SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scaler_) QvModuleFail(QV_MEDIA_FAILED, "The picture cannot be converted.");
    if (isYuv(from) || isYuv(to)) {
        const int* coefficients = sws_getCoefficients(key.colourSpace);
        sws_setColorspaceDetails(scaler_.get(), coefficients, key.sourceFull ? 1 : 0, coefficients,
                                 key.targetFull ? 1 : 0, 0, 1 << 16, 1 << 16);
    }
    key_ = key;
    return scaler_.get();
}

void QvPictureConverter::convert(const Key& key, const uint8_t* const source[4], const int sourceStride[4],
                                 uint8_t* const target[4], const int targetStride[4]) {
    sws_scale(scaler(key), source, sourceStride, 0, key.sourceHeight, target, targetStride);
}

void QvPictureConverter::frameToPicture(const AVFrame& frame, int width, int height, const QvMediaPicture& target) {
    bool fullRange = frame.color_range == AVCOL_RANGE_JPEG;
    AVPixelFormat layout = plainLayout(static_cast<AVPixelFormat>(frame.format), fullRange);
    int colourSpace = frame.colorspace == AVCOL_SPC_UNSPECIFIED ? SWS_CS_ITU601 : frame.colorspace;
    Key key{width, height, layout, target.width, target.height, kPictureFormat, fullRange, true, colourSpace};
    uint8_t* const pixels[4] = {target.pixels, nullptr, nullptr, nullptr};
    const int stride[4] = {static_cast<int>(target.rowBytes), 0, 0, 0};
    convert(key, frame.data, frame.linesize, pixels, stride);
}

void QvPictureConverter::toFrame(const QvMediaPicture& picture, AVFrame& frame, int width, int height) {
    bool fullRange = frame.color_range == AVCOL_RANGE_JPEG;
    AVPixelFormat layout = plainLayout(static_cast<AVPixelFormat>(frame.format), fullRange);
    Key key{picture.width, picture.height, kPictureFormat, width, height, layout, true, fullRange, SWS_CS_ITU601};
    const uint8_t* const pixels[4] = {picture.pixels, nullptr, nullptr, nullptr};
    const int stride[4] = {static_cast<int>(picture.rowBytes), 0, 0, 0};
    convert(key, pixels, stride, frame.data, frame.linesize);
}

void QvPictureConverter::pictureToFrame(const QvMediaPicture& picture, AVFrame& frame) {
    toFrame(picture, frame, picture.width, picture.height);
    if (frame.width > picture.width || frame.height > picture.height) repeatEdges(frame, picture.width, picture.height);
}

void QvPictureConverter::scaleToFrame(const QvMediaPicture& picture, AVFrame& frame) {
    toFrame(picture, frame, frame.width, frame.height);
}

void QvPictureConverter::scalePicture(const QvMediaPicture& source, const QvMediaPicture& target) {
    Key key{source.width, source.height, kPictureFormat, target.width, target.height, kPictureFormat, true, true,
            SWS_CS_ITU601};
    const uint8_t* const from[4] = {source.pixels, nullptr, nullptr, nullptr};
    const int fromStride[4] = {static_cast<int>(source.rowBytes), 0, 0, 0};
    uint8_t* const to[4] = {target.pixels, nullptr, nullptr, nullptr};
    const int toStride[4] = {static_cast<int>(target.rowBytes), 0, 0, 0};
    convert(key, from, fromStride, to, toStride);
}
