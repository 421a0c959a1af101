#include "QvStartupDialog.h"

#include <QCoreApplication>
#include <QVBoxLayout>

QvStartupDialog::QvStartupDialog(QWidget* parent) : QDialog(parent), status_(new QLabel) {
    setWindowTitle(QStringLiteral("Quarvel"));
    setModal(false);
    auto* title = new QLabel(QStringLiteral("<b>Quarvel</b>"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(status_);
    status_->setMinimumWidth(360);
}

void QvStartupDialog::showStatus(const std::string& text) {
    status_->setText(QString::fromStdString(text));
    status_->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
