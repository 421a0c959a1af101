// The IDE running scripts through its real poll loop: commands and shortcuts,
// check, run, stop and close, errors, input requests, script windows and saving.
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTextBlock>
#include <atomic>
#include <set>
#include <stdexcept>
#include <thread>

#include "IdeTestMain.h"
#include "QvIdeHostServices.h"
#include "QvMainWindow.h"
#include "QvPendingInputDialog.h"
#include "QvProfile.h"
#include "QvScriptWorker.h"
#include "Session/QvParserApi.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"

namespace {
constexpr int kScriptTimeoutMs = 5000;

QString consoleText(QvSourceDocument* document) {
    return document->console() ? document->console()->toPlainText() : QString();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A drop goes to the widget that accepted the drag's entry.
void dropFiles(QWidget* target, const QMimeData& files) {
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

bool isDark(const QImage& picture, int x, int y) { return qGray(picture.pixel(x, y)) < 128; }

int darkPixelsIn(const QImage& picture, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) count += isDark(picture, x, y);
    return count;
}

QvScriptWindow* scriptWindowTitled(QvSourceDocument* document, const char* title) {
    for (QvScriptWindow* window : document->scriptWindows())
        if (window->title() == title) return window;
    return nullptr;
}

std::string consoleOf(QvParser* session) {
    std::string text = QvParserGetConsoleStream(session)->takeUnread();
    QvParserReleaseConsoleStream(session);
    return text;
}

// Raises one input request from a thread of its own, as a script would, and keeps
// the answer.
class InputRequest {
public:
    InputRequest(QvParser* session, InputType type, QvValue* defaultValue)
        : thread_([=] {
              session->setPendingInputRequest(type, defaultValue, "How many?");
              while (session->getPendingInputFlag()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
              answer_ = session->takePendingInputAnswer();
              answered_ = true;
          }) {}
    ~InputRequest() {
        thread_.join();
        if (answer_) QvAutoObjectDelete(answer_);
    }
    bool answered() const { return answered_; }
    QvValue* answer() const { return answer_; }

private:
    QvValue* answer_ = nullptr;
    std::atomic<bool> answered_{false};
    std::thread thread_;
};

// Answers the input dialog once it has been open for a few polls, noting how many
// such dialogs were open at once.
class DialogAnswerer : public QObject {
public:
    using Answer = std::function<void(QvPendingInputDialog*)>;
    explicit DialogAnswerer(Answer answer) : answer_(std::move(answer)) {
        connect(&timer_, &QTimer::timeout, this, [this] { look(); });
        timer_.start(20);
    }
    int mostOpenAtOnce = 0;

private:
    void look() {
        int open = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            open += dynamic_cast<QvPendingInputDialog*>(widget) && widget->isVisible();
        mostOpenAtOnce = std::max(mostOpenAtOnce, open);
        auto* dialog = dynamic_cast<QvPendingInputDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            seen_.invalidate();
            return;
        }
        if (!seen_.isValid()) seen_.start();
        if (seen_.elapsed() >= 350) answer_(dialog);
    }
    Answer answer_;
    QTimer timer_;
    QElapsedTimer seen_;
};
}  // namespace

class IdeRunTest : public QObject {
    Q_OBJECT
private:
    QvMainWindow* window_ = nullptr;

    QvSourceDocument* documentWith(const QString& text) {
        QvSourceDocument* document = window_->newDocument();
        document->editor()->setPlainText(text);
        document->editor()->document()->setModified(false);
        return document;
    }

    // A document saved as `name` in the folder, where its includes and files are found.
    QvSourceDocument* savedDocumentWith(const QTemporaryDir& folder, const char* name, const QString& text) {
        QvSourceDocument* document = documentWith(text);
        QString error;
        if (!document->saveAs(folder.filePath(QLatin1String(name)), &error)) qWarning("%s", qPrintable(error));
        return document;
    }

    void showWindow() {
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_));
    }

    void press(QvSourceDocument* document, int key) {
        window_->mdiArea()->setActiveSubWindow(document->frameWindow());
        document->editor()->setFocus();
        QTest::keyClick(document->editor(), Qt::Key(key), Qt::ControlModifier);
    }

private Q_SLOTS:
    void init() { window_ = new QvMainWindow; }

    void cleanup() {
        for (QvSourceDocument* document : window_->documents()) document->stopAndWait();
        delete window_;
        window_ = nullptr;
    }

    void commandsCarryTheirIdentifiersPromptsAndShortcuts() {
        struct Expected {
            QvCommand command;
            int id;
            const char* shortcut;
            const char* prompt;
        };
        for (const Expected& e : {Expected{QvCommand::Run, 32771, "Ctrl+R", "Execute the Quarvel program."},
                                  Expected{QvCommand::Check, 32772, "Ctrl+K", "Check the Syntax of the current program."},
                                  Expected{QvCommand::Stop, 32773, "Ctrl+.", "Halt execution of the Quarvel program."},
                                  Expected{QvCommand::ConsoleWindow, 32786, "Ctrl+0",
                                           "Bring the console window to the front."},
                                  Expected{QvCommand::FunctionBrowser, 32787, "Ctrl+B", "Look up a function definition."},
                                  Expected{QvCommand::FunctionListing, 32782, "",
                                           "List the built-in plug-in functions."}}) {
            QAction* action = window_->action(e.command);
            QCOMPARE(action->property("commandId").toInt(), e.id);
            QCOMPARE(action->shortcut().toString(QKeySequence::PortableText), QString::fromLatin1(e.shortcut));
            QCOMPARE(action->statusTip(), QString::fromLatin1(e.prompt));
        }
        QCOMPARE(window_->newDocument()->title(), QStringLiteral("Source Code1"));
        QCOMPARE(window_->newDocument()->title(), QStringLiteral("Source Code2"));
    }

    void shortcutsFireWithTheEditorFocused() {
        QvSourceDocument* document = documentWith(QStringLiteral("print \"hello\";"));
        showWindow();
        press(document, Qt::Key_K);
        QTRY_VERIFY(consoleText(document).contains(QStringLiteral("Syntax Check Complete : No Errors found.")));
        QCOMPARE(document->editor()->toPlainText(), QStringLiteral("print \"hello\";"));

        press(document, Qt::Key_R);
        QTRY_VERIFY_WITH_TIMEOUT(consoleText(document).contains(QStringLiteral("hello")), kScriptTimeoutMs);

        press(document, Qt::Key_0);
        QVERIFY(document->owns(window_->mdiArea()->activeSubWindow()));
        QCOMPARE(window_->mdiArea()->activeSubWindow()->widget(), static_cast<QWidget*>(document->console()));

        press(document, Qt::Key_B);
        QWidget* browser = window_->findChild<QvFunctionBrowser*>();
        QVERIFY(browser && browser->isVisible());
    }

    void stopEndsAScriptThatRunsForever() {
        QvSourceDocument* document = documentWith(QStringLiteral("repeat forever wait 0.1;"));
        showWindow();
        press(document, Qt::Key_R);
        QTRY_VERIFY(document->isRunning());
        QTRY_COMPARE(document->frame()->paneText(0), QStringLiteral("Program is Executing..."));
        QVERIFY(!window_->action(QvCommand::Run)->isEnabled());
        QVERIFY(!window_->action(QvCommand::Check)->isEnabled());
        QVERIFY(window_->action(QvCommand::Stop)->isEnabled());

        QvParser* running = document->session();
        document->runScript();
        document->checkScript();
        QCOMPARE(document->session(), running);

        press(document, Qt::Key_Period);
        QTRY_VERIFY_WITH_TIMEOUT(!document->isRunning(), 2000);
        QTRY_COMPARE(document->frame()->paneText(0), QStringLiteral("Done."));
        QTRY_VERIFY(consoleText(document).contains(QStringLiteral("Execution cancelled by user.")));
        QVERIFY(running->getInterruptedFlag());
        QVERIFY(window_->action(QvCommand::Run)->isEnabled());
    }

    void aStopRightAfterRunIsNotLost() {
        QvSourceDocument* document = documentWith(QStringLiteral("repeat forever wait 0.1;"));
        for (int attempt = 0; attempt < 5; ++attempt) {
            document->runScript();
            document->stop();
            QTRY_VERIFY_WITH_TIMEOUT(!document->isRunning(), 3000);
        }
    }

    void closingWaitsForTheScriptWithTheWindowAlive() {
        QvSourceDocument* document = documentWith(QStringLiteral("wait 2;\nprint \"late\";"));
        document->runScript();
        QTRY_VERIFY(document->isRunning());
        bool ticked = false;
        QTimer::singleShot(300, this, [&] { ticked = true; });
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(window_->closeDocument(document));
        QVERIFY(ticked);
        QVERIFY(elapsed.elapsed() < 4000);
        QCOMPARE(window_->documents().size(), size_t(0));
    }

    void errorsShowOnceAndLeadToTheirLine() {
        QvSourceDocument* document = documentWith(QStringLiteral("print 1;\nprint ;\nprint 2;\n"));
        showWindow();
        document->checkScript();
        QTRY_VERIFY(consoleText(document).contains(QStringLiteral("Invalid print expression.")));
        QTest::qWait(4 * QvMainWindow::kPollIntervalMs);
        QCOMPARE(consoleText(document).count(QStringLiteral("Invalid print expression.")), 1);
        QCOMPARE(document->editor()->errorLines(), (std::set<int>{2}));

        QvConsoleView* console = document->console();
        QTextBlock block = console->document()->begin();
        while (block.isValid() && !block.text().contains(QStringLiteral("at line 2"))) block = block.next();
        QVERIFY(block.isValid());
        QCOMPARE(console->sourceLineAt(block.blockNumber()), 2);
        document->editor()->goToLine(3);
        QRect line = console->cursorRect(QTextCursor(block));
        QTest::mouseDClick(console->viewport(), Qt::LeftButton, {}, line.center());
        QCOMPARE(document->editor()->caretLine(), 2);
        QCOMPARE(window_->mdiArea()->activeSubWindow(), document->frameWindow());

        document->editor()->setPlainText(QStringLiteral("set v to {1, 2};\nprint v[5];\n"));
        document->runScript();
        QTRY_VERIFY_WITH_TIMEOUT(consoleText(document).contains(QStringLiteral("out of range")), kScriptTimeoutMs);
        QTest::qWait(3 * QvMainWindow::kPollIntervalMs);
        QCOMPARE(consoleText(document).count(QStringLiteral("out of range")), 1);
        QCOMPARE(document->editor()->errorLines(), (std::set<int>{2}));

        document->editor()->setPlainText(QStringLiteral("print 1;\n"));
        document->checkScript();
        QVERIFY(document->editor()->errorLines().empty());
    }

    void inputRequestsAreAnsweredThroughDialogs() {
        QvSourceDocument* document = documentWith(QStringLiteral("repeat forever wait 0.1;"));
        document->runScript();
        QTRY_VERIFY(document->isRunning());
        QvParser* session = document->session();
        {
            DialogAnswerer answerer([](QvPendingInputDialog* dialog) {
                dialog->findChild<QLineEdit*>()->setText(QStringLiteral("12.5"));
                dialog->accept();
            });
            InputRequest request(session, QV_INPUT_NUMBER, nullptr);
            QTRY_VERIFY_WITH_TIMEOUT(request.answered(), kScriptTimeoutMs);
            QVERIFY(request.answer());
            QCOMPARE(QvNumberGetDoubleValue(request.answer()), 12.5);
            QCOMPARE(answerer.mostOpenAtOnce, 1);
        }
        {
            DialogAnswerer answerer([](QvPendingInputDialog* dialog) { dialog->accept(); });
            QvValue* seven = QvNumberCreate(7);
            InputRequest request(session, QV_INPUT_NUMBER, seven);
            QTRY_VERIFY_WITH_TIMEOUT(request.answered(), kScriptTimeoutMs);
            QCOMPARE(QvNumberGetDoubleValue(request.answer()), 7.0);
            QvAutoObjectDelete(seven);
        }
        {
            DialogAnswerer answerer([](QvPendingInputDialog* dialog) {
                dialog->findChild<QLineEdit*>()->setText(QStringLiteral("some words"));
                dialog->accept();
            });
            InputRequest request(session, QV_INPUT_TEXT, nullptr);
            QTRY_VERIFY_WITH_TIMEOUT(request.answered(), kScriptTimeoutMs);
            QCOMPARE(QString::fromUtf8(QvTextGetTextPtr(request.answer())), QStringLiteral("some words"));
        }
        {
            DialogAnswerer answerer([](QvPendingInputDialog* dialog) {
                dialog->findChild<QComboBox*>()->setCurrentIndex(1);
                dialog->accept();
            });
            InputRequest request(session, QV_INPUT_BOOLEAN, nullptr);
            QTRY_VERIFY_WITH_TIMEOUT(request.answered(), kScriptTimeoutMs);
            QCOMPARE(request.answer()->AsBoolean(), false);
        }
        {
            DialogAnswerer answerer([](QvPendingInputDialog* dialog) { dialog->reject(); });
            InputRequest request(session, QV_INPUT_TEXT, nullptr);
            QTRY_VERIFY_WITH_TIMEOUT(request.answered(), kScriptTimeoutMs);
            QVERIFY(!request.answer());
        }
    }

    void scriptWindowsReplayTheirGraphics() {
        QvSourceDocument* document = documentWith(QStringLiteral(
            "set window \"plot\" to {3, 1, 4, 1, 5, 9, 2, 6, 5, 3};\nset window \"note\" to \"hello\";\n"
            "set window \"short\" to {1, 2, 3};\nset window \"items\" to {\"one\", \"two\"};\n"
            "Client.SetWindowPosition(\"note\", 30, 40);\nClient.SetWindowPosition(\"items\", -1, 50);\n"));
        showWindow();
        document->runScript();
        QTRY_VERIFY_WITH_TIMEOUT(!document->isRunning() && document->scriptWindows().size() == 4, kScriptTimeoutMs);
        QvScriptWindow* plot = scriptWindowTitled(document, "plot");
        QVERIFY(plot);
        QTRY_VERIFY(plot->subWindow()->isVisible());
        QCOMPARE(plot->subWindow()->windowTitle(), QStringLiteral("plot"));
        const QImage picture = plot->picture();
        QCOMPARE(picture.size(), QSize(360, 280));
        for (int y : {20, 100, 259}) QVERIFY2(isDark(picture, 20, y), "left axis");
        for (int x : {21, 180, 340}) QVERIFY2(isDark(picture, x, 260), "bottom axis");
        QVERIFY2(isDark(picture, 180, 20), "the largest value touches the top");
        QVERIFY2(isDark(picture, 212, 230), "the seventh value");
        QVERIFY2(darkPixelsIn(picture, QRect(195, 124, 3, 3)) > 0, "the line between them");
        QCOMPARE(darkPixelsIn(picture, QRect(250, 40, 60, 40)), 0);
        QVERIFY2(darkPixelsIn(picture, QRect(320, 266, 24, 13)) > 0, "count label");
        QVERIFY2(darkPixelsIn(picture, QRect(2, 266, 14, 13)) > 0, "smallest value label");
        QVERIFY2(darkPixelsIn(picture, QRect(2, 8, 14, 13)) > 0, "largest value label");

        QvScriptWindow* note = scriptWindowTitled(document, "note");
        QVERIFY(note);
        QCOMPARE(note->picture().size(), QSize(160, 120));
        QVERIFY(darkPixelsIn(note->picture(), QRect(20, 8, 40, 13)) > 0);
        QCOMPARE(darkPixelsIn(note->picture(), QRect(0, 40, 160, 80)), 0);

        const QImage vector = scriptWindowTitled(document, "short")->picture();
        QVERIFY2(darkPixelsIn(vector, QRect(125, 8, 30, 13)) > 0, "the last number fits the window");
        const QImage list = scriptWindowTitled(document, "items")->picture();
        QVERIFY2(darkPixelsIn(list, QRect(20, 8, 40, 13)) > 0, "first item");
        QVERIFY2(darkPixelsIn(list, QRect(20, 23, 40, 13)) > 0, "second item on the next line");

        QTRY_COMPARE(note->subWindow()->pos(), QPoint(30, 40));
        QTRY_COMPARE(scriptWindowTitled(document, "items")->subWindow()->pos().y(), 50);
    }

    void picturesAreDrawnOpaque() {
        QTemporaryDir folder;
        QImage source(40, 30, QImage::Format_ARGB32);
        source.fill(qRgba(200, 10, 20, 0x40));
        for (int x = 0; x < 40; ++x) source.setPixel(x, 29, qRgba(0, 0, 255, 0));
        source.setPixel(3, 4, qRgba(12, 34, 56, 255));
        QVERIFY(source.save(folder.filePath(QStringLiteral("spot.png"))));
        QvSourceDocument* document =
            savedDocumentWith(folder, "spot.qv", QStringLiteral("set window \"spot\" to file \"spot.png\";\n"));
        document->runScript();
        QTRY_VERIFY_WITH_TIMEOUT(!document->isRunning() && !document->scriptWindows().empty(), kScriptTimeoutMs);
        QTRY_VERIFY(!document->scriptWindows().front()->picture().isNull());
        const QImage shown = document->scriptWindows().front()->picture();
        QCOMPARE(shown.size(), QSize(40, 30));
        QCOMPARE(shown.pixel(0, 0), qRgb(200, 10, 20));
        QCOMPARE(shown.pixel(39, 28), qRgb(200, 10, 20));
        QCOMPARE(shown.pixel(3, 4), qRgb(12, 34, 56));
        QCOMPARE(shown.pixel(17, 29), qRgb(0, 0, 255));
    }

    // A movie window shows the movie's first frame at the movie's size, as a picture.
    void moviesShowTheirFirstFrame() {
        QvSourceDocument* document = documentWith(QStringLiteral(
            "set f to frame;\nset size of f to {40, 30};\nset m to movie;\nset compression of m to \"PNG\";\n"
            "append f + ({1, 0.5, 0} as color) to m;\nappend f to m;\nset window \"movie\" to m;\n"));
        document->runScript();
        QTRY_VERIFY_WITH_TIMEOUT(!document->isRunning() && !document->scriptWindows().empty(), kScriptTimeoutMs);
        QTRY_VERIFY(!document->scriptWindows().front()->picture().isNull());
        const QImage shown = document->scriptWindows().front()->picture();
        QCOMPARE(shown.size(), QSize(40, 30));
        QCOMPARE(shown.pixel(0, 0), qRgb(255, 127, 0));
        QCOMPARE(shown.pixel(39, 29), qRgb(255, 127, 0));
    }

    void scriptsUseTheDesktopClipboardFromTheirThread() {
        QvIdeHostServices services;
        QvInstallHostServices(&services);
        QImage picture(8, 6, QImage::Format_ARGB32);
        picture.fill(qRgb(10, 200, 30));
        QApplication::clipboard()->setImage(picture);
        QvSourceDocument* document =
            documentWith(QStringLiteral("set window \"pasted\" to ClipBoard;\nset ClipBoard to \"copied\";\n"));
        document->runScript();
        QTRY_VERIFY_WITH_TIMEOUT(!document->isRunning() && !document->scriptWindows().empty(), kScriptTimeoutMs);
        QvInstallHostServices(nullptr);
        QTRY_VERIFY(!document->scriptWindows().front()->picture().isNull());
        const QImage shown = document->scriptWindows().front()->picture();
        QCOMPARE(shown.size(), QSize(8, 6));
        QCOMPARE(shown.pixel(5, 3), qRgb(10, 200, 30));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("copied"));
    }

    void aClosedScriptWindowReturnsWithTheNextRefresh() {
        QvSourceDocument* document = documentWith(
            QStringLiteral("set window \"w\" to 1;\nrepeat 15 times wait 0.1;\nset window \"w\" to 2;\n"
                           "repeat forever wait 0.1;\n"));
        showWindow();
        document->runScript();
        QTRY_VERIFY_WITH_TIMEOUT(!document->scriptWindows().empty(), kScriptTimeoutMs);
        QvScriptWindow* window = document->scriptWindows().front();
        QTRY_VERIFY(window->subWindow()->isVisible());
        window->subWindow()->close();
        QTest::qWait(2 * QvMainWindow::kPollIntervalMs);
        QVERIFY(window->subWindow()->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(window->subWindow()->isVisible(), kScriptTimeoutMs);
        document->stop();
    }

    void systemErrorsEndTheRunWithAReport() {
        struct Case {
            std::function<void()> fault;
            std::string report;
        };
        for (const Case& c : {Case{[] { throw -9405L; },
                                   "Caught System Error (-9405)\n   The video source is not available.\n"
                                   "   Please check your camera installation,\n"
                                   "   or choose another camera in the preferences dialog.\n"},
                              Case{[] { throw -35L; }, "Caught System Error (-35)\n   I/O Error\n"},
                              Case{[] { throw -1L; }, "Caught System Error (-1)\n   Please send bug report to "},
                              Case{[] { throw std::runtime_error("broken"); },
                                   "broken\nUnknown Error, please submit a bug report (with sample code).\n"}}) {
            QvParser* session = QvParserCreate("print 1;", 0, nullptr);
            QvScriptWorker::run(session, [&](QvParser*) { c.fault(); });
            const std::string report = consoleOf(session);
            QVERIFY2(report.rfind(c.report, 0) == 0, report.c_str());
            QCOMPARE(report.back(), '\n');
            QCOMPARE(QvParserGetDoneFlag(session), 1);
            QVERIFY(session->getInterruptedFlag());
            QvParserDelete(session);
        }
    }

    void filesAreSavedNormalisedAndFailuresLeaveTheTextModified() {
        QTemporaryDir folder;
        const QString mixed = folder.filePath(QStringLiteral("mixed.qv"));
        writeFile(mixed, "print 1;\rprint 2;\n\x0cprint 3;\r\n");
        QvSourceDocument* document = window_->openFile(mixed);
        QVERIFY(document);
        QCOMPARE(document->title(), QStringLiteral("mixed.qv"));
        QCOMPARE(document->editor()->toPlainText(), QStringLiteral("print 1;\nprint 2;\nprint 3;\n"));
        QCOMPARE(window_->openFile(mixed), document);
        QVERIFY(window_->saveDocument(document));
        QCOMPARE(readFile(mixed), QByteArray("print 1;\r\nprint 2;\r\nprint 3;\r\n"));

        document->editor()->appendPlainText(QStringLiteral("print \u20ac;"));
        QString error;
        QVERIFY(!document->saveAs(folder.filePath(QStringLiteral("missing/folder/x.qv")), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(document->isModified());
        QCOMPARE(document->filePath(), QFileInfo(mixed).absoluteFilePath());

        const QString latin1 = folder.filePath(QStringLiteral("latin1.qv"));
        writeFile(latin1, "print \"caf\xe9\";\r\n");
        QvSourceDocument* old = window_->openFile(latin1);
        QCOMPARE(old->encoding(), QvSourceText::Encoding::Latin1);
        QVERIFY(window_->saveDocument(old));
        QCOMPARE(readFile(latin1), QByteArray("print \"caf\xe9\";\r\n"));
        old->editor()->appendPlainText(QStringLiteral("print \"\u20ac\";"));
        QVERIFY(window_->saveDocument(old));
        QCOMPARE(old->encoding(), QvSourceText::Encoding::Utf8);
        QCOMPARE(readFile(latin1), QByteArray("print \"caf\xc3\xa9\";\r\n\r\nprint \"\xe2\x82\xac\";"));
    }

    void runResolvesIncludesInTheDocumentsFolder() {
        QTemporaryDir folder;
        writeFile(folder.filePath(QStringLiteral("part.qvi")), "print \"from the part\";\r\n");
        QvSourceDocument* document =
            savedDocumentWith(folder, "main.qv", QStringLiteral("#include 'part.qvi'\nprint \"main\";\n"));
        const QString before = QDir::currentPath();
        document->runScript();
        QTRY_VERIFY_WITH_TIMEOUT(consoleText(document).contains(QStringLiteral("main")), kScriptTimeoutMs);
        QVERIFY(consoleText(document).contains(QStringLiteral("from the part")));
        QCOMPARE(QDir::currentPath(), before);
    }

    void anErrorInAnIncludedFileMarksTheInclude() {
        QTemporaryDir folder;
        writeFile(folder.filePath(QStringLiteral("part.qvi")), "print 1;\r\nprint ;\r\n");
        QvSourceDocument* document =
            savedDocumentWith(folder, "main.qv", QStringLiteral("print 0;\n#include 'part.qvi'\nprint 2;\n"));
        document->checkScript();
        QTRY_VERIFY(consoleText(document).contains(QStringLiteral("included from line 2")));
        QCOMPARE(document->editor()->errorLines(), (std::set<int>{2}));
    }

    void droppedFilesOpenAsDocuments() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("dropped.qv"));
        writeFile(path, "print 1;\r\n");
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(path)});

        QvSourceDocument* target = documentWith(QStringLiteral("print 0;"));
        dropFiles(target->editor()->viewport(), files);
        QCOMPARE(target->editor()->toPlainText(), QStringLiteral("print 0;"));
        QCOMPARE(window_->documents().size(), size_t(2));
        QCOMPARE(window_->documents().back()->filePath(), QFileInfo(path).absoluteFilePath());

        window_->closeDocument(window_->documents().back());
        dropFiles(window_, files);
        QCOMPARE(window_->documents().back()->title(), QStringLiteral("dropped.qv"));
    }

    void quittingStopsEveryScriptAndRemembersThePlacement() {
        QvSourceDocument* first = documentWith(QStringLiteral("repeat forever wait 0.1;"));
        QvSourceDocument* second = documentWith(QStringLiteral("repeat forever wait 0.1;"));
        showWindow();
        first->runScript();
        second->runScript();
        QTRY_VERIFY(first->isRunning() && second->isRunning());
        window_->setGeometry(QRect(20, 30, 700, 500));
        QVERIFY(window_->close());
        QVERIFY(!first->isRunning());
        QVERIFY(!second->isRunning());
        const QvProfile::Placement placement = QvProfile::readWindowPlacement();
        QCOMPARE(QRect(placement.x, placement.y, placement.width, placement.height), window_->geometry());
    }

    void wizardTextIsAppendedOnALineOfItsOwn() {
        QvSourceDocument* document = documentWith(QStringLiteral("print 1; // a comment"));
        document->appendGeneratedText(QStringLiteral("define f(x) begin return (x*x); end\r\n"));
        QCOMPARE(document->editor()->toPlainText(),
                 QStringLiteral("print 1; // a comment\ndefine f(x) begin return (x*x); end\n"));
        document->appendGeneratedText(QStringLiteral("print 2;\r\n"));
        QVERIFY(document->editor()->toPlainText().endsWith(QStringLiteral("end\nprint 2;\n")));
        QCOMPARE(document->editor()->textCursor().position(), document->editor()->toPlainText().size());
    }
};

QV_IDE_TEST_MAIN(IdeRunTest)
#include "IdeRunTest.moc"
