#include "QvMainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

#include "Plugins/QvPluginInterface.h"
#include "QvProfile.h"
#include "QvMovieSettingsDialog.h"
#include "QvSolutionWizard.h"
#include "QvVideoSourceDialog.h"

namespace {
constexpr QSize kDefaultSize(1000, 720);
constexpr QSize kSmallestFrame(480, 360);

QStringList droppedFiles(const QMimeData* data) {
    QStringList paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}
}  // namespace

QvMainWindow::QvMainWindow(QWidget* parent) : QMainWindow(parent), area_(new QMdiArea) {
    setWindowTitle(QStringLiteral("Quarvel"));
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(area_);
    createActions();
    createMenus();
    createToolBar();
    statusBar()->showMessage(QStringLiteral("Ready"));
    setAcceptDrops(true);
    resize(kDefaultSize);
    connect(area_, &QMdiArea::subWindowActivated, this, &QvMainWindow::updateCommands);
    connect(&pollTimer_, &QTimer::timeout, this, &QvMainWindow::pollDocuments);
    pollTimer_.start(kPollIntervalMs);
    updateCommands();
}

// Documents wait for their scripts when the window closes; what is left here has
// stopped already or is stopped on the spot. Closing their windows activates others,
// which must not lead back to documents already gone.
QvMainWindow::~QvMainWindow() {
    pollTimer_.stop();
    disconnect(area_, nullptr, this, nullptr);
    while (!documents_.empty()) {
        QvSourceDocument* document = documents_.back();
        documents_.pop_back();
        delete document;
    }
}

QAction* QvMainWindow::addCommand(QvCommand command, void (QvMainWindow::*handler)()) {
    QAction* action = QvCreateCommandAction(command, this);
    if (handler) connect(action, &QAction::triggered, this, handler);
    actions_[command] = action;
    return action;
}

void QvMainWindow::createActions() {
    addCommand(QvCommand::New, &QvMainWindow::newFile);
    addCommand(QvCommand::Open, &QvMainWindow::open);
    addCommand(QvCommand::Save, &QvMainWindow::save);
    addCommand(QvCommand::SaveAs, &QvMainWindow::saveAs);
    addCommand(QvCommand::Close, &QvMainWindow::closeActive);
    addCommand(QvCommand::Exit, nullptr);
    connect(action(QvCommand::Exit), &QAction::triggered, this, &QWidget::close);
    for (auto [command, edit] : {std::pair{QvCommand::Undo, &QPlainTextEdit::undo},
                                 std::pair{QvCommand::Redo, &QPlainTextEdit::redo},
                                 std::pair{QvCommand::Cut, &QPlainTextEdit::cut},
                                 std::pair{QvCommand::Copy, &QPlainTextEdit::copy},
                                 std::pair{QvCommand::Paste, &QPlainTextEdit::paste},
                                 std::pair{QvCommand::SelectAll, &QPlainTextEdit::selectAll}}) {
        addCommand(command, nullptr);
        connect(action(command), &QAction::triggered, this, [this, edit = edit] {
            if (QPlainTextEdit* text = focusedText()) (text->*edit)();
        });
    }
    addCommand(QvCommand::Run, &QvMainWindow::runActive);
    addCommand(QvCommand::Check, &QvMainWindow::checkActive);
    addCommand(QvCommand::Stop, &QvMainWindow::stopActive);
    addCommand(QvCommand::ConsoleWindow, &QvMainWindow::showConsole);
    addCommand(QvCommand::FunctionBrowser, nullptr);
    addCommand(QvCommand::FunctionListing, nullptr);
    for (QvCommand browser : {QvCommand::FunctionBrowser, QvCommand::FunctionListing})
        connect(action(browser), &QAction::triggered, this, [this] { showFunctionBrowser(); });
    addCommand(QvCommand::SolutionWizard, &QvMainWindow::showSolutionWizard);
    addCommand(QvCommand::VideoSourceSettings, &QvMainWindow::showVideoSourceSettings);
    addCommand(QvCommand::MovieSettings, &QvMainWindow::showMovieSettings);
    addCommand(QvCommand::ToolBar, nullptr);
    addCommand(QvCommand::StatusBar, nullptr);
    addCommand(QvCommand::Cascade, nullptr);
    connect(action(QvCommand::Cascade), &QAction::triggered, area_, &QMdiArea::cascadeSubWindows);
    addCommand(QvCommand::Tile, nullptr);
    connect(action(QvCommand::Tile), &QAction::triggered, area_, &QMdiArea::tileSubWindows);
    addCommand(QvCommand::NextWindow, nullptr);
    connect(action(QvCommand::NextWindow), &QAction::triggered, area_, &QMdiArea::activateNextSubWindow);
    addCommand(QvCommand::PreviousWindow, nullptr);
    connect(action(QvCommand::PreviousWindow), &QAction::triggered, area_,
            &QMdiArea::activatePreviousSubWindow);
    addCommand(QvCommand::Help, nullptr);
    connect(action(QvCommand::Help), &QAction::triggered, this, [this] { showHelp(); });
    addCommand(QvCommand::About, &QvMainWindow::showAbout);
}

void QvMainWindow::createMenus() {
    auto addAll = [this](QMenu* menu, std::initializer_list<QvCommand> commands) {
        for (QvCommand command : commands) menu->addAction(action(command));
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    addAll(file, {QvCommand::New, QvCommand::Open, QvCommand::Close});
    file->addSeparator();
    addAll(file, {QvCommand::Save, QvCommand::SaveAs});
    file->addSeparator();
    addAll(file, {QvCommand::Exit});

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    addAll(edit, {QvCommand::Undo, QvCommand::Redo});
    edit->addSeparator();
    addAll(edit, {QvCommand::Cut, QvCommand::Copy, QvCommand::Paste, QvCommand::SelectAll});

    QMenu* script = menuBar()->addMenu(QStringLiteral("&Script"));
    addAll(script, {QvCommand::Run, QvCommand::Check, QvCommand::Stop});
    script->addSeparator();
    addAll(script, {QvCommand::ConsoleWindow, QvCommand::FunctionBrowser, QvCommand::SolutionWizard});

    QMenu* preferences = menuBar()->addMenu(QStringLiteral("&Preferences"));
    addAll(preferences, {QvCommand::VideoSourceSettings, QvCommand::MovieSettings});

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    addAll(view, {QvCommand::ToolBar, QvCommand::StatusBar});

    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    addAll(window, {QvCommand::Cascade, QvCommand::Tile, QvCommand::NextWindow, QvCommand::PreviousWindow});

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    addAll(help, {QvCommand::Help, QvCommand::About});
}

void QvMainWindow::createToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Standard"));
    bar->setObjectName(QStringLiteral("standardToolBar"));
    bar->setIconSize(QSize(16, 16));
    for (QvCommand command : {QvCommand::New, QvCommand::Open, QvCommand::Save}) bar->addAction(action(command));
    bar->addSeparator();
    for (QvCommand command : {QvCommand::Run, QvCommand::Check, QvCommand::Stop, QvCommand::ConsoleWindow,
                              QvCommand::FunctionListing})
        bar->addAction(action(command));

    for (auto [command, target] : {std::pair<QvCommand, QWidget*>{QvCommand::ToolBar, bar},
                                   std::pair<QvCommand, QWidget*>{QvCommand::StatusBar, statusBar()}}) {
        QAction* toggle = action(command);
        toggle->setCheckable(true);
        toggle->setChecked(true);
        connect(toggle, &QAction::toggled, target, &QWidget::setVisible);
    }
}

// A new frame takes most of the area, so a script is readable without resizing.
void QvMainWindow::addDocument(QvSourceDocument* document) {
    documents_.push_back(document);
    if (!isVisible()) layout()->activate();
    const QSize room = area_->contentsRect().size();
    document->frameWindow()->resize(QSize(room.width() * 3 / 5, room.height() * 7 / 10).expandedTo(kSmallestFrame));
    document->frameWindow()->show();
    area_->setActiveSubWindow(document->frameWindow());
    document->setCloseHandler([this, document] { return closeDocument(document); });
    connect(document, &QvSourceDocument::functionBrowserRequested, this, [this] { showFunctionBrowser(); });
    connect(document, &QvSourceDocument::filesDropped, this, [this](const QStringList& paths) {
        for (const QString& path : paths) openFile(path);
    });
    connect(document, &QvSourceDocument::statusMessage, this, [this](const QString& text) {
        if (text.isEmpty())
            statusBar()->clearMessage();
        else
            statusBar()->showMessage(text);
    });
}

void QvMainWindow::forgetDocument(QvSourceDocument* document) {
    documents_.erase(std::remove(documents_.begin(), documents_.end(), document), documents_.end());
    document->deleteLater();
    updateCommands();
}

QvSourceDocument* QvMainWindow::newDocument() {
    auto* document = new QvSourceDocument(area_, QString::fromLatin1(kUntitledTitle) + QString::number(++untitledCount_),
                                          this);
    addDocument(document);
    return document;
}

QvSourceDocument* QvMainWindow::openFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (QvSourceDocument* document : documents_) {
        if (document->filePath() == absolute) {
            area_->setActiveSubWindow(document->frameWindow());
            return document;
        }
    }
    auto* document = new QvSourceDocument(area_, QFileInfo(path).fileName(), this);
    QString error;
    if (!document->load(path, &error)) {
        delete document;
        QMessageBox::warning(this, QStringLiteral("Quarvel"), QStringLiteral("Cannot open %1:\n%2").arg(path, error));
        return nullptr;
    }
    addDocument(document);
    return document;
}

bool QvMainWindow::saveDocument(QvSourceDocument* document) {
    if (document->filePath().isEmpty()) return saveDocumentAs(document);
    QString error;
    if (document->saveAs(document->filePath(), &error)) return true;
    QMessageBox::warning(this, QStringLiteral("Quarvel"),
                         QStringLiteral("Cannot save %1:\n%2").arg(document->filePath(), error));
    return false;
}

bool QvMainWindow::saveDocumentAs(QvSourceDocument* document) {
    QString suggestion = document->filePath().isEmpty() ? document->title() + QStringLiteral(".qv")
                                                        : document->filePath();
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save As"), suggestion,
                                                QString::fromLatin1(kFileFilter));
    if (path.isEmpty()) return false;
    QString error;
    if (document->saveAs(path, &error)) return true;
    QMessageBox::warning(this, QStringLiteral("Quarvel"), QStringLiteral("Cannot save %1:\n%2").arg(path, error));
    return false;
}

bool QvMainWindow::confirmDiscard(QvSourceDocument* document) {
    if (!document->isModified()) return true;
    area_->setActiveSubWindow(document->frameWindow());
    auto answer = QMessageBox::question(this, QStringLiteral("Quarvel"),
                                        QStringLiteral("Save changes to %1?").arg(document->title()),
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Cancel) return false;
    return answer == QMessageBox::No || saveDocument(document);
}

bool QvMainWindow::closeDocument(QvSourceDocument* document) {
    if (std::find(documents_.begin(), documents_.end(), document) == documents_.end()) return false;
    if (!confirmDiscard(document)) return false;
    document->stopAndWait();
    if (std::find(documents_.begin(), documents_.end(), document) == documents_.end()) return false;
    forgetDocument(document);
    return true;
}

QvSourceDocument* QvMainWindow::activeDocument() const {
    QMdiSubWindow* active = area_->activeSubWindow();
    for (QvSourceDocument* document : documents_)
        if (document->owns(active)) return document;
    return nullptr;
}

void QvMainWindow::pollDocuments() {
    for (QvSourceDocument* document : std::vector<QvSourceDocument*>(documents_)) document->poll();
    updateCommands();
}

void QvMainWindow::updateCommands() {
    QvSourceDocument* document = activeDocument();
    const bool running = document && document->isRunning();
    for (QvCommand command : {QvCommand::Run, QvCommand::Check}) action(command)->setEnabled(document && !running);
    action(QvCommand::Stop)->setEnabled(running);
    for (QvCommand command : {QvCommand::Save, QvCommand::SaveAs, QvCommand::Close, QvCommand::ConsoleWindow,
                              QvCommand::SolutionWizard})
        action(command)->setEnabled(document != nullptr);
}

void QvMainWindow::closeEvent(QCloseEvent* event) {
    if (quitting_) {
        event->ignore();
        return;
    }
    for (QvSourceDocument* document : documents_) {
        if (!confirmDiscard(document)) {
            event->ignore();
            return;
        }
    }
    quitting_ = true;
    setEnabled(false);
    for (QvSourceDocument* document : std::vector<QvSourceDocument*>(documents_)) document->stopAndWait();
    setEnabled(true);
    if (!isMinimized()) QvProfile::writeWindowPlacement(geometry());
    if (functionBrowser_) functionBrowser_->close();
    if (helpWindow_) helpWindow_->close();
    quitting_ = false;
    event->accept();
}

void QvMainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void QvMainWindow::dropEvent(QDropEvent* event) {
    for (const QString& path : droppedFiles(event->mimeData())) openFile(path);
    event->acceptProposedAction();
}

QvFunctionBrowser* QvMainWindow::showFunctionBrowser() {
    if (!functionBrowser_) functionBrowser_ = new QvFunctionBrowser(this);
    functionBrowser_->show();
    functionBrowser_->raise();
    functionBrowser_->activateWindow();
    return functionBrowser_;
}

QvHelpWindow* QvMainWindow::showHelp() {
    if (!helpWindow_) helpWindow_ = new QvHelpWindow(QvHelpWindow::installedDocsFolder(), this);
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
    return helpWindow_;
}

void QvMainWindow::showSolutionWizard() {
    QvSourceDocument* document = activeDocument();
    if (!document) return;
    QvSolutionWizard wizard(this);
    if (wizard.exec() == QDialog::Accepted && std::find(documents_.begin(), documents_.end(), document) != documents_.end())
        document->appendGeneratedText(wizard.generatedText());
}

void QvMainWindow::showVideoSourceSettings() {
    for (QvSourceDocument* document : documents_) {
        if (document->isBusy()) {
            QvMediaSettingsStore::warn(this, QString::fromLatin1(kHaltFirst));
            return;
        }
    }
    QvVideoSourceDialog dialog(this);
    if (dialog.prepare()) dialog.exec();
}

void QvMainWindow::showMovieSettings() {
    QvMovieSettingsDialog dialog(this);
    if (dialog.prepare()) dialog.exec();
}

void QvMainWindow::showAbout() {
    QMessageBox::about(this, QStringLiteral("About Quarvel"),
                       QStringLiteral("<h3>Quarvel</h3><p>Version %1</p>"
                                      "<p>An English-like scripting language for capturing, analysing and "
                                      "producing video and still images.</p>")
                           .arg(QString::fromLatin1(QvGetVersionString())));
}

void QvMainWindow::newFile() { newDocument(); }

void QvMainWindow::open() {
    const QStringList paths = QFileDialog::getOpenFileNames(this, QStringLiteral("Open"), QString(),
                                                            QString::fromLatin1(kFileFilter) +
                                                                QStringLiteral(";;All Files (*)"));
    for (const QString& path : paths) openFile(path);
}

void QvMainWindow::save() {
    if (QvSourceDocument* document = activeDocument()) saveDocument(document);
}

void QvMainWindow::saveAs() {
    if (QvSourceDocument* document = activeDocument()) saveDocumentAs(document);
}

void QvMainWindow::closeActive() {
    if (QvSourceDocument* document = activeDocument()) closeDocument(document);
}

void QvMainWindow::runActive() {
    if (QvSourceDocument* document = activeDocument()) document->runScript();
    updateCommands();
}

void QvMainWindow::checkActive() {
    if (QvSourceDocument* document = activeDocument()) document->checkScript();
    updateCommands();
}

void QvMainWindow::stopActive() {
    if (QvSourceDocument* document = activeDocument()) document->stop();
}

void QvMainWindow::showConsole() {
    if (QvSourceDocument* document = activeDocument()) document->showConsole();
}

// Editing commands act on the text that has the focus, else on the active editor.
QPlainTextEdit* QvMainWindow::focusedText() const {
    if (auto* text = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget())) return text;
    QvSourceDocument* document = activeDocument();
    return document ? document->editor() : nullptr;
}
