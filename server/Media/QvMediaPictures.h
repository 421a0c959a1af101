#pragma once
#include <memory>
#include <string>
#include <vector>

#include "Media/QvMediaModuleAbi.h"
#include "QvGWorld/QvPixelBuffer.h"

// Plain views of the engine's pictures for the media module, and the small helpers every
// caller of the module needs.

// The buffer's pixels as the module sees them, for as long as the view lives (it keeps
// the buffer locked).
class QvPictureView {
public:
    explicit QvPictureView(QvPixelBuffer& buffer);
    // A view of the top-left width x height of the buffer.
    QvPictureView(QvPixelBuffer& buffer, int width, int height);
    ~QvPictureView();
    QvPictureView(const QvPictureView&) = delete;
    QvPictureView& operator=(const QvPictureView&) = delete;

    const QvMediaPicture* get() const { return &picture_; }

private:
    QvPixelBuffer& buffer_;
    QvMediaPicture picture_;
};

// A new picture of the size; raises "Out of Memory" when it cannot be had.
std::unique_ptr<QvPixelBuffer> QvNewPicture(int width, int height);

// Collects the names a module function lists.
std::vector<std::string> QvCollectNames(void (*list)(QvMediaTextSink, void*));
