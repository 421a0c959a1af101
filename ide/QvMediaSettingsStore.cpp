#include "QvMediaSettingsStore.h"

#include <QMessageBox>
#include <QPushButton>

#include "Media/QvMediaPreferences.h"

namespace {
int handToEngine(QvMediaSettingsStore::Kind kind, const QByteArray& blob) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(blob.constData());
    const size_t size = size_t(blob.size());
    return kind == QvMediaSettingsStore::Kind::Movie ? QvMovieSetPreferences(bytes, size)
                                                     : QvVideoSourceSetPreferences(bytes, size);
}
}  // namespace

const char* QvMediaSettingsStore::section(Kind kind) {
    return kind == Kind::Movie ? QvProfile::kMovieSection : QvProfile::kVideoSection;
}

void QvMediaSettingsStore::handStoredToEngine() {
    for (Kind kind : {Kind::Movie, Kind::VideoSource}) {
        const QvProfile::StoredBlob blob = QvProfile::readBlob(section(kind));
        if (blob.state == QvProfile::StoredBlob::State::Valid) handToEngine(kind, blob.bytes);
    }
}

void QvMediaSettingsStore::store(Kind kind, const std::vector<uint8_t>& blob) {
    const QByteArray bytes(reinterpret_cast<const char*>(blob.data()), qsizetype(blob.size()));
    QvProfile::writeBlob(section(kind), bytes);
    handToEngine(kind, bytes);
}

void QvMediaSettingsStore::tellCannotConnect(QWidget* parent, const QString& reason) {
    warn(parent, QString::fromLatin1(kCannotConnect), reason);
}

QDialogButtonBox* QvMediaSettingsStore::createButtons(QDialog* dialog, const std::function<void()>& restoreDefaults) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                         QDialogButtonBox::RestoreDefaults);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    QObject::connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, dialog,
                     restoreDefaults);
    return buttons;
}

// Lines of the media layer's messages may end with a carriage return alone.
void QvMediaSettingsStore::warn(QWidget* parent, const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quarvel"), QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')),
                    QMessageBox::Ok, parent);
    box.setInformativeText(detail);
    box.exec();
}
