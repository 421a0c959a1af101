#include <string>

#include "Files/QvFileStatus.h"
#include "Images/QvImageValues.h"
#include "Images/QvPictureConversion.h"
#include "Media/QvMediaLayer.h"
#include "QvGWorld/QvPixelBuffer.h"
#include "Values/QvValueFile.h"

namespace {

// The loader's image-file step: a file whose content is a picture the media layer
// reads becomes a frame (compression "JPEG"); anything else is left to the next step.
QvValue* openImageFile(const std::string& path) {
    QvMediaFileLocation file;
    if (QvTheMediaLayer().makeFileSpec(path, &file) != QV_FILE_OK || !QvTheMediaLayer().isImageFile(file))
        return nullptr;
    std::unique_ptr<QvPixelBuffer> buffer = QvTheMediaLayer().importImage(file);
    return new QvImageValueBC(QvPictureConversion::fromARGB(*buffer, QvPixelClass::ByteColor));
}

const bool registered = (QvValueFile::addOpener(&openImageFile), true);

}  // namespace
