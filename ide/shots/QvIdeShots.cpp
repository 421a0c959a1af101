// Takes the IDE's screenshots: starts the real IDE on the display it is given
// (tools/ide-shots.sh starts it under Xvfb), plays one scene after another through the
// IDE's own commands, and saves the whole screen of each scene as OUTDIR/ide-NAME.png.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <functional>

#include "QvIdeApplication.h"
#include "QvMovieSettingsDialog.h"
#include "QvSolutionWizard.h"
#include "QvVideoSourceDialog.h"

namespace {
constexpr int kScriptTimeoutMs = 10000;

class Scenes {
public:
    Scenes(QvMainWindow& window, QString outputFolder, QString examplesFolder)
        : window_(window), output_(std::move(outputFolder)), examples_(std::move(examplesFolder)) {}

    bool play() {
        pause(800);
        shoot("startup");
        runScene();
        plotScene();
        syntaxErrorScene();
        runningScene();
        functionBrowserScene();
        wizardScene();
        helpScene();
        settingsScene<QvVideoSourceDialog>(QvCommand::VideoSourceSettings, "videosource-settings");
        settingsScene<QvMovieSettingsDialog>(QvCommand::MovieSettings, "movie-settings");
        return saved_ == 10;
    }

private:
    static void pause(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

    void shoot(const char* name) {
        pause(300);
        const QString path = QDir(output_).filePath(QStringLiteral("ide-%1.png").arg(QLatin1String(name)));
        if (QGuiApplication::primaryScreen()->grabWindow(0).save(path)) {
            ++saved_;
            std::printf("saved %s\n", qPrintable(path));
        } else {
            std::fprintf(stderr, "cannot save %s\n", qPrintable(path));
        }
    }

    void waitUntilDone(QvSourceDocument* document) {
        for (int waited = 0; document->isRunning() && waited < kScriptTimeoutMs; waited += 100) pause(100);
        pause(2 * QvMainWindow::kPollIntervalMs);
    }

    void closeAll() {
        for (QvSourceDocument* document : std::vector<QvSourceDocument*>(window_.documents())) {
            document->editor()->document()->setModified(false);
            window_.closeDocument(document);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        pause(100);
    }

    void place(QMdiSubWindow* window, const QRect& where) {
        if (window) window->setGeometry(where);
    }

    // The source frame at the top left, the console below it, script windows right.
    void arrange(QvSourceDocument* document) {
        const QSize room = window_.mdiArea()->viewport()->size();
        const int left = room.width() * 2 / 5;
        place(document->frameWindow(), QRect(0, 0, left, room.height() * 3 / 5));
        place(document->consoleWindow(), QRect(0, room.height() * 3 / 5, left, room.height() * 2 / 5));
        QPoint at(left + 10, 0);
        int columnWidth = 0;
        for (QvScriptWindow* script : document->scriptWindows()) {
            QMdiSubWindow* sub = script->subWindow();
            if (at.y() > 0 && at.y() + sub->height() > room.height()) at = QPoint(at.x() + columnWidth + 10, 0);
            sub->move(at);
            at.ry() += sub->height() + 10;
            columnWidth = std::max(columnWidth, sub->width());
        }
    }

    QvSourceDocument* open(const char* example) {
        return window_.openFile(QDir(examples_).filePath(QLatin1String(example)));
    }

    QvSourceDocument* write(const char* text) {
        QvSourceDocument* document = window_.newDocument();
        document->editor()->setPlainText(QString::fromUtf8(text));
        document->editor()->recolour();
        return document;
    }

    void runScene() {
        QvSourceDocument* document = window_.activeDocument();
        window_.action(QvCommand::Run)->trigger();
        waitUntilDone(document);
        arrange(document);
        shoot("run");
        closeAll();
    }

    void plotScene() {
        QvSourceDocument* document = open("windows.qv");
        window_.action(QvCommand::Run)->trigger();
        waitUntilDone(document);
        arrange(document);
        shoot("plot");
        closeAll();
    }

    void syntaxErrorScene() {
        QvSourceDocument* document = write(
            "// The width of a frame in pixels\nset width to 640;\nset height to 480;\n"
            "print \"area: \" + width * ;\nprint height;\n");
        window_.action(QvCommand::Check)->trigger();
        pause(3 * QvMainWindow::kPollIntervalMs);
        arrange(document);
        document->editor()->goToLine(1);
        shoot("syntax-error");
        closeAll();
    }

    void runningScene() {
        QvSourceDocument* document = write(
            "// Prints the time every half second until stopped (Ctrl+.)\n"
            "repeat forever increment tick begin\n    print \"tick \" + tick;\n    wait 0.5;\nend\n");
        window_.action(QvCommand::Run)->trigger();
        pause(1800);
        arrange(document);
        shoot("running");
        window_.action(QvCommand::Stop)->trigger();
        waitUntilDone(document);
        closeAll();
    }

    void functionBrowserScene() {
        QvFunctionBrowser* browser = window_.showFunctionBrowser();
        browser->move(window_.geometry().center() - browser->rect().center());
        QTreeWidget* tree = browser->tree();
        QTreeWidgetItem* root = tree->topLevelItem(tree->topLevelItemCount() > 1 ? 1 : 0);
        if (root && root->childCount() > 0) {
            root->setExpanded(true);
            tree->setCurrentItem(root->child(root->childCount() - 1));
        }
        shoot("function-browser");
        browser->close();
    }

    void wizardScene() {
        write("print average(3);\n");
        QTimer::singleShot(500, [this] {
            auto* wizard = dynamic_cast<QvSolutionWizard*>(QApplication::activeModalWidget());
            if (!wizard) return;
            wizard->move(window_.geometry().center() - wizard->rect().center());
            wizard->tasks()->setCurrentRow(1);
            wizard->next();
            wizard->functionName()->setText(QStringLiteral("average"));
            wizard->returnType()->setCurrentText(QStringLiteral("number"));
            shoot("wizard");
            wizard->accept();
        });
        window_.action(QvCommand::SolutionWizard)->trigger();
        closeAll();
    }

    void helpScene() {
        QvHelpWindow* help = window_.showHelp();
        help->move(window_.geometry().center() - help->rect().center());
        shoot("help");
        help->close();
    }

    // The dialog as the command opens it, after a second of preview.
    template <class Dialog>
    void settingsScene(QvCommand command, const char* name) {
        QTimer::singleShot(200, [this, name] {
            auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            dialog->move(window_.geometry().center() - dialog->rect().center());
            pause(1000);
            shoot(name);
            dialog->reject();
        });
        window_.action(command)->trigger();
    }

    QvMainWindow& window_;
    QString output_;
    QString examples_;
    int saved_ = 0;
};
}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quarvel"));
    QApplication::setApplicationName(QStringLiteral("Quarvel"));
    if (argc != 3) {
        std::fprintf(stderr, "usage: quarvel-ide-shots OUTDIR EXAMPLES_DIR\n");
        return 64;
    }
    const QString output = QString::fromLocal8Bit(argv[1]), examples = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(output);
    QvIdeApplication ide;
    if (!ide.start({QDir(examples).filePath(QStringLiteral("demo.qv"))})) return 1;
    ide.mainWindow()->setGeometry(QGuiApplication::primaryScreen()->geometry());
    bool complete = false;
    QTimer::singleShot(0, [&] {
        complete = Scenes(*ide.mainWindow(), output, examples).play();
        for (QvSourceDocument* document : ide.mainWindow()->documents())
            document->editor()->document()->setModified(false);
        ide.mainWindow()->close();
        QApplication::quit();
    });
    QApplication::exec();
    return complete ? 0 : 1;
}
