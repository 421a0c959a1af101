#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "Media/QvMediaModuleAbi.h"
#include "MediaModule/QvFFmpegHandles.h"
#include "MediaModule/QvFrameEncoder.h"
#include "MediaModule/QvModuleWork.h"

// One movie file being written, with one video stream: frames copied from tracks
// unchanged, pictures compressed, in any mix, as long as they share one format. A file
// not finished is removed.
struct QvMediaWriter {
public:
    // `container` names the file type by its ending; no ending is QuickTime. Fails with
    // QV_MEDIA_CONTAINER_REFUSED for a type that is no movie file, QV_MEDIA_CANNOT_WRITE.
    QvMediaWriter(const std::string& path, const std::string& container);
    ~QvMediaWriter();
    QvMediaWriter(const QvMediaWriter&) = delete;
    QvMediaWriter& operator=(const QvMediaWriter&) = delete;

    // The stream takes the format of `like`, or compresses pictures of width x height.
    void beginVideo(QvMediaTrack* like, const QvMediaCompression* compression, int width, int height,
                    AVRational timeBase);
    bool canCopy(QvMediaTrack& track) const;
    void copy(QvMediaTrack& track, int64_t first, int64_t count, int64_t time, double timeScale,
              const QvModuleWork& work);
    void append(const QvMediaPicture& picture, int64_t time, int64_t duration);
    void finish();

private:
    struct FileWriter;
    void write(AVPacket& packet);

    std::string path_;
    std::unique_ptr<FileWriter> file_;
    AVFormatContext* context_ = nullptr;
    AVIOContext* output_ = nullptr;
    AVStream* stream_ = nullptr;
    std::unique_ptr<QvFrameEncoder> encoder_;
    uint64_t formatKey_ = 0;
    AVRational timeBase_{1, 30000};
    int64_t lastDts_ = INT64_MIN;
    bool forceKey_ = false;
    bool finished_ = false;
};
