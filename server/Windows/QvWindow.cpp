#include "Windows/QvWindow.h"

#include <mutex>

#include "Session/QvParser.h"

QvWindow::QvWindow(QvValueRef value, const std::string& title, QvParser* session)
    : title_(title), session_(session) {
    refresh(value);
    session_->addToWindowList(this);
}

QvWindow::~QvWindow() { session_->removeFromWindowList(this); }

void QvWindow::refresh(const QvValueRef& value) {
    qv_auto_value<QvGraphics> graphics = new QvGraphics;
    if (value) value->Display(graphics.get());
    {
        std::lock_guard<QvMutexLock> guard(*GetAutoObjectMutex());
        graphics_ = graphics;
    }
    short width, height;
    graphics->getSize(&width, &height);
    width_ = width;
    height_ = height;
    update_ = true;
}

void QvWindow::setPosition(short x, short y) {
    x_ = x;
    y_ = y;
    update_ = true;
}

qv_auto_value<QvGraphics> QvWindow::getQvGraphics() const {
    std::lock_guard<QvMutexLock> guard(*GetAutoObjectMutex());
    return graphics_;
}
