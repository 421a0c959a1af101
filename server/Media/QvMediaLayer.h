#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Media/QvMediaFileLocation.h"
#include "QvExport.h"

class QvPixelBuffer;

// What the engine asks of the platform's media libraries: their start and stop, file
// specifications, offscreen pictures and image files. Movies, cameras and video
// outputs are the classes beside this one (QvMediaMovie.h, QvCaptureDevice.h,
// QvVideoOutputDevice.h). One process-wide instance: QvTheMediaLayer(). File
// specifications and offscreen pictures need no media libraries; everything else
// opens the media module on first use.
class QV_EXPORT QvMediaLayer {
public:
    static constexpr const char* kDefaultImageCompression = "JPEG";

    virtual ~QvMediaLayer() = default;

    // Counted. The libraries themselves are brought up on first use, so a start cannot
    // fail; a missing module shows on the first media operation instead. Returns 0.
    virtual long start() = 0;
    virtual void stop() = 0;

    // Fills `fileSpec` with the absolute form of `path`. Returns 0 when the file exists,
    // QV_FILE_NOT_FOUND when it does not, another file status when the path is unusable.
    virtual long makeFileSpec(const std::string& path, QvMediaFileLocation* fileSpec) = 0;

    // A picture of width x height 32-bit ARGB pixels; null when it cannot be made.
    virtual std::unique_ptr<QvPixelBuffer> createOffscreen(int width, int height) = 0;

    // Reads any image file the libraries decode into a new picture of its size.
    // Failures raise the reading errors of frames.
    virtual std::unique_ptr<QvPixelBuffer> importImage(const QvMediaFileLocation& file) = 0;
    // Writes the picture in the named compression; quality runs from 0 to 1 and is
    // ignored by lossless formats. Raises on an unknown name or a failed write.
    virtual void exportImage(QvPixelBuffer& picture, const QvMediaFileLocation& file, const std::string& compression,
                             double quality) = 0;
    virtual std::vector<std::string> imageCompressorNames() const = 0;
    // The same in memory: the bytes of an image file, and a picture from them.
    virtual std::vector<uint8_t> encodeImage(QvPixelBuffer& picture, const std::string& compression,
                                             double quality) = 0;
    virtual std::unique_ptr<QvPixelBuffer> decodeImage(const uint8_t* bytes, size_t size) = 0;
    // Whether the file's content is a picture format the libraries read.
    virtual bool isImageFile(const QvMediaFileLocation& file) = 0;
};

QV_EXPORT QvMediaLayer& QvTheMediaLayer();
