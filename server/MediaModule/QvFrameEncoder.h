#pragma once
#include <cstdint>
#include <functional>
#include <map>

#include "Media/QvMediaModuleAbi.h"
#include "MediaModule/QvFFmpegHandles.h"
#include "MediaModule/QvPictureConverter.h"

// One compressor opened for pictures of one size, turning pictures into packets.
// Compressors that work on blocks get a picture grown to whole blocks with its edges
// repeated; the stream still declares the picture's own size, which readers keep.
class QvFrameEncoder {
public:
    // Receives each packet with the duration of its frame.
    using PacketSink = std::function<void(AVPacket& packet, int64_t duration)>;

    // Fails with QV_MEDIA_UNKNOWN_COMPRESSOR, QV_MEDIA_SETTINGS_REFUSED or
    // QV_MEDIA_COMPRESSOR_REFUSED. `globalHeader`: set-up data goes in the stream's
    // parameters rather than in key frames (what most file types want). `reordering`:
    // frames may be sent in another order than they came (B-frames); without it they
    // leave in their order, as a store needs, whose frames are read by their order.
    QvFrameEncoder(const QvMediaCompression& compression, int width, int height, AVRational timeBase,
                   bool globalHeader, bool reordering);

    // The stream's parameters, declaring the picture's size.
    const AVCodecParameters& parameters() const { return *parameters_; }
    AVRational timeBase() const { return context_->time_base; }
    // Whether packets may come out later than their pictures went in.
    bool delays() const;

    void encode(const QvMediaPicture& picture, int64_t pts, int64_t duration, bool forceKey, const PacketSink& sink);
    // Sends out every packet still held; the encoder takes no more pictures afterwards.
    void flush(const PacketSink& sink);

private:
    void open(const QvMediaCompression& compression, const AVCodec& encoder, int width, int height,
              AVRational timeBase, bool globalHeader, bool reordering);
    void drain(const PacketSink& sink);

    QvCodecContextHandle context_;
    QvFrameHandle frame_;
    QvPacketHandle packet_;
    std::unique_ptr<AVCodecParameters, void (*)(AVCodecParameters*)> parameters_;
    QvPictureConverter converter_;
    std::map<int64_t, int64_t> durations_;  // by pts, until the packet leaves
    bool flushed_ = false;
};
