#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Media/QvMediaModuleAbi.h"
#include "MediaModule/QvFrameEncoder.h"
#include "MediaModule/QvPacketSource.h"

struct QvMediaTrack;

// The file a store keeps its compressed frames in: packets one after another, indexed
// in memory by the streams. It is removed when the last user lets go.
class QvStoreFile {
public:
    explicit QvStoreFile(const std::string& path);
    ~QvStoreFile();
    QvStoreFile(const QvStoreFile&) = delete;
    QvStoreFile& operator=(const QvStoreFile&) = delete;

    // Appends the bytes; returns where they start.
    int64_t append(const uint8_t* data, int size);
    void read(int64_t offset, uint8_t* data, int size) const;

private:
    std::string path_;
    int descriptor_;
    std::mutex lock_;
    int64_t end_ = 0;
};

// A stream of a store: pictures compressed by one compressor at one size, appended
// in order, and read back as the packets of a track.
class QvStoreSource final : public QvPacketSource {
public:
    QvStoreSource(std::shared_ptr<QvStoreFile> file, const QvMediaCompression& compression, int width, int height,
                  int timeScale);

    const AVCodecParameters& parameters() const override { return encoder_ ? encoder_->parameters() : *parameters_; }
    AVRational timeBase() const override { return timeBase_; }
    bool scanNext(QvPacketEntry& entry, const QvModuleWork& work) override;
    bool seek(int64_t dts, bool toStart, const QvModuleWork& work) override;
    bool readNext(AVPacket& packet, const QvModuleWork& work) override;

    // Fails once the stream has ended.
    void append(const QvMediaPicture& picture, int64_t duration);
    // Frames whose packets have come out of the compressor.
    int64_t readableFrames() const { return static_cast<int64_t>(records_.size()); }
    // Sends out what the compressor still holds; the stream takes no more pictures.
    void end();

private:
    struct Record {
        QvPacketEntry entry;
        int size;
    };
    void keep(AVPacket& packet, int64_t duration);

    std::shared_ptr<QvStoreFile> file_;
    std::unique_ptr<QvFrameEncoder> encoder_;
    std::unique_ptr<AVCodecParameters, void (*)(AVCodecParameters*)> parameters_;
    AVRational timeBase_;
    int width_, height_;
    int64_t nextTime_ = 0;
    std::vector<Record> records_;
    size_t scanned_ = 0;
    size_t nextRead_ = 0;
};

// A store of compressed frames that movies append to; its file lives as long as the
// store or any of its streams.
struct QvMediaStore {
    explicit QvMediaStore(const std::string& path) : file(std::make_shared<QvStoreFile>(path)) {}
    std::shared_ptr<QvStoreFile> file;
};
