#pragma once
#include <memory>
#include <string>

#include "MediaModule/QvModuleWork.h"
#include "MediaModule/QvPacketSource.h"

// The video stream of a movie file or an address, through the libraries' demuxers. The
// file is read through our own reader, so a movie or playlist cannot make the
// libraries open other files or devices; addresses may use only the protocols file,
// http, https, rtsp and rtmp (and what those are built on).
class QvDemuxedSource final : public QvPacketSource {
public:
    // Fail with QV_MEDIA_CANNOT_OPEN (with errno), QV_MEDIA_NOT_A_MOVIE,
    // QV_MEDIA_ADDRESS_NOT_FOUND or QV_MEDIA_STOPPED.
    static std::unique_ptr<QvDemuxedSource> openFile(const std::string& path, const QvModuleWork& work);
    static std::unique_ptr<QvDemuxedSource> openAddress(const std::string& address, const QvModuleWork& work);
    ~QvDemuxedSource() override;

    const AVCodecParameters& parameters() const override;
    AVRational timeBase() const override;
    bool scanNext(QvPacketEntry& entry, const QvModuleWork& work) override;
    double scanned() const override;
    bool seek(int64_t dts, bool toStart, const QvModuleWork& work) override;
    bool readNext(AVPacket& packet, const QvModuleWork& work) override;

private:
    class Input;
    QvDemuxedSource(const std::string& location, bool isFile);
    std::unique_ptr<Input> openInput(const QvModuleWork& work);
    bool nextOfStream(Input& input, AVPacket& packet, const QvModuleWork& work);

    std::string location_;
    bool isFile_;
    QvInterruptHook hook_;
    std::unique_ptr<Input> scanner_;
    std::unique_ptr<Input> reader_;
    int stream_ = -1;
    QvPacketHandle scanPacket_;
};
