#include "Media/QvMediaPictures.h"

#include "Errors/QvExceptions.h"

QvPictureView::QvPictureView(QvPixelBuffer& buffer) : QvPictureView(buffer, buffer.width(), buffer.height()) {}

QvPictureView::QvPictureView(QvPixelBuffer& buffer, int width, int height)
    : buffer_(buffer),
      picture_{buffer.lock(), static_cast<ptrdiff_t>(buffer.rowBytes()), width, height} {}

QvPictureView::~QvPictureView() { buffer_.unlock(); }

std::unique_ptr<QvPixelBuffer> QvNewPicture(int width, int height) {
    std::unique_ptr<QvPixelBuffer> picture = QvPixelBuffer::create(width, height);
    if (!picture) throw new QvMemoryException("picture");
    return picture;
}

std::vector<std::string> QvCollectNames(void (*list)(QvMediaTextSink, void*)) {
    std::vector<std::string> names;
    list([](void* context, const char* name) { static_cast<std::vector<std::string>*>(context)->push_back(name); },
         &names);
    return names;
}
