#include "MediaModule/QvMediaStore.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "MediaModule/QvModuleFailure.h"

// The file is always new: a file of that name that exists belongs to another store
// (of another process), whose frames would be overwritten.
QvStoreFile::QvStoreFile(const std::string& path) : path_(path) {
    descriptor_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor_ < 0) QvModuleFail(QV_MEDIA_CANNOT_WRITE, path, errno);
}

QvStoreFile::~QvStoreFile() {
    ::close(descriptor_);
    ::unlink(path_.c_str());
}

int64_t QvStoreFile::append(const uint8_t* data, int size) {
    std::lock_guard<std::mutex> guard(lock_);
    int64_t start = end_;
    for (int done = 0; done < size;) {
        ssize_t count = pwrite(descriptor_, data + done, static_cast<size_t>(size - done), start + done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) QvModuleFail(QV_MEDIA_CANNOT_WRITE, path_, count < 0 ? errno : ENOSPC);
        done += static_cast<int>(count);
    }
    end_ += size;
    return start;
}

void QvStoreFile::read(int64_t offset, uint8_t* data, int size) const {
    for (int done = 0; done < size;) {
        ssize_t count = pread(descriptor_, data + done, static_cast<size_t>(size - done), offset + done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) QvModuleFail(QV_MEDIA_FAILED, "Invalid Media Error");
        done += static_cast<int>(count);
    }
}

QvStoreSource::QvStoreSource(std::shared_ptr<QvStoreFile> file, const QvMediaCompression& compression, int width,
                             int height, int timeScale)
    : file_(std::move(file)),
      parameters_(nullptr, [](AVCodecParameters* parameters) { avcodec_parameters_free(&parameters); }),
      timeBase_{1, timeScale},
      width_(width),
      height_(height) {
    if (timeScale < 1) QvModuleFail(QV_MEDIA_SETTINGS_REFUSED);
    encoder_ = std::make_unique<QvFrameEncoder>(compression, width, height, timeBase_, true, false);
}

void QvStoreSource::append(const QvMediaPicture& picture, int64_t duration) {
    if (!encoder_) QvModuleFail(QV_MEDIA_FAILED, "The stream has ended.");
    if (picture.width != width_ || picture.height != height_)
        QvModuleFail(QV_MEDIA_FAILED, "The picture's size is not the stream's.");
    encoder_->encode(picture, nextTime_, duration, false,
                     [this](AVPacket& packet, int64_t packetDuration) { keep(packet, packetDuration); });
    nextTime_ += duration;
}

// The parameters stay when the compressor goes: they describe the packets kept.
void QvStoreSource::end() {
    if (!encoder_) return;
    encoder_->flush([this](AVPacket& packet, int64_t duration) { keep(packet, duration); });
    parameters_.reset(QvModuleCheckMemory(avcodec_parameters_alloc()));
    if (avcodec_parameters_copy(parameters_.get(), &encoder_->parameters()) < 0) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    encoder_.reset();
}

void QvStoreSource::keep(AVPacket& packet, int64_t duration) {
    Record record{};
    record.size = packet.size;
    record.entry.position = file_->append(packet.data, packet.size);
    record.entry.dts = packet.dts != AV_NOPTS_VALUE ? packet.dts : packet.pts;
    record.entry.dtsFromStream = true;
    record.entry.pts = packet.pts;
    record.entry.duration = duration;
    record.entry.key = (packet.flags & AV_PKT_FLAG_KEY) != 0;
    records_.push_back(record);
}

bool QvStoreSource::scanNext(QvPacketEntry& entry, const QvModuleWork&) {
    if (scanned_ >= records_.size()) return false;
    entry = records_[scanned_++].entry;
    return true;
}

bool QvStoreSource::seek(int64_t dts, bool toStart, const QvModuleWork&) {
    if (toStart) {
        nextRead_ = 0;
        return true;
    }
    auto after = std::upper_bound(records_.begin(), records_.end(), dts,
                                  [](int64_t time, const Record& record) { return time < record.entry.dts; });
    nextRead_ = after == records_.begin() ? 0 : static_cast<size_t>(after - records_.begin()) - 1;
    return true;
}

bool QvStoreSource::readNext(AVPacket& packet, const QvModuleWork&) {
    if (nextRead_ >= records_.size()) return false;
    const Record& record = records_[nextRead_++];
    if (av_new_packet(&packet, record.size) < 0) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    file_->read(record.entry.position, packet.data, record.size);
    packet.pts = record.entry.pts;
    packet.dts = record.entry.dts;
    packet.pos = record.entry.position;
    packet.duration = record.entry.duration;
    if (record.entry.key) packet.flags |= AV_PKT_FLAG_KEY;
    return true;
}
