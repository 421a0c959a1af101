#include "QvSourceDocument.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextBlock>
#include <sstream>

#include "QvCommands.h"
#include "QvPendingInputDialog.h"
#include "Session/QvParserApi.h"

namespace {
constexpr qint64 kLargestEditableFile = 64LL * 1024 * 1024;
constexpr QSize kConsoleSize(640, 240);
}  // namespace

QvSourceDocument::QvSourceDocument(QMdiArea* area, const QString& untitledTitle, QObject* parent)
    : QObject(parent), area_(area), frameWindow_(new QvDocumentSubWindow) {
    frame_ = new QvSourceFrame(createToolBarActions(), [this] { return isRunning(); });
    frameWindow_->setWidget(frame_);
    frameWindow_->setAttribute(Qt::WA_DeleteOnClose, false);
    area_->addSubWindow(frameWindow_);
    connect(editor()->document(), &QTextDocument::modificationChanged, frameWindow_.data(),
            &QWidget::setWindowModified);
    connect(editor(), &QvSourceEditor::filesDropped, this, &QvSourceDocument::filesDropped);
    setTitle(untitledTitle);
    editor()->recolour();
    updateActions();
}

// The owner normally waits with stopAndWait first; a script still running here is
// stopped and waited for on the spot.
QvSourceDocument::~QvSourceDocument() {
    if (isRunning()) session()->setInterruptedFlag(true);
    worker_.join();
    destroyWindows();
    delete consoleWindow_;
    delete frameWindow_;
}

QList<QAction*> QvSourceDocument::createToolBarActions() {
    auto make = [this](QvCommand command, void (QvSourceDocument::*handler)()) {
        QAction* action = QvCreateCommandAction(command, this);
        action->setShortcut(QKeySequence());
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    runAction_ = make(QvCommand::Run, &QvSourceDocument::runScript);
    checkAction_ = make(QvCommand::Check, &QvSourceDocument::checkScript);
    stopAction_ = make(QvCommand::Stop, &QvSourceDocument::stop);
    QAction* console = make(QvCommand::ConsoleWindow, &QvSourceDocument::showConsole);
    QAction* browser = make(QvCommand::FunctionListing, &QvSourceDocument::functionBrowserRequested);
    return {runAction_, checkAction_, stopAction_, console, browser};
}

void QvSourceDocument::updateActions() {
    const bool running = isRunning();
    runAction_->setEnabled(!running && !stopping_);
    checkAction_->setEnabled(!running && !stopping_);
    stopAction_->setEnabled(running);
}

bool QvSourceDocument::load(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    if (file.size() > kLargestEditableFile) {
        *error = QStringLiteral("The file is too large to edit (the editor takes files up to 64 MB).");
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    QString text = QvSourceText::decodeFile(bytes, &encoding_);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    editor()->setEncoding(encoding_);
    editor()->setPlainText(text);
    editor()->document()->setModified(false);
    editor()->recolour();
    filePath_ = QFileInfo(path).absoluteFilePath();
    setTitle(QFileInfo(path).fileName());
    return true;
}

// Written through a temporary file that replaces the old one only when complete, so
// a failed save leaves the file as it was and the document modified. Text that
// Latin-1 cannot hold is saved as UTF-8 rather than lost.
bool QvSourceDocument::saveAs(const QString& path, QString* error) {
    if (!QvSourceText::canEncode(editor()->toPlainText(), encoding_)) {
        encoding_ = QvSourceText::Encoding::Utf8;
        editor()->setEncoding(encoding_);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(scriptText()) < 0 || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    filePath_ = QFileInfo(path).absoluteFilePath();
    setTitle(QFileInfo(path).fileName());
    editor()->document()->setModified(false);
    return true;
}

bool QvSourceDocument::isModified() const { return editor()->document()->isModified(); }

QByteArray QvSourceDocument::scriptText() const { return QvSourceText::encode(editor()->toPlainText(), encoding_); }

void QvSourceDocument::appendGeneratedText(const QString& text) {
    QString insertion = text;
    insertion.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (!editor()->document()->lastBlock().text().isEmpty()) insertion.prepend(QLatin1Char('\n'));
    QTextCursor cursor(editor()->document());
    cursor.movePosition(QTextCursor::End);
    editor()->setTextCursor(cursor);
    editor()->textCursor().insertText(insertion);
    editor()->ensureCursorVisible();
}

void QvSourceDocument::setTitle(const QString& title) {
    title_ = title;
    frameWindow_->setWindowTitle(title + QStringLiteral("[*]"));
    if (consoleWindow_) consoleWindow_->setWindowTitle(title + QStringLiteral(" Console"));
    Q_EMIT titleChanged();
}

std::vector<QvScriptWindow*> QvSourceDocument::scriptWindows() const {
    std::vector<QvScriptWindow*> windows;
    for (const auto& entry : clientWindows()) windows.push_back(static_cast<QvScriptWindow*>(entry.second.get()));
    return windows;
}

bool QvSourceDocument::owns(QMdiSubWindow* window) const {
    if (!window) return false;
    if (window == frameWindow_ || window == consoleWindow_) return true;
    for (QvScriptWindow* script : scriptWindows())
        if (script->subWindow() == window) return true;
    return false;
}

void QvSourceDocument::setCloseHandler(QvDocumentSubWindow::CloseHandler handler) {
    frameWindow_->setCloseHandler(std::move(handler));
}

bool QvSourceDocument::isRunning() const {
    QvParser* running = session();
    return running && !QvParserGetDoneFlag(running);
}

bool QvSourceDocument::isBusy() const {
    QvParser* current = session();
    return current && (!QvParserGetDoneFlag(current) || QvParserGetDirtyFlag(current));
}

// A new session over the editor's text, resolving includes against the document's
// own folder; the last run's error marks and windows go.
void QvSourceDocument::beginSession() {
    worker_.join();
    editor()->clearErrorLines();
    consoleShownThisRun_ = false;
    stopRequested_ = false;
    const QByteArray script = scriptText();
    setSourceText(std::string(script.constData(), size_t(script.size())));
    setFile(filePath_.isEmpty() ? nullptr : QvFileCreateFromPath(QFile::encodeName(filePath_).constData()));
    createSession();
}

void QvSourceDocument::checkScript() {
    if (isRunning() || stopping_) return;
    beginSession();
    if (session()) QvParserCheckSyntax(session());
    updateActions();
}

void QvSourceDocument::runScript() {
    if (isRunning() || stopping_) return;
    beginSession();
    QvParser* script = session();
    if (!script) return;
    QvParserSetDoneFlag(script, 0);
    worker_.start(script);
    updateActions();
}

void QvSourceDocument::stop() {
    stopRequested_ = isRunning();
    repeatStopRequest();
}

void QvSourceDocument::repeatStopRequest() {
    if (stopRequested_ && isRunning()) session()->setInterruptedFlag(true);
}

void QvSourceDocument::stopAndWait() {
    QvParser* script = session();
    if (script && !QvParserGetDoneFlag(script)) {
        stopping_ = true;
        updateActions();
        stop();
        Q_EMIT statusMessage(QStringLiteral("Waiting for the script to stop..."));
        QEventLoop loop;
        QTimer check;
        connect(&check, &QTimer::timeout, &loop, [&] {
            repeatStopRequest();
            if (QvParserGetDoneFlag(script)) loop.quit();
        });
        check.start(kStopCheckIntervalMs);
        loop.exec();
        Q_EMIT statusMessage(QString());
        stopping_ = false;
    }
    worker_.join();
    updateActions();
}

void QvSourceDocument::poll() {
    repeatStopRequest();
    updateWindows();
    flushOutput();
    answerPendingInput();
    updateActions();
}

QvConsoleView* QvSourceDocument::consoleView() {
    if (!console_) {
        console_ = new QvConsoleView(encoding_);
        consoleWindow_ = new QMdiSubWindow;
        consoleWindow_->setWidget(console_);
        consoleWindow_->setAttribute(Qt::WA_DeleteOnClose, false);
        consoleWindow_->setWindowTitle(title_ + QStringLiteral(" Console"));
        area_->addSubWindow(consoleWindow_);
        consoleWindow_->resize(kConsoleSize);
        connect(console_, &QvConsoleView::errorActivated, this, [this](int line) {
            area_->setActiveSubWindow(frameWindow_);
            editor()->goToLine(line);
        });
    }
    return console_;
}

void QvSourceDocument::showConsole() {
    consoleView();
    consoleWindow_->show();
    area_->setActiveSubWindow(consoleWindow_);
}

// The console appears with the first output of each check or run; closed by the
// user, it stays closed until the next one.
void QvSourceDocument::writeText(const char* text, int length) {
    consoleView()->appendBytes(text, length);
    if (!consoleShownThisRun_) {
        consoleShownThisRun_ = true;
        consoleWindow_->show();
    }
}

void QvSourceDocument::showParseError(ParseError* error) {
    QvConsoleView* view = consoleView();
    const int first = view->currentLine();
    QvHostClient::showParseError(error);
    const int line = scriptLineOf(error);
    if (line < 1) return;
    view->markErrorLines(first, std::max(first, view->currentLine() - 1), line);
    editor()->markErrorLine(line);
}

// The position in an error's text ends with the line in the script itself, after
// the chain of files that included the one the error lies in.
int QvSourceDocument::scriptLineOf(ParseError* error) {
    if (error->line() < 1 || error->fileIndex() == QvSourceMap::kIncludeErrorFile) return 0;
    if (error->fileIndex() == QvSourceMap::kMainFile) return error->line();
    std::ostringstream text;
    error->writeTo(text);
    const std::string position = text.str().substr(0, text.str().find(": ("));
    const size_t at = position.rfind("line ");
    return at == std::string::npos ? 0 : std::atoi(position.c_str() + at + 5);
}

std::unique_ptr<QvClientWindow> QvSourceDocument::createClientWindow(QvWindow* window) {
    return std::make_unique<QvScriptWindow>(window, area_, encoding_);
}

// One dialog at a time across all documents: the poll goes on while a dialog is open.
void QvSourceDocument::answerPendingInput() {
    static bool asking = false;
    if (asking) return;
    asking = true;
    QvHostClient::answerPendingInput();
    asking = false;
}

QvValue* QvSourceDocument::ask(InputType type) {
    if (stopping_) return nullptr;
    QvParser* script = session();
    return QvPendingInputDialog::ask(type, script->getPendingInputPrompt(), script->getPendingInputDefault(),
                                     encoding_, area_->window());
}

QvValue* QvSourceDocument::askText() { return ask(QV_INPUT_TEXT); }

QvValue* QvSourceDocument::askBoolean() { return ask(QV_INPUT_BOOLEAN); }

QvValue* QvSourceDocument::askNumber() { return ask(QV_INPUT_NUMBER); }
