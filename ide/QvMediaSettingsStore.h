#pragma once
#include <QDialog>
#include <QDialogButtonBox>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "Errors/QvException.h"
#include "QvProfile.h"

// The media settings the IDE keeps for the user: the movie compression and capture
// settings blobs, kept in the profile (their own sections) and handed to the engine at
// start-up and whenever a settings dialog stores new ones. The blobs are the engine's
// own format: the IDE only keeps and returns them.
class QvMediaSettingsStore {
public:
    enum class Kind { Movie, VideoSource };

    static constexpr const char* kInvalidMessage = "The old preferences data is invalid!, will use default values.";
    static constexpr const char* kCannotConnect = "Cannot connect to QuickTime. Check installation of QuickTime.";

    // Hands each blob the profile holds intact to the engine; others are left for the
    // settings dialogs to report.
    static void handStoredToEngine();
    // Keeps the blob in the profile and hands it to the engine.
    static void store(Kind kind, const std::vector<uint8_t>& blob);

    // The stored settings decoded by `Settings::fromBlob`, or the defaults when there are
    // none; a stored blob that the profile or the engine refuses gives the defaults and
    // kInvalidMessage shown to the user.
    template <class Settings>
    static Settings stored(Kind kind, QWidget* parent) {
        const QvProfile::StoredBlob blob = QvProfile::readBlob(section(kind));
        if (blob.state == QvProfile::StoredBlob::State::Missing) return Settings();
        if (blob.state == QvProfile::StoredBlob::State::Valid) {
            try {
                return Settings::fromBlob(reinterpret_cast<const uint8_t*>(blob.bytes.constData()),
                                          size_t(blob.bytes.size()));
            } catch (QvException* refused) {
                delete refused;
            }
        }
        warn(parent, QString::fromLatin1(kInvalidMessage));
        return Settings();
    }

    // Tells the user that the media layer cannot be reached, and why.
    static void tellCannotConnect(QWidget* parent, const QString& reason);
    static void warn(QWidget* parent, const QString& text, const QString& detail = QString());
    // OK, Cancel and Restore Defaults for a settings dialog.
    static QDialogButtonBox* createButtons(QDialog* dialog, const std::function<void()>& restoreDefaults);

private:
    static const char* section(Kind kind);
};
