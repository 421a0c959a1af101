#pragma once
#include <cstdint>
#include <memory>

#include "QvExport.h"
#include "QvGWorld/QvPixelBuffer.h"
#include "Values/QvAutoObject.h"

// A counted buffer of 32-bit ARGB pixels through which pictures are shown, read from
// and written to image files, and exchanged with movies and cameras. Its pixels are
// addressable only while it is locked; locks nest, each with its unlock (use
// QvGWorldLockScope for a scope). A buffer handed to a drawing command is never changed
// again, so a host may draw it while the script goes on.
class QV_EXPORT QvGWorld : public QvAutoObject {
public:
    static constexpr uint32_t kFormatARGB = 0x41524742;  // 'ARGB'
    static constexpr int kMaxSide = QvPixelBuffer::kMaxSide;

    // Raises "Can't create a frame or image with zero area." for an empty size, the
    // too-large error for a side over kMaxSide, and "Out of Memory" when the buffer
    // cannot be had.
    QvGWorld(int width, int height);
    // Takes over a buffer the media layer made.
    explicit QvGWorld(std::unique_ptr<QvPixelBuffer> buffer);
    ~QvGWorld() override;

    // Raises "The picture is too large (at most 32767 pixels a side)." above kMaxSide.
    static void checkSides(int64_t width, int64_t height);

    uint8_t* lock();
    void unlock();
    // The unlock of a scope's end: never raises (an extra unlock elsewhere is ignored).
    void unlockQuietly() noexcept;
    int lockCount() const { return lockCount_; }
    // Row y of a locked buffer; raises when not locked or y is outside 0..height-1.
    uint32_t* getLine(int64_t y);

    int width() const { return buffer_->width(); }
    int height() const { return buffer_->height(); }
    // Bytes from one row to the next; 0 while unlocked.
    long rowBytes() const { return rowBytes_; }
    uint32_t pixelFormat() const { return kFormatARGB; }
    QvPixelBuffer& buffer() { return *buffer_; }

private:
    std::unique_ptr<QvPixelBuffer> buffer_;
    int lockCount_ = 0;
    uint8_t* base_ = nullptr;
    long rowBytes_ = 0;
};

// Holds a lock on a gworld for a scope.
class QvGWorldLockScope {
public:
    explicit QvGWorldLockScope(QvGWorld& world) : world_(world) { world_.lock(); }
    ~QvGWorldLockScope() { world_.unlockQuietly(); }
    QvGWorldLockScope(const QvGWorldLockScope&) = delete;
    QvGWorldLockScope& operator=(const QvGWorldLockScope&) = delete;

private:
    QvGWorld& world_;
};

// The exported functions of gworlds; a null gworld raises "Invalid gworld.".
QV_C_EXPORT QvGWorld* QvGWorldCreate(short width, short height);
QV_C_EXPORT void* QvGWorldLock(QvGWorld* world);
QV_C_EXPORT void QvGWorldUnlock(QvGWorld* world);
QV_C_EXPORT void* QvGWorldGetLineRandomAccess(QvGWorld* world, long y);
QV_C_EXPORT void* QvGWorldGetLineRead1(QvGWorld* world, long y);
QV_C_EXPORT void* QvGWorldGetLineRead2(QvGWorld* world, long y);
QV_C_EXPORT void* QvGWorldGetLineRead3(QvGWorld* world, long y);
QV_C_EXPORT void* QvGWorldGetLineReadWrite(QvGWorld* world, long y);
QV_C_EXPORT void* QvGWorldGetLineWrite(QvGWorld* world, long y);
QV_C_EXPORT long QvGWorldGetRowBytes(QvGWorld* world);
QV_C_EXPORT short QvGWorldGetWidth(QvGWorld* world);
QV_C_EXPORT short QvGWorldGetHeight(QvGWorld* world);
QV_C_EXPORT unsigned long QvGWorldGetPixelFormat(QvGWorld* world);
// 32-bit buffers have no colour table: always null.
QV_C_EXPORT void* QvGWorldGetCLUT(QvGWorld* world);
// The platform objects: here both are the pixel buffer.
QV_C_EXPORT void* QvGWorldGetPixMap(QvGWorld* world);
QV_C_EXPORT void* QvGWorldGetMacGWorld(QvGWorld* world);
// Copies the rectangle (left, top, width, height) of the source to (targetLeft,
// targetTop) of the target, clipped to both buffers.
QV_C_EXPORT void QvGWorldCopyImage(QvGWorld* source, QvGWorld* target, int left, int top, int width, int height,
                                   int targetLeft, int targetTop);
// Copies the whole source to the top-left corner of the target, clipped.
QV_C_EXPORT void QvGWorldCopyImageToGWorld(QvGWorld* source, QvGWorld* target);
// Drawing goes through the buffer's own pixels; there is no context to switch.
QV_C_EXPORT void QvGWorldSetContext(QvGWorld* world);
QV_C_EXPORT void QvGWorldDelete(QvGWorld* world);
