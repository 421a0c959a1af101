#include <istream>
#include <ostream>

#include "Errors/QvExceptions.h"
#include "Files/QvFileStatus.h"
#include "Images/Qv2DValue.h"
#include "Images/QvImageValues.h"
#include "Images/QvPictureConversion.h"
#include "Media/QvMediaLayer.h"
#include "QvGWorld/QvPixelBuffer.h"
#include "Values/QvValueFile.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixel rows are written in memory order");

namespace {

// The loader's image-file step: a file whose content is a picture the media layer
// reads becomes a frame (compression "JPEG"); anything else is left to the next step.
// It is registered here, beside the reader that the value kinds table uses, so that
// every program that can read pictures has the step.
QvValue* openImageFile(const std::string& path, const std::string&) {
    QvMediaFileLocation file;
    if (QvTheMediaLayer().makeFileSpec(path, &file) != QV_FILE_OK || !QvTheMediaLayer().isImageFile(file))
        return nullptr;
    std::unique_ptr<QvPixelBuffer> buffer = QvTheMediaLayer().importImage(file);
    return new QvImageValueBC(QvPictureConversion::fromARGB(*buffer, QvPixelClass::ByteColor));
}

const bool registered = (QvValueFile::addOpener(&openImageFile), true);

[[noreturn]] void raiseReadFailure() { throw new QvFileException("Reading Image Data Failed."); }

// The bytes left in the stream after its position; -1 when it cannot tell.
int64_t remainingBytes(std::istream& in) {
    std::streampos here = in.tellg();
    if (here < 0) return -1;
    in.seekg(0, std::ios::end);
    std::streampos end = in.tellg();
    in.seekg(here);
    if (end < 0 || !in) {
        in.clear();
        return -1;
    }
    return int64_t(end - here);
}

}  // namespace

void Qv2DValue::WriteData(std::ostream& out) const {
    QvValueFile::writeInt32(out, GetWidth());
    QvValueFile::writeInt32(out, GetHeight());
    size_t rowLength = size_t(GetWidth()) * QvPixelBytes(pixelClass());
    for (int32_t y = 0; y < GetHeight() && rowLength > 0; ++y)
        QvValueFile::writeBytes(out, pixels().rowBytesAt(y), rowLength);
    if (!out) throw new QvFileException("Writing Image Data Failed.");
}

QvValue* Qv2DValue::ReadPicture(QvTypeEnum type, std::istream& in) {
    int64_t remaining = remainingBytes(in);
    if (remaining >= 0 && remaining < 8) raiseReadFailure();
    int32_t width = QvValueFile::readInt32(in);
    int32_t height = QvValueFile::readInt32(in);
    if (width < 0 || height < 0) raiseReadFailure();
    QvPixelClass pixelClass = QvPixelClassOf(type);
    uint64_t rowLength = uint64_t(width) * QvPixelBytes(pixelClass);
    if (remaining >= 0) remaining -= 8;
    if (remaining >= 0 && rowLength * uint64_t(height) > uint64_t(remaining)) raiseReadFailure();
    if (remaining < 0 && rowLength * uint64_t(height) > QvPixelStorage::kMaxBytes) raiseReadFailure();
    QvPixelStorage pixels(pixelClass, width, height);
    for (int32_t y = 0; y < height && rowLength > 0; ++y) {
        in.read(reinterpret_cast<char*>(pixels.rowBytesAt(y)), std::streamsize(rowLength));
        if (uint64_t(in.gcount()) != rowLength) raiseReadFailure();
    }
    return QvNewPicture(type, std::move(pixels));
}
