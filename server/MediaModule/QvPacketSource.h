#pragma once
#include <cstdint>

#include "MediaModule/QvFFmpegHandles.h"

class QvModuleWork;

// One packet of a video stream as the frame table knows it, in decoding order.
struct QvPacketEntry {
    int64_t dts = 0;       // the stream's decoding time, or one made up from its neighbours
    int64_t pts = 0;       // presentation time, likewise
    int64_t position = -1; // byte position in the file, when the source knows it
    int64_t duration = 0;
    int64_t frame = -1;    // the frame it shows, once its place in presentation order is settled
    bool dtsFromStream = false;
    bool key = false;
    bool discard = false;  // decoded for its references only (before the start of an edit)
};

// Where a track's packets come from: a demuxed file or address, or a stream of a store.
// Sources read ahead twice over: scanning describes packets for the frame table
// without their data; reading hands over whole packets for decoding, from wherever the
// last seek put it.
class QvPacketSource {
public:
    virtual ~QvPacketSource() = default;

    virtual const AVCodecParameters& parameters() const = 0;
    virtual AVRational timeBase() const = 0;

    // The next packet's description; false at the end of the stream.
    virtual bool scanNext(QvPacketEntry& entry, const QvModuleWork& work) = 0;
    // How much of the source the scan has passed (0..1), or -1 when that is not known.
    virtual double scanned() const { return -1; }
    // Makes reading continue at or before the packet with decoding time `dts`, or at the
    // very first packet; false when the source cannot get there.
    virtual bool seek(int64_t dts, bool toStart, const QvModuleWork& work) = 0;
    // The next packet of the stream with its stream time and byte position; false at the end.
    virtual bool readNext(AVPacket& packet, const QvModuleWork& work) = 0;
};
