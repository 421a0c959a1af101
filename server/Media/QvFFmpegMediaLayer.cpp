#include "Media/QvFFmpegMediaLayer.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Errors/QvErrors.h"
#include "Files/QvFileStatus.h"
#include "Images/QvFrameCompression.h"
#include "Media/QvMediaModule.h"
#include "Media/QvMediaPictures.h"
#include "QvGWorld/QvPixelBuffer.h"

namespace fs = std::filesystem;

namespace {
// How much of a file's start tells its picture format.
constexpr size_t kHeadBytes = 4096;

// Reads up to `most` bytes of a regular file (a device or a pipe could be endless);
// with `whole`, a longer file is refused unread.
bool readImageFile(const char* path, std::vector<uint8_t>& bytes, uintmax_t most, bool whole) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return false;
    uintmax_t size = fs::file_size(path, error);
    if (error || (whole && size > most)) return false;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.resize(static_cast<size_t>(std::min(size, most)));
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(file.gcount()));
    return !file.bad();
}

// The module's decoder asks for the picture once it knows the size.
struct DecodedPicture {
    std::unique_ptr<QvPixelBuffer> buffer;

    static int32_t make(void* context, int32_t width, int32_t height, QvMediaPicture* picture) {
        DecodedPicture& decoded = *static_cast<DecodedPicture*>(context);
        decoded.buffer = QvPixelBuffer::create(width, height);
        if (!decoded.buffer) return 1;
        *picture = QvMediaPicture{decoded.buffer->lock(), static_cast<ptrdiff_t>(decoded.buffer->rowBytes()), width,
                                  height};
        return 0;
    }
};
}  // namespace

QvMediaLayer& QvTheMediaLayer() {
    static QvFFmpegMediaLayer layer;
    return layer;
}

long QvFFmpegMediaLayer::start() {
    std::lock_guard<std::mutex> guard(startLock_);
    ++startCount_;
    return 0;
}

void QvFFmpegMediaLayer::stop() {
    std::lock_guard<std::mutex> guard(startLock_);
    if (startCount_ > 0) --startCount_;
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
    QvMediaModule::functions();
    std::vector<uint8_t> bytes;
    if (!readImageFile(file.path, bytes, kMaxImageFileBytes, true)) QvError("Could not get graphics importer for file.");
    return decodeImage(bytes.data(), bytes.size());
}

std::unique_ptr<QvPixelBuffer> QvFFmpegMediaLayer::decodeImage(const uint8_t* bytes, size_t size) {
    const QvMediaModuleFunctions& module = QvMediaModule::functions();
    DecodedPicture decoded;
    QvMediaResult result{};
    int32_t code = module.imageDecode(bytes, size, &DecodedPicture::make, &decoded, &result);
    if (decoded.buffer) decoded.buffer->unlock();
    if (code != QV_MEDIA_OK) QvMediaModule::raise(result, "Could not get graphics importer for file.");
    return std::move(decoded.buffer);
}

std::vector<uint8_t> QvFFmpegMediaLayer::encodeImage(QvPixelBuffer& picture, const std::string& compression,
                                                     double quality) {
    const QvMediaModuleFunctions& module = QvMediaModule::functions();
    std::vector<uint8_t> bytes;
    QvMediaResult result{};
    QvPictureView view(picture);
    auto keep = [](void* context, const uint8_t* data, size_t size) {
        static_cast<std::vector<uint8_t>*>(context)->assign(data, data + size);
    };
    if (module.imageEncode(view.get(), compression.c_str(), quality, keep, &bytes, &result) != QV_MEDIA_OK) {
        if (result.code == QV_MEDIA_UNKNOWN_COMPRESSOR) QvFrameCompression::raiseUnknown();
        QvMediaModule::raise(result, "Export of the picture failed.");
    }
    return bytes;
}

void QvFFmpegMediaLayer::exportImage(QvPixelBuffer& picture, const QvMediaFileLocation& file,
                                     const std::string& compression, double quality) {
    std::vector<uint8_t> bytes = encodeImage(picture, compression, quality);
    std::ofstream out(file.path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::string message = std::string("Export of the picture to file '") + file.path + "' failed.";
        QvError(message.c_str());
    }
}

std::vector<std::string> QvFFmpegMediaLayer::imageCompressorNames() const {
    return QvCollectNames(QvMediaModule::functions().imageCompressorNames);
}

bool QvFFmpegMediaLayer::isImageFile(const QvMediaFileLocation& file) {
    const QvMediaModuleFunctions& module = QvMediaModule::functions();
    std::vector<uint8_t> head;
    if (!readImageFile(file.path, head, kHeadBytes, false)) return false;
    return module.imageRecognise(head.data(), head.size()) != 0;
}
