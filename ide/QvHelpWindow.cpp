#include "QvHelpWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QStyle>
#include <QToolBar>
#include <QUrl>

QVariant QvManualBrowser::loadResource(int type, const QUrl& name) {
    QVariant resource = QTextBrowser::loadResource(type, name);
    if (type != QTextDocument::ImageResource) return resource;
    QImage picture;
    if (resource.userType() == QMetaType::QByteArray)
        picture.loadFromData(resource.toByteArray());
    else
        picture = resource.value<QImage>();
    if (picture.isNull() || picture.width() <= kPageWidth) return resource;
    return picture.scaledToWidth(kPageWidth, Qt::SmoothTransformation);
}

QvHelpWindow::QvHelpWindow(const QString& docsFolder, QWidget* parent)
    : QMainWindow(parent), browser_(new QvManualBrowser) {
    setWindowTitle(QStringLiteral("Quarvel Help"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setCentralWidget(browser_);
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({docsFolder});

    QToolBar* bar = addToolBar(QStringLiteral("Navigation"));
    bar->setMovable(false);
    QAction* back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Back"),
                                   browser_, &QTextBrowser::backward);
    QAction* forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Forward"),
                                      browser_, &QTextBrowser::forward);
    bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Contents"), browser_,
                   &QTextBrowser::home);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    const QString firstPage = QDir(docsFolder).filePath(QString::fromLatin1(kFirstPage));
    if (QFileInfo::exists(firstPage))
        browser_->setSource(QUrl::fromLocalFile(firstPage), QTextDocument::MarkdownResource);
    else
        browser_->setPlainText(QStringLiteral("The manual was not found: ") + firstPage);
    resize(820, 640);
}

QString QvHelpWindow::installedDocsFolder() {
    const QDir program(QCoreApplication::applicationDirPath());
    const QString beside = program.filePath(QStringLiteral("docs"));
    if (QFileInfo(beside).isDir()) return beside;
    return QDir::cleanPath(program.filePath(QStringLiteral(QV_DOCS_FROM_PROGRAM)));
}
