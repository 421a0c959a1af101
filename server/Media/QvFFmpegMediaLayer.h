#pragma once
#include <mutex>

#include "Media/QvMediaLayer.h"

// The media layer over FFmpeg's libraries, which live in the media module: pictures
// and bytes cross to it as plain buffers (QvMediaModule.h).
class QvFFmpegMediaLayer final : public QvMediaLayer {
public:
    // Image files larger than this are refused unread.
    static constexpr uintmax_t kMaxImageFileBytes = uintmax_t(1) << 30;

    long start() override;
    void stop() override;
    long makeFileSpec(const std::string& path, QvMediaFileLocation* fileSpec) override;
    std::unique_ptr<QvPixelBuffer> createOffscreen(int width, int height) override;
    std::unique_ptr<QvPixelBuffer> importImage(const QvMediaFileLocation& file) override;
    void exportImage(QvPixelBuffer& picture, const QvMediaFileLocation& file, const std::string& compression,
                     double quality) override;
    std::vector<std::string> imageCompressorNames() const override;
    std::vector<uint8_t> encodeImage(QvPixelBuffer& picture, const std::string& compression, double quality) override;
    std::unique_ptr<QvPixelBuffer> decodeImage(const uint8_t* bytes, size_t size) override;
    bool isImageFile(const QvMediaFileLocation& file) override;

private:
    std::mutex startLock_;
    int startCount_ = 0;
};
