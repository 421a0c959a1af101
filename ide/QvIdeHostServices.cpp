#include "QvIdeHostServices.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QThread>
#include <cstring>
#include <future>

#include "QvGWorld/QvGWorld.h"

// The calling thread waits on a promise the interface thread keeps, so the hand-over
// of the work's results is visible to thread checkers too.
template <class Work>
void QvIdeHostServices::onInterfaceThread(Work work) {
    if (QThread::currentThread() == thread()) {
        work();
        return;
    }
    std::promise<void> done;
    QMetaObject::invokeMethod(
        this,
        [&work, &done] {
            work();
            done.set_value();
        },
        Qt::QueuedConnection);
    done.get_future().wait();
}

void QvIdeHostServices::setClipboardText(const std::string& text) {
    onInterfaceThread([&] { QApplication::clipboard()->setText(QString::fromStdString(text)); });
}

std::string QvIdeHostServices::clipboardText() {
    std::string text;
    onInterfaceThread([&] { text = QApplication::clipboard()->text().toStdString(); });
    return text;
}

// The picture is taken on the interface thread and turned into a gworld on the
// script's, where a picture too large for a gworld raises its error in the script.
QvGWorld* QvIdeHostServices::clipboardPicture() {
    QImage picture;
    onInterfaceThread([&] { picture = QApplication::clipboard()->image(); });
    if (picture.isNull()) return nullptr;
    picture = picture.convertToFormat(QImage::Format_ARGB32);
    auto* world = new QvGWorld(picture.width(), picture.height());
    QvGWorldLockScope lock(*world);
    for (int row = 0; row < picture.height(); ++row)
        std::memcpy(world->getLine(row), picture.constScanLine(row), size_t(picture.width()) * 4);
    return world;
}

void QvIdeHostServices::beep() {
    onInterfaceThread([] { QApplication::beep(); });
}
