#include "QvGWorld/QvGWorld.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"

namespace {

QvGWorld& worldOf(QvGWorld* world) {
    if (!world) QvError("Invalid gworld.");
    return *world;
}

}  // namespace

void QvGWorld::checkSides(int64_t width, int64_t height) {
    if (width > kMaxSide || height > kMaxSide) QvError("The picture is too large (at most 32767 pixels a side).");
}

QvGWorld::QvGWorld(int width, int height) {
    if (width <= 0 || height <= 0) QvError("Can't create a frame or image with zero area.");
    checkSides(width, height);
    buffer_ = QvPixelBuffer::create(width, height);
    if (!buffer_) throw new QvMemoryException("Out of Memory");
}

QvGWorld::QvGWorld(std::unique_ptr<QvPixelBuffer> buffer) : buffer_(std::move(buffer)) {
    if (!buffer_) throw new QvMemoryException("Out of Memory");
}

// A destructor must not raise: what the buffer's users did wrong is reported as a warning.
QvGWorld::~QvGWorld() {
    if (lockCount_ != 0) QvWarning("Pixels are locked on deletion !!!\n");
    if (referenceCount() != 1) QvWarning("Reference Counter Not One !!!\n");
    while (buffer_->isLocked()) buffer_->unlock();
}

uint8_t* QvGWorld::lock() {
    if (lockCount_ + 1 < 1) QvError("QvGWorld::Lock() : LockCount was negative!!");
    if (lockCount_ == 0) {
        base_ = buffer_->lock();
        if (!base_) QvError("Pixels failed to lock !!!");
        rowBytes_ = long(buffer_->rowBytes());
    }
    ++lockCount_;
    return base_;
}

void QvGWorld::unlock() {
    if (lockCount_ < 1) QvError("QvGWorld::Unlock() : Pixels already unlocked!!");
    unlockQuietly();
}

void QvGWorld::unlockQuietly() noexcept {
    if (lockCount_ < 1) return;
    if (--lockCount_ == 0) {
        buffer_->unlock();
        base_ = nullptr;
        rowBytes_ = 0;
    }
}

uint32_t* QvGWorld::getLine(int64_t y) {
    if (lockCount_ < 1) QvError("QvGWorld::getLineX() : Pixels NOT locked!!");
    if (y < 0 || y >= height()) QvError("QvGWorld::getLineX() : Line out of bounds!!");
    return reinterpret_cast<uint32_t*>(base_ + size_t(rowBytes_) * size_t(y));
}

QvGWorld* QvGWorldCreate(short width, short height) { return new QvGWorld(width, height); }
void* QvGWorldLock(QvGWorld* world) { return worldOf(world).lock(); }
void QvGWorldUnlock(QvGWorld* world) { worldOf(world).unlock(); }
void* QvGWorldGetLineRandomAccess(QvGWorld* world, long y) { return worldOf(world).getLine(y); }
void* QvGWorldGetLineRead1(QvGWorld* world, long y) { return worldOf(world).getLine(y); }
void* QvGWorldGetLineRead2(QvGWorld* world, long y) { return worldOf(world).getLine(y); }
void* QvGWorldGetLineRead3(QvGWorld* world, long y) { return worldOf(world).getLine(y); }
void* QvGWorldGetLineReadWrite(QvGWorld* world, long y) { return worldOf(world).getLine(y); }
void* QvGWorldGetLineWrite(QvGWorld* world, long y) { return worldOf(world).getLine(y); }
long QvGWorldGetRowBytes(QvGWorld* world) { return worldOf(world).rowBytes(); }
short QvGWorldGetWidth(QvGWorld* world) { return short(worldOf(world).width()); }
short QvGWorldGetHeight(QvGWorld* world) { return short(worldOf(world).height()); }
unsigned long QvGWorldGetPixelFormat(QvGWorld* world) { return worldOf(world).pixelFormat(); }
void* QvGWorldGetCLUT(QvGWorld*) { return nullptr; }
void* QvGWorldGetPixMap(QvGWorld* world) { return &worldOf(world).buffer(); }
void* QvGWorldGetMacGWorld(QvGWorld* world) { return &worldOf(world).buffer(); }

void QvGWorldCopyImage(QvGWorld* source, QvGWorld* target, int left, int top, int width, int height, int targetLeft,
                       int targetTop) {
    QvGWorld& from = worldOf(source);
    QvGWorld& to = worldOf(target);
    // Clip the rectangle to the source, then its placement to the target.
    int64_t x0 = std::max<int64_t>({0, left, int64_t(left) - targetLeft});
    int64_t y0 = std::max<int64_t>({0, top, int64_t(top) - targetTop});
    int64_t x1 = std::min<int64_t>({int64_t(left) + width, from.width(), int64_t(to.width()) - targetLeft + left});
    int64_t y1 = std::min<int64_t>({int64_t(top) + height, from.height(), int64_t(to.height()) - targetTop + top});
    if (x0 >= x1 || y0 >= y1) return;
    QvGWorldLockScope readLock(from);
    QvGWorldLockScope writeLock(to);
    for (int64_t y = y0; y < y1; ++y)
        std::memmove(to.getLine(y - top + targetTop) + (x0 - left + targetLeft), from.getLine(y) + x0,
                     size_t(x1 - x0) * 4);
}

void QvGWorldCopyImageToGWorld(QvGWorld* source, QvGWorld* target) {
    QvGWorld& from = worldOf(source);
    QvGWorldCopyImage(source, target, 0, 0, from.width(), from.height(), 0, 0);
}

void QvGWorldSetContext(QvGWorld* world) { worldOf(world); }

void QvGWorldDelete(QvGWorld* world) { QvAutoObjectDelete(world); }
