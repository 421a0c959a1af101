#include "QvSourceFrame.h"

#include <QCloseEvent>
#include <QStatusBar>
#include <QVBoxLayout>

void QvDocumentSubWindow::closeEvent(QCloseEvent* event) {
    if (closeHandler_ && !closeHandler_()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

QvSourceFrame::QvSourceFrame(const QList<QAction*>& toolBarActions, std::function<bool()> running, QWidget* parent)
    : QWidget(parent), editor_(new QvSourceEditor), runPane_(new QLabel), linePane_(new QLabel),
      running_(std::move(running)) {
    auto* toolBar = new QToolBar;
    toolBar->setIconSize(QSize(16, 16));
    toolBar->addActions(toolBarActions);

    auto* status = new QStatusBar;
    status->setSizeGripEnabled(false);
    status->addWidget(runPane_, 1);
    linePane_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")));
    linePane_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    status->addPermanentWidget(linePane_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(editor_, 1);
    layout->addWidget(status);

    statusTimer_.setInterval(kStatusIntervalMs);
    connect(&statusTimer_, &QTimer::timeout, this, &QvSourceFrame::refreshStatus);
    statusTimer_.start();
    refreshStatus();
}

QString QvSourceFrame::paneText(int pane) const { return pane == 0 ? runPane_->text() : linePane_->text(); }

void QvSourceFrame::refreshStatus() {
    runPane_->setText(QString::fromLatin1(running_() ? kExecuting : kDone));
    linePane_->setText(QString::number(editor_->caretLine()));
}
