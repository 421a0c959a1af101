// The media settings the IDE keeps: the Videosource and Movie dialogs over the media
// layer, their blobs in the profile, and how the engine gets them at start-up. The
// program starts the real IDE once, over a profile an earlier session left behind.
#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "Media/QvCaptureDevice.h"
#include "Media/QvMediaPreferences.h"
#include "QvIdeApplication.h"
#include "QvMediaSettingsStore.h"
#include "QvMovieSettingsDialog.h"
#include "QvVideoSourceDialog.h"

namespace {
constexpr int kScriptTimeoutMs = 5000;

QByteArray bytesOf(const std::vector<uint8_t>& blob) {
    return QByteArray(reinterpret_cast<const char*>(blob.data()), qsizetype(blob.size()));
}

QByteArray engineMovieBlob() {
    std::vector<uint8_t> blob(QvMovieGetPreferences(nullptr, 0));
    QvMovieGetPreferences(blob.data(), blob.size());
    return bytesOf(blob);
}

QByteArray engineCaptureBlob() {
    std::vector<uint8_t> blob(QvVideoSourceGetPreferences(nullptr, 0));
    QvVideoSourceGetPreferences(blob.data(), blob.size());
    return bytesOf(blob);
}

void handToEngine(const QvMovieSettings& movie, const QvCaptureSettings& capture) {
    const std::vector<uint8_t> movieBlob = movie.toBlob(), captureBlob = capture.toBlob();
    QVERIFY(QvMovieSetPreferences(movieBlob.data(), movieBlob.size()));
    QVERIFY(QvVideoSourceSetPreferences(captureBlob.data(), captureBlob.size()));
}

void writeProfile(const char* section, const QByteArray& bytes, int dataSize) {
    QSettings profile(QStringLiteral("Quarvel"), QStringLiteral("Quarvel"));
    profile.beginGroup(QLatin1String(section));
    profile.setValue(QStringLiteral("DataSize"), dataSize);
    profile.setValue(QStringLiteral("QuickTimeData"), bytes);
}

QByteArray profileBlob(const char* section) {
    QSettings profile(QStringLiteral("Quarvel"), QStringLiteral("Quarvel"));
    profile.beginGroup(QLatin1String(section));
    const QByteArray bytes = profile.value(QStringLiteral("QuickTimeData")).toByteArray();
    return profile.value(QStringLiteral("DataSize")).toInt() == bytes.size() ? bytes : QByteArray();
}

// What an earlier session kept: movie settings of its own (the compressor named
// directly, as the media module may be missing), capture settings one byte short.
QvMovieSettings earlierMovieSettings() {
    QvMovieSettings settings;
    settings.compressor = "PNG";
    settings.setSpatial(0.75);
    settings.setRate(10);
    settings.setKeyFrameInterval(5);
    return settings;
}

void seedEarlierProfile() {
    const QByteArray movie = bytesOf(earlierMovieSettings().toBlob());
    writeProfile(QvProfile::kMovieSection, movie, int(movie.size()));
    QvCaptureSettings capture;
    capture.device = "Elsewhere";
    const QByteArray video = bytesOf(capture.toBlob());
    writeProfile(QvProfile::kVideoSection, video.left(video.size() - 1), int(video.size()));
}

// Answers every modal dialog that opens: message boxes with OK (keeping what each said),
// other dialogs with Cancel (keeping their class).
class DialogAnswerer : public QObject {
public:
    DialogAnswerer() {
        connect(&timer_, &QTimer::timeout, this, [this] { look(); });
        timer_.start(10);
    }
    QStringList texts;
    QStringList details;
    QStringList dialogs;

private:
    void look() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            texts << box->text();
            details << box->informativeText();
            box->done(QMessageBox::Ok);
        } else {
            dialogs << QString::fromLatin1(dialog->metaObject()->className());
            dialog->reject();
        }
    }
    QTimer timer_;
};

// Chooses the settings in a new dialog and presses OK: they are kept in the profile and
// handed to the engine, handed over again at the next start, and the next dialog
// starts from them.
template <class Dialog, class Settings>
void checkKeptAndHandedOver(const Settings& chosen, const char* section, QByteArray (*engineBlob)()) {
    {
        Dialog dialog;
        QVERIFY(dialog.prepare());
        dialog.setSettings(chosen);
        dialog.accept();
    }
    const QByteArray blob = bytesOf(chosen.toBlob());
    QCOMPARE(profileBlob(section), blob);
    QCOMPARE(engineBlob(), blob);

    handToEngine(QvMovieSettings(), QvCaptureSettings());
    QVERIFY(engineBlob() != blob);
    QvMediaSettingsStore::handStoredToEngine();
    QCOMPARE(engineBlob(), blob);
    Dialog again;
    QVERIFY(again.prepare());
    QCOMPARE(bytesOf(again.settings().toBlob()), blob);
}

bool mediaModuleMissing() { return !qEnvironmentVariableIsEmpty("QUARVEL_MEDIA_MODULE"); }

QStringList itemsOf(const QComboBox* box) {
    QStringList items;
    for (int index = 0; index < box->count(); ++index) items << box->itemText(index);
    return items;
}

QStringList qt(const std::vector<std::string>& names) {
    QStringList list;
    for (const std::string& name : names) list << QString::fromStdString(name);
    return list;
}
}  // namespace

class IdeMediaSettingsTest : public QObject {
    Q_OBJECT
public:
    explicit IdeMediaSettingsTest(QvMainWindow* window) : window_(window) {}

private Q_SLOTS:
    void init() {
        if (QTest::currentTestFunction() != QByteArray("storedSettingsReachTheEngineAtStartUp") &&
            !mediaModuleMissing()) {
            QSettings(QStringLiteral("Quarvel"), QStringLiteral("Quarvel")).clear();
            handToEngine(QvMovieSettings(), QvCaptureSettings());
        }
    }

    void storedSettingsReachTheEngineAtStartUp() {
        QCOMPARE(engineMovieBlob(), bytesOf(earlierMovieSettings().toBlob()));
        QCOMPARE(engineCaptureBlob(), bytesOf(QvCaptureSettings().toBlob()));
    }

    void theMenuCommandsOpenTheDialogs() {
        if (mediaModuleMissing()) QSKIP("needs the media module");
        QCOMPARE(window_->action(QvCommand::VideoSourceSettings)->text(), QStringLiteral("&Videosource..."));
        QCOMPARE(window_->action(QvCommand::MovieSettings)->text(), QStringLiteral("&Movie..."));
        DialogAnswerer answerer;
        window_->action(QvCommand::VideoSourceSettings)->trigger();
        window_->action(QvCommand::MovieSettings)->trigger();
        QCOMPARE(answerer.dialogs, QStringList({"QvVideoSourceDialog", "QvMovieSettingsDialog"}));
        QCOMPARE(answerer.texts, QStringList());
    }

    void theVideosourceDialogPreviewsTheVirtualCamera() {
        if (mediaModuleMissing()) QSKIP("needs the media module");
        QvVideoSourceDialog dialog;
        QVERIFY(dialog.prepare());
        const QStringList cameras = itemsOf(dialog.cameraBox());
        QCOMPARE(cameras, qt(QvCaptureDevice::names()));
        if (!cameras.contains(QStringLiteral("Test Camera"))) QSKIP("this machine has cameras of its own");
        dialog.cameraBox()->setCurrentText(QStringLiteral("Test Camera"));
        QTRY_VERIFY(!dialog.previewPicture().isNull());
        const QImage picture = dialog.previewPicture();
        QCOMPARE(picture.size(), QSize(320, 240));
        QVERIFY(qGray(picture.pixel(160, 120)) > 0 || qGray(picture.pixel(20, 200)) > 0);
    }

    void aVideosourceChangeIsKeptAndHandedToTheEngine() {
        if (mediaModuleMissing()) QSKIP("needs the media module");
        QvCaptureSettings chosen;
        chosen.device = QvCaptureDevice::names().back();
        chosen.width = 640;
        chosen.height = 480;
        chosen.frameRate = 15;
        chosen.picture[QV_MEDIA_BRIGHTNESS] = 0.25;
        chosen.picture[QV_MEDIA_GAMMA] = 0.75;
        checkKeptAndHandedOver<QvVideoSourceDialog>(chosen, QvProfile::kVideoSection, engineCaptureBlob);
    }

    void theMovieDialogOffersTheMediaLayersCompressors() {
        if (mediaModuleMissing()) QSKIP("needs the media module");
        QvMovieSettingsDialog dialog;
        QVERIFY(dialog.prepare());
        const QStringList compressors = itemsOf(dialog.compressorBox());
        QCOMPARE(compressors, qt(QvMovieCompressorNames()));
        for (const char* name : {"Cinepak", "Animation", "Photo - JPEG", "PNG", "TIFF", "H.264", "None"})
            QVERIFY2(compressors.contains(QLatin1String(name)), name);
        QCOMPARE(dialog.compressorBox()->currentText(), QStringLiteral("Cinepak"));
        QCOMPARE(bytesOf(dialog.settings().toBlob()), bytesOf(QvMovieSettings().toBlob()));
    }

    void aMovieChangeIsKeptAndHandedToTheEngine() {
        if (mediaModuleMissing()) QSKIP("needs the media module");
        QvMovieSettings chosen;
        chosen.setCompressor("Animation");
        chosen.setOverlayCompressor("PNG");
        chosen.setGraphicsMode("straight alpha");
        chosen.setSpatial(0.3);
        chosen.setTemporal(0.6);
        chosen.setRate(12.5);
        chosen.setKeyFrameInterval(7);
        chosen.depth = 24;
        checkKeptAndHandedOver<QvMovieSettingsDialog>(chosen, QvProfile::kMovieSection, engineMovieBlob);
    }

    // A blob whose length is not its DataSize, or one the engine refuses, is not
    // handed over; the dialog says so and starts from the defaults.
    void damagedBlobsAreRefusedWithTheMessage() {
        if (mediaModuleMissing()) QSKIP("needs the media module");
        QvMovieSettings movie;
        movie.setRate(5);
        const QByteArray movieBlob = bytesOf(movie.toBlob());
        writeProfile(QvProfile::kMovieSection, movieBlob, int(movieBlob.size()) + 1);
        QvCaptureSettings capture;
        capture.frameRate = 5;
        QByteArray captureBlob = bytesOf(capture.toBlob());
        captureBlob[0] = 'X';
        writeProfile(QvProfile::kVideoSection, captureBlob, int(captureBlob.size()));

        QvMediaSettingsStore::handStoredToEngine();
        QCOMPARE(engineMovieBlob(), bytesOf(QvMovieSettings().toBlob()));
        QCOMPARE(engineCaptureBlob(), bytesOf(QvCaptureSettings().toBlob()));

        DialogAnswerer answerer;
        QvMovieSettingsDialog movieDialog;
        QVERIFY(movieDialog.prepare());
        QCOMPARE(movieDialog.settings().rate(), QvMovieSettings().rate());
        QvVideoSourceDialog videoDialog;
        QVERIFY(videoDialog.prepare());
        QCOMPARE(videoDialog.settings().frameRate, QvCaptureSettings().frameRate);
        const QString invalid = QString::fromLatin1(QvMediaSettingsStore::kInvalidMessage);
        QCOMPARE(answerer.texts, QStringList({invalid, invalid}));
    }

    // A script that has run may still hold a camera in its variables until the
    // document is checked again.
    void theVideosourceDialogWaitsForScriptsToHalt() {
        if (mediaModuleMissing()) QSKIP("needs the media module");
        QvSourceDocument* document = window_->newDocument();
        document->editor()->setPlainText(QStringLiteral("wait 0.3;\n"));
        DialogAnswerer answerer;
        document->runScript();
        window_->action(QvCommand::VideoSourceSettings)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!document->isRunning(), kScriptTimeoutMs);
        window_->action(QvCommand::VideoSourceSettings)->trigger();
        const QString halt = QString::fromLatin1(QvMainWindow::kHaltFirst);
        QCOMPARE(answerer.texts, QStringList({halt, halt}));
        QCOMPARE(answerer.dialogs, QStringList());

        document->checkScript();
        window_->action(QvCommand::VideoSourceSettings)->trigger();
        QCOMPARE(answerer.dialogs, QStringList({"QvVideoSourceDialog"}));
        document->editor()->document()->setModified(false);
        QVERIFY(window_->closeDocument(document));
    }

    void withoutCamerasTheVideosourceDialogSaysSo() {
        if (mediaModuleMissing()) QSKIP("needs the media module");
        const QByteArray before = qgetenv("QUARVEL_CAMERA");
        qputenv("QUARVEL_CAMERA", "none");
        DialogAnswerer answerer;
        QvVideoSourceDialog dialog;
        const bool usable = dialog.prepare();
        before.isNull() ? qunsetenv("QUARVEL_CAMERA") : qputenv("QUARVEL_CAMERA", before);
        QVERIFY(!usable);
        QCOMPARE(answerer.texts, QStringList({"No video source is available.\nTry closing other Quarvel windows,\n"
                                              "or check camera installation."}));
    }

    // Run by its own ctest entry with QUARVEL_MEDIA_MODULE naming a file that is not there.
    void withoutTheMediaModuleTheDialogsSaySo() {
        if (!mediaModuleMissing()) QSKIP("runs where the media module cannot be loaded");
        DialogAnswerer answerer;
        QvVideoSourceDialog videoDialog;
        QVERIFY(!videoDialog.prepare());
        QvMovieSettingsDialog movieDialog;
        QVERIFY(!movieDialog.prepare());
        const QString cannotConnect = QString::fromLatin1(QvMediaSettingsStore::kCannotConnect);
        QCOMPARE(answerer.texts, QStringList({cannotConnect, cannotConnect}));
        for (const QString& detail : answerer.details)
            QVERIFY2(detail.startsWith(QStringLiteral("QuickTime not available.\nThe media module ")),
                     qPrintable(detail));
    }

private:
    QvMainWindow* window_;
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication application(argc, argv);
    seedEarlierProfile();
    QvIdeApplication ide;
    if (!ide.start({})) return 1;
    IdeMediaSettingsTest test(ide.mainWindow());
    return QTest::qExec(&test, argc, argv);
}

#include "IdeMediaSettingsTest.moc"
