#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "Media/QvMediaModuleAbi.h"
#include "MediaModule/QvFFmpegHandles.h"
#include "MediaModule/QvModuleWork.h"
#include "MediaModule/QvPacketSource.h"
#include "MediaModule/QvPictureConverter.h"

class QvStoreSource;

// The frames of one video stream, read by index. The frame table is built from the
// packets' own times as far as it is asked for, without decoding: frame i is the i-th
// packet in presentation order. Reading frame i seeks to the key frame before it and
// decodes forward; reading on from there decodes each frame once.
struct QvMediaTrack {
public:
    // Tracks of more frames are cut off there (a bound on what a hostile file costs).
    static constexpr int64_t kMaxFrames = 4000000;

    explicit QvMediaTrack(std::unique_ptr<QvPacketSource> source, QvStoreSource* store = nullptr);
    ~QvMediaTrack();
    QvMediaTrack(const QvMediaTrack&) = delete;
    QvMediaTrack& operator=(const QvMediaTrack&) = delete;

    QvMediaTrackInfo info() const;
    QvPacketSource& source() { return *source_; }
    // The stream of a store that this track appends to, or null.
    QvStoreSource* store() { return store_; }

    // Extends the table until it holds frame `index` and the one after (all frames for -1).
    void scan(int64_t index, const QvModuleWork& work);
    int64_t knownFrames() const { return static_cast<int64_t>(frames_.size()); }
    bool complete() const { return complete_; }
    // Frame `index` must be known.
    QvMediaFrameInfo frameInfo(int64_t index) const;
    void draw(int64_t index, const QvMediaPicture& target, const QvModuleWork& work);
    // The decoded frame `index`, checking first that it decodes.
    const AVFrame& decode(int64_t index, const QvModuleWork& work);

    // Frames [first, first + count) as a run of packets that decodes on its own: the run
    // starts on a key frame and holds exactly those frames. Calls `sink` for each packet
    // in decoding order with its table entry; false when the frames are no such run.
    using PacketSink = std::function<void(AVPacket& packet, const QvPacketEntry& entry)>;
    bool isSelfContained(int64_t first, int64_t count, const QvModuleWork& work);
    void copyPackets(int64_t first, int64_t count, const QvModuleWork& work, const PacketSink& sink);
    const QvPacketEntry& entryOfFrame(int64_t index) const { return packets_[frames_[index]]; }
    int64_t frameTime(int64_t index) const { return frameTimes_[index]; }

    // The store has added packets: scanning goes on.
    void storeGrew() { complete_ = false; }

private:
    void scanMore(int64_t packets, const QvModuleWork& work);
    void addEntry(QvPacketEntry entry);
    void settle();
    int64_t keyPacketFor(int64_t index) const;
    int64_t keyBefore(int64_t keyPacket) const;
    int64_t identify(const AVPacket& packet, const QvModuleWork& work);
    bool readPacket(int64_t& index, const QvModuleWork& work);
    int64_t landing(const QvModuleWork& work);
    void placeReaderAt(int64_t keyPacket, const QvModuleWork& work);
    void openDecoder();
    void restartAt(int64_t keyPacket, const QvModuleWork& work);
    bool feedOne(const QvModuleWork& work);
    const AVFrame& decodeTo(int64_t index, const QvModuleWork& work);

    std::unique_ptr<QvPacketSource> source_;
    QvStoreSource* store_;

    // The table: packets in decoding order, frames in presentation order.
    std::vector<QvPacketEntry> packets_;
    std::vector<int64_t> frames_;      // frame -> packet
    std::vector<int64_t> frameTimes_;  // from the first frame, never decreasing
    std::vector<int64_t> pending_;     // packets whose place is not settled yet
    bool complete_ = false;
    // Packets by their position in the file, while every packet has a position of its own.
    std::unordered_map<int64_t, int64_t> byPosition_;
    bool positionsUnique_ = true;
    int64_t lastDts_ = INT64_MIN;

    // Reading state: the packet last read and its index (-1 before the first), and one
    // read ahead while placing the reader.
    QvPacketHandle packet_;
    QvPacketHandle peeked_;
    bool hasPeeked_ = false;
    int64_t peekedIndex_ = -1;
    int64_t readIndex_ = -1;

    // Decoding state: packets [feedStart_, nextPacket_) have gone to the decoder.
    QvCodecContextHandle decoder_;
    QvFrameHandle received_;
    QvFrameHandle current_;  // the last frame the decoder gave, of index currentIndex_
    int64_t currentIndex_ = -1;
    int64_t feedStart_ = -1;
    int64_t nextPacket_ = 0;
    bool draining_ = false;  // the end of the stream has been sent
    bool finished_ = false;  // and the decoder has given its last frame
    QvPictureConverter converter_;
};
