#include "QvIdeApplication.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>

#include "Media/QvMediaLayer.h"
#include "Plugins/QvPluginRegistry.h"
#include "QvHostClient.h"
#include "QvMediaSettingsStore.h"
#include "QvProfile.h"
#include "QvStartupDialog.h"

namespace {
void place(QvMainWindow& window, const QvProfile::Placement& placement) {
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return;
    QList<QRect> screens;
    for (QScreen* screen : QGuiApplication::screens()) screens << screen->availableGeometry();
    if (std::optional<QRect> geometry = QvProfile::usablePlacement(placement, screens, primary->availableGeometry()))
        window.setGeometry(*geometry);
}
}  // namespace

QvIdeApplication::~QvIdeApplication() {
    mainWindow_.reset();
    QvInstallHostServices(nullptr);
    if (mediaStarted_) QvTheMediaLayer().stop();
}

QIcon QvIdeApplication::icon() {
    QIcon icon;
    for (int side : {16, 32, 64}) {
        QPixmap picture(side, side);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x1F, 0x5F, 0xA8));
        painter.drawRoundedRect(QRectF(0, 0, side, side), side / 6.0, side / 6.0);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setBold(true);
        font.setPixelSize(side * 3 / 4);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, side, side), Qt::AlignCenter, QStringLiteral("Q"));
        icon.addPixmap(picture);
    }
    return icon;
}

bool QvIdeApplication::start(const QStringList& files) {
    QApplication::setWindowIcon(icon());
    const QvProfile::Placement placement = QvProfile::readWindowPlacement();
    mainWindow_ = std::make_unique<QvMainWindow>();

    QvStartupDialog startup;
    startup.show();
    startup.showStatus("Initializing...");
    startup.showStatus("Initializing QuickTime...");
    if (QvTheMediaLayer().start() != 0) {
        startup.hide();
        QMessageBox::critical(nullptr, QStringLiteral("Quarvel"), QString::fromLatin1(kMediaUnavailable));
        return false;
    }
    mediaStarted_ = true;
    QvMediaSettingsStore::handStoredToEngine();

    startup.showStatus("Loading Internal Plugins...");
    QvPluginRegistryInitInternal();
    QvHostClient::loadPlugins({}, &startup);

    QvInstallHostServices(&hostServices_);
    place(*mainWindow_, placement);
    for (const QString& file : files) mainWindow_->openFile(file);
    mainWindow_->show();
    startup.close();
    return true;
}
