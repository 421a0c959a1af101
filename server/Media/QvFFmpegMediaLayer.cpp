#include "Media/QvFFmpegMediaLayer.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Errors/QvErrors.h"
#include "Files/QvFileStatus.h"
#include "MediaModule/QvFFmpegImageCodec.h"
#include "QvGWorld/QvPixelBuffer.h"

extern "C" {
#include <libavdevice/avdevice.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace fs = std::filesystem;

namespace {
// Regular files only: a device or a pipe could be endless.
bool readImageFile(const char* path, std::vector<uint8_t>& bytes) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return false;
    uintmax_t size = fs::file_size(path, error);
    if (error || size > QvFFmpegMediaLayer::kMaxImageFileBytes) return false;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.resize(static_cast<size_t>(size));
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(file.gcount()));
    return !file.bad();
}
}

QvMediaLayer& QvTheMediaLayer() {
    static QvFFmpegMediaLayer layer;
    return layer;
}

// The libraries report problems through our errors; their own log would only repeat
// them on standard error.
long QvFFmpegMediaLayer::start() {
    std::lock_guard<std::mutex> guard(startLock_);
    if (startCount_++ == 0) {
        av_log_set_level(AV_LOG_QUIET);
        avdevice_register_all();
        avformat_network_init();
    }
    return 0;
}

void QvFFmpegMediaLayer::stop() {
    std::lock_guard<std::mutex> guard(startLock_);
    if (startCount_ == 0) return;
    if (--startCount_ == 0) avformat_network_deinit();
}

long QvFFmpegMediaLayer::makeFileSpec(const std::string& path, QvMediaFileLocation* fileSpec) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    if (error) return QvFileStatusFromError(error);
    std::string text = absolute.lexically_normal().string();
    if (path.empty() || text.size() >= QvMediaFileLocation::kPathCapacity) return QV_FILE_BAD_NAME;
    std::memcpy(fileSpec->path, text.c_str(), text.size() + 1);
    if (fs::exists(absolute, error)) return QV_FILE_OK;
    return error ? QvFileStatusFromError(error) : QV_FILE_NOT_FOUND;
}

std::unique_ptr<QvPixelBuffer> QvFFmpegMediaLayer::createOffscreen(int width, int height) {
    return QvPixelBuffer::create(width, height);
}

std::unique_ptr<QvPixelBuffer> QvFFmpegMediaLayer::importImage(const QvMediaFileLocation& file) {
    std::vector<uint8_t> bytes;
    if (!readImageFile(file.path, bytes)) QvError("Could not get graphics importer for file.");
    return QvFFmpegImageCodec::decode(bytes.data(), bytes.size());
}

void QvFFmpegMediaLayer::exportImage(QvPixelBuffer& picture, const QvMediaFileLocation& file,
                                     const std::string& compression, double quality) {
    std::vector<uint8_t> bytes = QvFFmpegImageCodec::encode(picture, compression, quality);
    std::ofstream out(file.path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::string message = std::string("Export of the picture to file '") + file.path + "' failed.";
        QvError(message.c_str());
    }
}

std::vector<std::string> QvFFmpegMediaLayer::imageCompressorNames() const {
    return QvFFmpegImageCodec::compressorNames();
}
