#include "MediaModule/QvMediaTrack.h"

#include <algorithm>

#include "MediaModule/QvCompressors.h"
#include "MediaModule/QvDecoder.h"
#include "MediaModule/QvFormatKey.h"
#include "MediaModule/QvModuleFailure.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {
// Decoders hold back at most this many frames to put them in presentation order; a
// packet this far back in the scan has met every packet that shows before it.
constexpr int64_t kReorderWindow = 64;
constexpr int64_t kSmallestScan = 64;
// Packets read after a seek to find where it landed, before going back to the start.
constexpr int kLandingProbe = 64;
constexpr int kMostDecodeErrors = 1000;
constexpr int kStopCheckEvery = 16;
const char* const kInvalidMedia = "Invalid Media Error";

struct PacketUnref {
    AVPacket* packet;
    ~PacketUnref() { av_packet_unref(packet); }
};
}  // namespace

QvMediaTrack::QvMediaTrack(std::unique_ptr<QvPacketSource> source, QvStoreSource* store)
    : source_(std::move(source)),
      store_(store),
      packet_(QvModuleCheckMemory(av_packet_alloc())),
      peeked_(QvModuleCheckMemory(av_packet_alloc())),
      received_(QvModuleCheckMemory(av_frame_alloc())),
      current_(QvModuleCheckMemory(av_frame_alloc())) {}

QvMediaTrack::~QvMediaTrack() = default;

QvMediaTrackInfo QvMediaTrack::info() const {
    const AVCodecParameters& parameters = source_->parameters();
    QvMediaTrackInfo info{};
    info.width = parameters.width;
    info.height = parameters.height;
    info.timeBaseNumerator = source_->timeBase().num;
    info.timeBaseDenominator = source_->timeBase().den;
    std::string name = QvCompressors::nameOf(parameters.codec_id);
    name.copy(info.compressor, sizeof info.compressor - 1);
    info.formatKey = QvFormatKey(parameters);
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(parameters.codec_id);
    info.everyFrameKey = descriptor && (descriptor->props & AV_CODEC_PROP_INTRA_ONLY) ? 1 : 0;
    return info;
}

// ---- The frame table -------------------------------------------------------------

void QvMediaTrack::scan(int64_t index, const QvModuleWork& work) {
    int64_t wanted = index < 0 ? INT64_MAX : index + 2;
    while (!complete_ && knownFrames() < wanted)
        scanMore(std::max<int64_t>(kSmallestScan, static_cast<int64_t>(packets_.size())), work);
}

void QvMediaTrack::scanMore(int64_t packets, const QvModuleWork& work) {
    for (int64_t i = 0; i < packets && !complete_; ++i) {
        QvPacketEntry entry;
        if (static_cast<int64_t>(packets_.size()) >= kMaxFrames || !source_->scanNext(entry, work))
            complete_ = true;
        else
            addEntry(entry);
        if (i % 256 == 255) {
            work.checkStop();
            double fraction = source_->scanned();
            if (fraction >= 0) work.progress(fraction);
        }
    }
    settle();
}

// Packets without times of their own get them from the packet before.
void QvMediaTrack::addEntry(QvPacketEntry entry) {
    int64_t index = static_cast<int64_t>(packets_.size());
    if (!entry.dtsFromStream || entry.dts == AV_NOPTS_VALUE) {
        entry.dtsFromStream = false;
        if (packets_.empty())
            entry.dts = entry.pts != AV_NOPTS_VALUE ? entry.pts : 0;
        else
            entry.dts = lastDts_ + std::max<int64_t>(1, packets_.back().duration);
    }
    if (entry.pts == AV_NOPTS_VALUE) entry.pts = entry.dts;
    if (entry.duration < 0) entry.duration = 0;
    lastDts_ = entry.dts;
    packets_.push_back(entry);
    if (positionsUnique_) positionsUnique_ = entry.position >= 0 && byPosition_.emplace(entry.position, index).second;
    if (!entry.discard) pending_.push_back(index);
}

// Pending packets that show before every packet of the last window take their places in
// presentation order. A packet that shows before frames already placed (a broken or
// restarted clock) takes the next place all the same: places never move.
void QvMediaTrack::settle() {
    if (pending_.empty()) return;
    int64_t threshold = INT64_MAX;
    if (!complete_) {
        int64_t windowStart = static_cast<int64_t>(packets_.size()) - kReorderWindow;
        for (int64_t packet : pending_)
            if (packet >= windowStart) threshold = std::min(threshold, packets_[packet].pts);
    }
    std::sort(pending_.begin(), pending_.end(), [this](int64_t a, int64_t b) {
        return packets_[a].pts != packets_[b].pts ? packets_[a].pts < packets_[b].pts : a < b;
    });
    size_t placed = 0;
    while (placed < pending_.size() && packets_[pending_[placed]].pts < threshold) {
        int64_t packet = pending_[placed++];
        int64_t frame = knownFrames();
        QvPacketEntry& entry = packets_[packet];
        entry.frame = frame;
        int64_t time = frame == 0 ? 0 : entry.pts - packets_[frames_[0]].pts;
        if (frame > 0 && time <= frameTimes_.back())
            time = frameTimes_.back() + std::max<int64_t>(1, packets_[frames_.back()].duration);
        frames_.push_back(packet);
        frameTimes_.push_back(time);
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(placed));
}

QvMediaFrameInfo QvMediaTrack::frameInfo(int64_t index) const {
    QvMediaFrameInfo info{};
    const QvPacketEntry& entry = packets_[frames_[index]];
    info.time = frameTimes_[index];
    if (index + 1 < knownFrames())
        info.duration = frameTimes_[index + 1] - frameTimes_[index];
    else if (entry.duration > 0)
        info.duration = entry.duration;
    else if (index > 0)
        info.duration = frameTimes_[index] - frameTimes_[index - 1];
    info.key = entry.key ? 1 : 0;
    return info;
}

// The key packet decoding must start from to show frame `index`: the last one before
// it in decoding order that shows no later than it (so that frames shown before a key
// frame but decoded after it are read from the key frame before).
int64_t QvMediaTrack::keyPacketFor(int64_t index) const {
    for (int64_t packet = frames_[index]; packet >= 0; --packet) {
        const QvPacketEntry& entry = packets_[packet];
        if (entry.key && !entry.discard && entry.frame >= 0 && entry.frame <= index) return packet;
    }
    return 0;
}

int64_t QvMediaTrack::keyBefore(int64_t keyPacket) const {
    for (int64_t packet = keyPacket - 1; packet > 0; --packet)
        if (packets_[packet].key && !packets_[packet].discard) return packet;
    return 0;
}

// ---- Reading packets --------------------------------------------------------------

// The table index of the packet a seek landed on, found by its position in the file;
// -1 when it cannot be told. Only containers that place every packet at a position of
// its own (QuickTime, MPEG-4, Matroska, AVI) name packets so: where a parser cuts the
// stream into frames (MPEG program and transport streams), neither positions nor the
// times worked out after a seek are the scan's, and reading starts over from the start.
int64_t QvMediaTrack::identify(const AVPacket& packet, const QvModuleWork& work) {
    if (packet.pos < 0 || !positionsUnique_) return -1;
    while (!complete_ && positionsUnique_ && (packets_.empty() || packets_.back().position < packet.pos))
        scanMore(kSmallestScan, work);
    if (!positionsUnique_) return -1;
    auto found = byPosition_.find(packet.pos);
    return found != byPosition_.end() ? found->second : -1;
}

// The next packet, into packet_, with its table index; false at the end of the stream.
// The reader's place is known (from the start, or from the packet a seek landed on), and
// from there packets are counted: the demuxer gives them in the order the scan met
// them, while the times it works out for them may differ after a seek.
bool QvMediaTrack::readPacket(int64_t& index, const QvModuleWork& work) {
    if (hasPeeked_) {
        hasPeeked_ = false;
        av_packet_move_ref(packet_.get(), peeked_.get());
        index = readIndex_ = peekedIndex_;
        return true;
    }
    if (!source_->readNext(*packet_, work)) return false;
    index = ++readIndex_;
    while (!complete_ && index >= static_cast<int64_t>(packets_.size())) scanMore(kSmallestScan, work);
    if (index < static_cast<int64_t>(packets_.size())) return true;
    av_packet_unref(packet_.get());
    return false;
}

// The first packet after a seek that the table knows, read into packet_; -1 when none
// comes within a few packets.
int64_t QvMediaTrack::landing(const QvModuleWork& work) {
    for (int probe = 0; probe < kLandingProbe; ++probe) {
        if (!source_->readNext(*packet_, work)) return -1;
        int64_t found = identify(*packet_, work);
        if (found >= 0) return found;
        av_packet_unref(packet_.get());
    }
    return -1;
}

// Makes reading continue at or before the key packet: seeks by its time, and checks
// where the seek landed, going back to earlier key frames and at last to the start
// when a demuxer lands after it or on packets it cannot tell.
void QvMediaTrack::placeReaderAt(int64_t keyPacket, const QvModuleWork& work) {
    hasPeeked_ = false;
    av_packet_unref(peeked_.get());
    for (int64_t key = keyPacket, attempt = 0; key > 0 && attempt < 4; ++attempt, key = keyBefore(key)) {
        if (!source_->seek(packets_[key].dts, false, work)) break;
        int64_t landed = landing(work);
        if (landed >= 0 && landed <= keyPacket) {
            av_packet_move_ref(peeked_.get(), packet_.get());
            hasPeeked_ = true;
            peekedIndex_ = landed;
            return;
        }
        if (landed >= 0) av_packet_unref(packet_.get());
    }
    source_->seek(0, true, work);
    readIndex_ = -1;
}

bool QvMediaTrack::isSelfContained(int64_t first, int64_t count, const QvModuleWork& work) {
    if (count <= 0) return false;
    scan(first + count - 1, work);
    if (first < 0 || first + count > knownFrames()) return false;
    int64_t lowest = INT64_MAX, highest = -1;
    for (int64_t frame = first; frame < first + count; ++frame) {
        lowest = std::min(lowest, frames_[frame]);
        highest = std::max(highest, frames_[frame]);
    }
    return highest - lowest + 1 == count && packets_[lowest].key;
}

void QvMediaTrack::copyPackets(int64_t first, int64_t count, const QvModuleWork& work, const PacketSink& sink) {
    if (!isSelfContained(first, count, work)) QvModuleFail(QV_MEDIA_FAILED, "The frames cannot be copied.");
    int64_t lowest = INT64_MAX;
    for (int64_t frame = first; frame < first + count; ++frame) lowest = std::min(lowest, frames_[frame]);
    int64_t highest = lowest + count - 1;
    feedStart_ = -1;  // the decoder's reading is disturbed
    placeReaderAt(lowest, work);
    int64_t index = -1;
    while (index < highest && readPacket(index, work)) {
        PacketUnref unref{packet_.get()};
        if (index < lowest) continue;
        if (index % kStopCheckEvery == 0) {
            work.checkStop();
            work.progress(double(index - lowest) / count);
        }
        sink(*packet_, packets_[index]);
    }
    if (index < highest) QvModuleFail(QV_MEDIA_FAILED, kInvalidMedia);
}

// ---- Decoding ---------------------------------------------------------------------

void QvMediaTrack::openDecoder() { decoder_ = QvOpenDecoder(source_->parameters(), source_->timeBase(), true); }

void QvMediaTrack::restartAt(int64_t keyPacket, const QvModuleWork& work) {
    if (!decoder_)
        openDecoder();
    else
        avcodec_flush_buffers(decoder_.get());
    draining_ = false;
    finished_ = false;
    av_frame_unref(current_.get());
    currentIndex_ = -1;
    placeReaderAt(keyPacket, work);
    feedStart_ = keyPacket;
    nextPacket_ = keyPacket;
}

// Sends the next packet from the key packet on to the decoder, each stamped with the
// index of the frame it shows, which comes back on the decoded frame. False at the end.
bool QvMediaTrack::feedOne(const QvModuleWork& work) {
    int64_t index = -1;
    do {
        if (!readPacket(index, work)) return false;
        if (index < feedStart_) av_packet_unref(packet_.get());
    } while (index < feedStart_);
    PacketUnref unref{packet_.get()};
    while (!complete_ && packets_[index].frame < 0 && !packets_[index].discard) scanMore(kSmallestScan, work);
    packet_->pts = packets_[index].frame >= 0 ? packets_[index].frame : -1;
    nextPacket_ = index + 1;
    if (index % kStopCheckEvery == 0) work.checkStop();
    int status = avcodec_send_packet(decoder_.get(), packet_.get());
    if (status == AVERROR(ENOMEM)) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    return true;
}

const AVFrame& QvMediaTrack::decodeTo(int64_t index, const QvModuleWork& work) {
    int64_t key = keyPacketFor(index);
    bool onTheWay = decoder_ && !finished_ && feedStart_ >= 0 && key >= feedStart_ && key <= nextPacket_ &&
                    index > currentIndex_;
    if (!onTheWay) restartAt(key, work);
    bool retried = false;
    // The frame did not come: decoding from a key frame further back may bring it
    // (frames shown before their key frame); else the nearest frame stands in.
    auto missed = [&]() -> bool {
        if (retried || key == 0) return false;
        retried = true;
        key = keyBefore(key);
        restartAt(key, work);
        return true;
    };
    for (int errors = 0; errors < kMostDecodeErrors;) {
        int status = avcodec_receive_frame(decoder_.get(), received_.get());
        if (status == 0) {
            int64_t shown = received_->pts;
            if (shown < 0 || shown <= currentIndex_) {
                av_frame_unref(received_.get());
                continue;
            }
            av_frame_unref(current_.get());
            av_frame_move_ref(current_.get(), received_.get());
            currentIndex_ = shown;
            if (shown == index) return *current_;
            if (shown > index && !missed()) return *current_;
            continue;
        }
        if (status == AVERROR(EAGAIN) && !draining_) {
            if (!feedOne(work)) {
                draining_ = true;
                avcodec_send_packet(decoder_.get(), nullptr);
            }
            continue;
        }
        if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) {
            finished_ = true;
            if (missed()) continue;
            if (currentIndex_ >= 0) return *current_;
            QvModuleFail(QV_MEDIA_FAILED, kInvalidMedia);
        }
        if (status == AVERROR(ENOMEM)) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
        ++errors;  // a damaged frame: decoding goes on with the next
    }
    QvModuleFail(QV_MEDIA_FAILED, kInvalidMedia);
}

const AVFrame& QvMediaTrack::decode(int64_t index, const QvModuleWork& work) {
    scan(index, work);
    if (index < 0 || index >= knownFrames()) QvModuleFail(QV_MEDIA_BAD_INDEX);
    if (index == currentIndex_ && current_->data[0]) return *current_;
    return decodeTo(index, work);
}

// The stream declares the picture's size; frames decoded larger (compressors that work
// on whole blocks) are cut down to it, frames decoded smaller are scaled up.
void QvMediaTrack::draw(int64_t index, const QvMediaPicture& target, const QvModuleWork& work) {
    const AVFrame& frame = decode(index, work);
    const AVCodecParameters& parameters = source_->parameters();
    bool covers = frame.width >= parameters.width && frame.height >= parameters.height;
    converter_.frameToPicture(frame, covers ? parameters.width : frame.width,
                              covers ? parameters.height : frame.height, target);
}
