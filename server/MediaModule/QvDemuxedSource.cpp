#include "MediaModule/QvDemuxedSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "MediaModule/QvModuleFailure.h"

namespace {
constexpr int kReadChunk = 256 * 1024;
// Protocols an address may use: the five allowed at its start, and those they stand on.
const char* const kAddressProtocols = "http,https,rtsp,rtmp,tls,tcp,udp,rtp,srtp,crypto,httpproxy";
const char* const kAddressSchemes[] = {"http://", "https://", "rtsp://", "rtmp://"};
// Blocking network reads give up after this long (microseconds).
const char* const kNetworkTimeout = "15000000";

bool startsWith(const std::string& text, const char* prefix) { return text.compare(0, strlen(prefix), prefix) == 0; }

// Reads a regular file by position, for one demuxer.
struct FileReader {
    int descriptor;
    int64_t position = 0;
    int64_t size;

    static int read(void* opaque, uint8_t* target, int wanted) {
        FileReader& file = *static_cast<FileReader*>(opaque);
        ssize_t count;
        do count = pread(file.descriptor, target, static_cast<size_t>(wanted), file.position);
        while (count < 0 && errno == EINTR);
        if (count < 0) return AVERROR(errno);
        if (count == 0) return AVERROR_EOF;
        file.position += count;
        return static_cast<int>(count);
    }

    static int64_t seek(void* opaque, int64_t offset, int whence) {
        FileReader& file = *static_cast<FileReader*>(opaque);
        int64_t base = 0;
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE: return file.size;
        case SEEK_SET: base = 0; break;
        case SEEK_CUR: base = file.position; break;
        case SEEK_END: base = file.size; break;
        default: return AVERROR(EINVAL);
        }
        if (offset > INT64_MAX - base || base + offset < 0) return AVERROR(EINVAL);
        file.position = base + offset;
        return file.position;
    }
};

// Opens a regular file for reading without waiting on pipes or devices: anything else
// is refused, a folder as unopenable, the rest as no movie.
int openRegularFile(const std::string& path, int64_t& size) {
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) QvModuleFail(QV_MEDIA_CANNOT_OPEN, path, errno);
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        bool folder = S_ISDIR(status.st_mode);
        ::close(descriptor);
        if (folder) QvModuleFail(QV_MEDIA_CANNOT_OPEN, path, EISDIR);
        QvModuleFail(QV_MEDIA_NOT_A_MOVIE, path);
    }
    size = status.st_size;
    return descriptor;
}

bool isAttachedPicture(const AVStream& stream) { return (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0; }

// The movie's video: the libraries' best stream, unless it is a cover picture.
int chooseVideo(AVFormatContext& context) {
    int best = av_find_best_stream(&context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (best >= 0 && !isAttachedPicture(*context.streams[best])) return best;
    for (unsigned i = 0; i < context.nb_streams; ++i)
        if (context.streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !isAttachedPicture(*context.streams[i]))
            return static_cast<int>(i);
    return -1;
}

// A picture size a movie can have: frames of it are made for every reading.
bool usable(const AVCodecParameters& parameters) {
    return parameters.width > 0 && parameters.height > 0 && parameters.width <= QV_MEDIA_MAX_SIDE &&
           parameters.height <= QV_MEDIA_MAX_SIDE && int64_t(parameters.width) * parameters.height <= QV_MEDIA_MAX_PIXELS &&
           avcodec_find_decoder(parameters.codec_id);
}
}  // namespace

// One demuxer over the location, with the file reader it owns.
class QvDemuxedSource::Input {
public:
    ~Input() {
        context.reset();
        if (reader) {
            av_freep(&reader->buffer);
            avio_context_free(&reader);
        }
        if (file.descriptor >= 0) ::close(file.descriptor);
    }

    QvInputHandle context;
    AVIOContext* reader = nullptr;
    FileReader file{-1, 0, 0};
};

QvDemuxedSource::QvDemuxedSource(const std::string& location, bool isFile)
    : location_(location), isFile_(isFile), scanPacket_(QvModuleCheckMemory(av_packet_alloc())) {}

QvDemuxedSource::~QvDemuxedSource() = default;

std::unique_ptr<QvDemuxedSource> QvDemuxedSource::openFile(const std::string& path, const QvModuleWork& work) {
    std::unique_ptr<QvDemuxedSource> source(new QvDemuxedSource(path, true));
    source->scanner_ = source->openInput(work);
    return source;
}

std::unique_ptr<QvDemuxedSource> QvDemuxedSource::openAddress(const std::string& address, const QvModuleWork& work) {
    if (startsWith(address, "file://")) {
        std::string path = address.substr(7);
        if (startsWith(path, "localhost/")) path = path.substr(9);
        return openFile(path, work);
    }
    bool allowed = false;
    for (const char* scheme : kAddressSchemes) allowed |= startsWith(address, scheme);
    if (!allowed) QvModuleFail(QV_MEDIA_ADDRESS_NOT_FOUND, address);
    std::unique_ptr<QvDemuxedSource> source(new QvDemuxedSource(address, false));
    source->scanner_ = source->openInput(work);
    return source;
}

std::unique_ptr<QvDemuxedSource::Input> QvDemuxedSource::openInput(const QvModuleWork& work) {
    QvInterruptHook::Scope scope(hook_, work);
    QvMediaCode notFound = isFile_ ? QV_MEDIA_NOT_A_MOVIE : QV_MEDIA_ADDRESS_NOT_FOUND;
    std::unique_ptr<Input> input(new Input);
    // Owned here until opening takes it over (and frees it itself when opening fails).
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> unopened(
        QvModuleCheckMemory(avformat_alloc_context()), avformat_free_context);
    AVFormatContext* context = unopened.get();
    context->interrupt_callback = hook_.callback();
    AVDictionary* options = nullptr;
    if (isFile_) {
        input->file.descriptor = openRegularFile(location_, input->file.size);
        uint8_t* chunk = static_cast<uint8_t*>(av_malloc(kReadChunk));
        input->reader = chunk ? avio_alloc_context(chunk, kReadChunk, 0, &input->file, &FileReader::read, nullptr,
                                                   &FileReader::seek)
                              : nullptr;
        if (!input->reader) {
            av_free(chunk);
            QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
        }
        context->pb = input->reader;
        context->flags |= AVFMT_FLAG_CUSTOM_IO;
        // Whatever the file names inside it, nothing else may be opened.
        av_dict_set(&options, "protocol_whitelist", "none", 0);
    } else {
        av_dict_set(&options, "protocol_whitelist", kAddressProtocols, 0);
        av_dict_set(&options, "rw_timeout", kNetworkTimeout, 0);
        av_dict_set(&options, "timeout", kNetworkTimeout, 0);
    }
    unopened.release();
    int status = avformat_open_input(&context, isFile_ ? nullptr : location_.c_str(), nullptr, &options);
    av_dict_free(&options);
    work.checkStop();
    if (status < 0) QvModuleFail(notFound, location_);  // the library has freed the context
    input->context.reset(context);
    if (avformat_find_stream_info(context, nullptr) < 0) {
        work.checkStop();
        QvModuleFail(notFound, location_);
    }
    // The reader of a file opened before finds the stream the scanner chose.
    if (stream_ < 0) stream_ = chooseVideo(*context);
    if (stream_ < 0 || stream_ >= static_cast<int>(context->nb_streams) ||
        !usable(*context->streams[stream_]->codecpar))
        QvModuleFail(notFound, location_);
    for (unsigned i = 0; i < context->nb_streams; ++i)
        if (static_cast<int>(i) != stream_) context->streams[i]->discard = AVDISCARD_ALL;
    return input;
}

const AVCodecParameters& QvDemuxedSource::parameters() const { return *scanner_->context->streams[stream_]->codecpar; }

AVRational QvDemuxedSource::timeBase() const { return scanner_->context->streams[stream_]->time_base; }

// The next packet of the video stream; false at the end or on an error that ends it.
bool QvDemuxedSource::nextOfStream(Input& input, AVPacket& packet, const QvModuleWork& work) {
    for (;;) {
        int status = av_read_frame(input.context.get(), &packet);
        if (status == AVERROR(EAGAIN)) {
            work.checkStop();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        if (status == AVERROR_EXIT) QvModuleFail(QV_MEDIA_STOPPED);
        if (status < 0) return false;
        if (packet.stream_index == stream_) return true;
        av_packet_unref(&packet);
    }
}

bool QvDemuxedSource::scanNext(QvPacketEntry& entry, const QvModuleWork& work) {
    QvInterruptHook::Scope scope(hook_, work);
    if (!nextOfStream(*scanner_, *scanPacket_, work)) return false;
    const AVPacket& packet = *scanPacket_;
    entry = QvPacketEntry{};
    entry.dtsFromStream = packet.dts != AV_NOPTS_VALUE;
    entry.dts = packet.dts;
    entry.pts = packet.pts;
    entry.position = packet.pos;
    entry.duration = packet.duration;
    entry.key = (packet.flags & AV_PKT_FLAG_KEY) != 0;
    entry.discard = (packet.flags & AV_PKT_FLAG_DISCARD) != 0;
    av_packet_unref(scanPacket_.get());
    return true;
}

// Going back to the start opens the location afresh: every demuxer can do that, and it
// reads the first packets exactly as the scan did.
double QvDemuxedSource::scanned() const {
    AVIOContext* input = scanner_->context->pb;
    int64_t size = input ? avio_size(input) : -1;
    return size > 0 ? std::min(1.0, double(avio_tell(input)) / size) : -1;
}

bool QvDemuxedSource::seek(int64_t dts, bool toStart, const QvModuleWork& work) {
    if (!reader_ || toStart) {
        reader_.reset();
        reader_ = openInput(work);
        if (toStart) return true;
    }
    QvInterruptHook::Scope scope(hook_, work);
    return av_seek_frame(reader_->context.get(), stream_, dts, AVSEEK_FLAG_BACKWARD) >= 0;
}

bool QvDemuxedSource::readNext(AVPacket& packet, const QvModuleWork& work) {
    if (!reader_) reader_ = openInput(work);
    QvInterruptHook::Scope scope(hook_, work);
    return nextOfStream(*reader_, packet, work);
}
