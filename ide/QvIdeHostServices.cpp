#include "QvIdeHostServices.h"

#include <QApplication>
#include <QClipboard>
#include <QThread>

template <class Work>
void QvIdeHostServices::onInterfaceThread(Work work) {
    if (QThread::currentThread() == thread())
        work();
    else
        QMetaObject::invokeMethod(this, work, Qt::BlockingQueuedConnection);
}

void QvIdeHostServices::setClipboardText(const std::string& text) {
    onInterfaceThread([&] { QApplication::clipboard()->setText(QString::fromStdString(text)); });
}

std::string QvIdeHostServices::clipboardText() {
    std::string text;
    onInterfaceThread([&] { text = QApplication::clipboard()->text().toStdString(); });
    return text;
}

void QvIdeHostServices::beep() {
    onInterfaceThread([] { QApplication::beep(); });
}
