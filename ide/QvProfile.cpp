#include "QvProfile.h"

#include <QSettings>

namespace {
constexpr int kLeastVisible = 50;

QSettings profile() { return QSettings(QStringLiteral("Quarvel"), QStringLiteral("Quarvel")); }

int readInt(const QSettings& settings, const char* key) {
    bool ok = false;
    int value = settings.value(QLatin1String(key)).toInt(&ok);
    return ok ? value : QvProfile::kMissing;
}

bool showsEnough(const QRect& window, const QList<QRect>& screens) {
    for (const QRect& screen : screens) {
        QRect common = window.intersected(screen);
        if (common.width() >= kLeastVisible && common.height() >= kLeastVisible) return true;
    }
    return false;
}
}  // namespace

QvProfile::Placement QvProfile::readWindowPlacement() {
    QSettings settings = profile();
    settings.beginGroup(QLatin1String(kPlacementSection));
    return {readInt(settings, "x"), readInt(settings, "y"), readInt(settings, "width"), readInt(settings, "height")};
}

void QvProfile::writeWindowPlacement(const QRect& geometry) {
    QSettings settings = profile();
    settings.beginGroup(QLatin1String(kPlacementSection));
    settings.setValue(QStringLiteral("x"), geometry.x());
    settings.setValue(QStringLiteral("y"), geometry.y());
    settings.setValue(QStringLiteral("width"), geometry.width());
    settings.setValue(QStringLiteral("height"), geometry.height());
}

QvProfile::StoredBlob QvProfile::readBlob(const char* section) {
    QSettings settings = profile();
    settings.beginGroup(QLatin1String(section));
    StoredBlob blob;
    if (!settings.contains(QStringLiteral("QuickTimeData"))) return blob;
    blob.bytes = settings.value(QStringLiteral("QuickTimeData")).toByteArray();
    const int size = readInt(settings, "DataSize");
    blob.state = size == blob.bytes.size() ? StoredBlob::State::Valid : StoredBlob::State::Invalid;
    return blob;
}

void QvProfile::writeBlob(const char* section, const QByteArray& bytes) {
    QSettings settings = profile();
    settings.beginGroup(QLatin1String(section));
    settings.setValue(QStringLiteral("DataSize"), int(bytes.size()));
    settings.setValue(QStringLiteral("QuickTimeData"), bytes);
}

std::optional<QRect> QvProfile::usablePlacement(const Placement& placement, const QList<QRect>& screens,
                                                const QRect& primary) {
    if (placement.width == kMissing || placement.height == kMissing || placement.width <= 0 ||
        placement.height <= 0)
        return std::nullopt;
    QRect window(placement.x, placement.y, placement.width, placement.height);
    const bool placed = placement.x != kMissing && placement.y != kMissing;
    if (placed && showsEnough(window, screens)) return window;
    window.setSize(window.size().boundedTo(primary.size()));
    if (placed)
        window.moveTopLeft(primary.topLeft());
    else
        window.moveCenter(primary.center());
    return window;
}
