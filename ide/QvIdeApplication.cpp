#include "QvIdeApplication.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include "Media/QvMediaLayer.h"
#include "Plugins/QvPluginRegistry.h"
#include "QvHostClient.h"
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

bool QvIdeApplication::start(const QStringList& files) {
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

    startup.showStatus("Loading Internal Plugins...");
    QvPluginRegistryInitInternal();
    QvHostClient::loadPluginDirectory(QvHostClient::executableDirectory(), "*.qvp", &startup);

    QvInstallHostServices(&hostServices_);
    for (const QString& file : files) mainWindow_->openFile(file);
    place(*mainWindow_, placement);
    mainWindow_->show();
    startup.close();
    return true;
}
