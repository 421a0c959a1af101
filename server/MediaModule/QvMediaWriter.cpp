#include "MediaModule/QvMediaWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "MediaModule/QvFormatKey.h"
#include "MediaModule/QvMediaTrack.h"
#include "MediaModule/QvModuleFailure.h"

namespace {
constexpr int kWriteChunk = 256 * 1024;
// File types a movie is written as: those that hold video streams in one file.
const char* const kMovieFormats[] = {"mov", "mp4", "avi", "matroska", "webm", "mpeg", "mpegts", "flv", "nut", "ogg",
                                     "3gp", "gif"};

const AVOutputFormat* movieFormat(const std::string& container) {
    size_t dot = container.find_last_of("./");
    if (dot == std::string::npos || container[dot] == '/') return av_guess_format("mov", nullptr, nullptr);
    const AVOutputFormat* format = av_guess_format(nullptr, container.c_str(), nullptr);
    if (!format) return nullptr;
    for (const char* name : kMovieFormats)
        if (std::strcmp(format->name, name) == 0) return format;
    return nullptr;
}

// Times of one time base in another, after scaling by a playback factor.
int64_t rescale(int64_t value, double scale, AVRational from, AVRational to) {
    double seconds = static_cast<double>(value) * scale * from.num / from.den;
    return std::llround(seconds * to.den / to.num);
}
}  // namespace

// Writes the file at positions the muxer chooses.
struct QvMediaWriter::FileWriter {
    int descriptor = -1;
    int64_t position = 0;
    int64_t size = 0;
    int error = 0;

    ~FileWriter() {
        if (descriptor >= 0) ::close(descriptor);
    }

    static int write(void* opaque, uint8_t* data, int count) {
        FileWriter& file = *static_cast<FileWriter*>(opaque);
        for (int done = 0; done < count;) {
            ssize_t written = pwrite(file.descriptor, data + done, static_cast<size_t>(count - done), file.position);
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) {
                file.error = written < 0 ? errno : ENOSPC;
                return AVERROR(file.error);
            }
            done += static_cast<int>(written);
            file.position += written;
        }
        if (file.position > file.size) file.size = file.position;
        return count;
    }

    static int64_t seek(void* opaque, int64_t offset, int whence) {
        FileWriter& file = *static_cast<FileWriter*>(opaque);
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE: return file.size;
        case SEEK_SET: file.position = offset; break;
        case SEEK_CUR: file.position += offset; break;
        case SEEK_END: file.position = file.size + offset; break;
        default: return AVERROR(EINVAL);
        }
        return file.position;
    }
};

QvMediaWriter::QvMediaWriter(const std::string& path, const std::string& container) : path_(path) {
    const AVOutputFormat* format = movieFormat(container);
    if (!format) QvModuleFail(QV_MEDIA_CONTAINER_REFUSED, container);
    if (avformat_alloc_output_context2(&context_, format, nullptr, nullptr) < 0) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    file_ = std::make_unique<FileWriter>();
    file_->descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file_->descriptor < 0) QvModuleFail(QV_MEDIA_CANNOT_WRITE, path, errno);
    uint8_t* chunk = QvModuleCheckMemory(static_cast<uint8_t*>(av_malloc(kWriteChunk)));
    output_ = avio_alloc_context(chunk, kWriteChunk, 1, file_.get(), nullptr, &FileWriter::write, &FileWriter::seek);
    if (!output_) {
        av_free(chunk);
        QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    }
    context_->pb = output_;
    context_->flags |= AVFMT_FLAG_CUSTOM_IO;
}

QvMediaWriter::~QvMediaWriter() {
    avformat_free_context(context_);
    if (output_) {
        av_freep(&output_->buffer);
        avio_context_free(&output_);
    }
    file_.reset();
    if (!finished_) ::unlink(path_.c_str());
}

void QvMediaWriter::beginVideo(QvMediaTrack* like, const QvMediaCompression* compression, int width, int height,
                               AVRational timeBase) {
    if (stream_) QvModuleFail(QV_MEDIA_FAILED, "The movie file has its video already.");
    if (timeBase.num <= 0 || timeBase.den <= 0) QvModuleFail(QV_MEDIA_SETTINGS_REFUSED);
    stream_ = QvModuleCheckMemory(avformat_new_stream(context_, nullptr));
    const AVCodecParameters* parameters;
    if (like) {
        parameters = &like->source().parameters();
    } else {
        if (!compression) QvModuleFail(QV_MEDIA_SETTINGS_REFUSED);
        bool globalHeader = (context_->oformat->flags & AVFMT_GLOBALHEADER) != 0;
        encoder_ = std::make_unique<QvFrameEncoder>(*compression, width, height, timeBase, globalHeader, true);
        parameters = &encoder_->parameters();
    }
    if (avformat_query_codec(context_->oformat, parameters->codec_id, FF_COMPLIANCE_NORMAL) == 0)
        QvModuleFail(QV_MEDIA_CONTAINER_REFUSED);
    if (avcodec_parameters_copy(stream_->codecpar, parameters) < 0) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    stream_->codecpar->codec_tag = 0;
    stream_->time_base = timeBase;
    timeBase_ = timeBase;
    formatKey_ = QvFormatKey(*parameters);
    if (avformat_write_header(context_, nullptr) < 0) {
        if (file_->error) QvModuleFail(QV_MEDIA_CANNOT_WRITE, path_, file_->error);
        QvModuleFail(QV_MEDIA_CONTAINER_REFUSED);
    }
}

// Copied packets and compressed ones can follow each other only when the compressor
// gives each packet back at once (it has no frames in hand when a copy comes).
bool QvMediaWriter::canCopy(QvMediaTrack& track) const {
    return stream_ && track.info().formatKey == formatKey_ && !(encoder_ && encoder_->delays());
}

void QvMediaWriter::copy(QvMediaTrack& track, int64_t first, int64_t count, int64_t time, double timeScale,
                         const QvModuleWork& work) {
    if (!canCopy(track)) QvModuleFail(QV_MEDIA_FAILED, "The frames cannot be copied into this movie file.");
    AVRational from = track.source().timeBase();
    int64_t firstTime = track.frameTime(first);
    int64_t firstPts = track.entryOfFrame(first).pts;
    track.copyPackets(first, count, work, [&](AVPacket& packet, const QvPacketEntry& entry) {
        packet.pts = time + rescale(track.frameTime(entry.frame) - firstTime, timeScale, from, timeBase_);
        packet.dts = time + rescale(entry.dts - firstPts, timeScale, from, timeBase_);
        packet.duration = rescale(entry.duration, timeScale, from, timeBase_);
        write(packet);
    });
    forceKey_ = true;
}

void QvMediaWriter::append(const QvMediaPicture& picture, int64_t time, int64_t duration) {
    if (!encoder_) QvModuleFail(QV_MEDIA_FAILED, "This movie file takes copied frames only.");
    encoder_->encode(picture, time, duration, forceKey_, [this](AVPacket& packet, int64_t packetDuration) {
        packet.duration = packetDuration;
        write(packet);
    });
    forceKey_ = false;
}

// Decoding times must rise in the file's own time base; a copied run that reorders its
// frames may start with times below the frames before it, which close up without
// passing their own presentation times.
void QvMediaWriter::write(AVPacket& packet) {
    if (packet.dts == AV_NOPTS_VALUE) packet.dts = packet.pts;
    av_packet_rescale_ts(&packet, timeBase_, stream_->time_base);
    if (packet.dts <= lastDts_) packet.dts = lastDts_ + 1;
    if (packet.pts < packet.dts) packet.pts = packet.dts;
    lastDts_ = packet.dts;
    packet.stream_index = stream_->index;
    packet.pos = -1;
    int status = av_write_frame(context_, &packet);
    if (status < 0) {
        if (file_->error) QvModuleFail(QV_MEDIA_CANNOT_WRITE, path_, file_->error);
        QvModuleFailStatus(QV_MEDIA_FAILED, "The movie file cannot take the frame", status);
    }
}

void QvMediaWriter::finish() {
    if (!stream_) QvModuleFail(QV_MEDIA_FAILED, "The movie file has no video.");
    if (encoder_) encoder_->flush([this](AVPacket& packet, int64_t duration) {
        packet.duration = duration;
        write(packet);
    });
    int status = av_write_trailer(context_);
    avio_flush(output_);
    if (file_->error) QvModuleFail(QV_MEDIA_CANNOT_WRITE, path_, file_->error);
    if (status < 0) QvModuleFailStatus(QV_MEDIA_FAILED, "The movie file cannot be finished", status);
    if (::fsync(file_->descriptor) != 0 && errno != EINVAL) QvModuleFail(QV_MEDIA_CANNOT_WRITE, path_, errno);
    finished_ = true;
}
