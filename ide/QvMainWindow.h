#pragma once
#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>
#include <QTimer>
#include <map>
#include <vector>

#include "QvCommands.h"
#include "QvFunctionBrowser.h"
#include "QvHelpWindow.h"
#include "QvMediaSettingsStore.h"
#include "QvSourceDocument.h"

// The IDE's main window: an MDI area of source frames, consoles and script windows,
// the menus and tool bar, and the poll timer that moves every document's output,
// windows and input requests onto the screen. Commands act on the document that owns
// the active sub-window.
class QvMainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kPollIntervalMs = 100;
    static constexpr const char* kUntitledTitle = "Source Code";
    static constexpr const char* kFileFilter = "Quarvel  Files (*.qv)";

    explicit QvMainWindow(QWidget* parent = nullptr);
    ~QvMainWindow() override;

    QvSourceDocument* newDocument();
    // Opens the file, or raises the document that has it open; null (after telling
    // the user why) when it cannot be read.
    QvSourceDocument* openFile(const QString& path);
    bool saveDocument(QvSourceDocument* document);
    bool saveDocumentAs(QvSourceDocument* document);
    // Prompts for modified text, stops a running script and waits for it; false when
    // the user cancels.
    bool closeDocument(QvSourceDocument* document);

    QvSourceDocument* activeDocument() const;
    const std::vector<QvSourceDocument*>& documents() const { return documents_; }
    QAction* action(QvCommand command) const { return actions_.at(command); }
    QMdiArea* mdiArea() const { return area_; }
    QvFunctionBrowser* showFunctionBrowser();
    QvHelpWindow* showHelp();
    void showSolutionWizard();
    // The settings dialogs; Videosource refuses while a script may hold a camera.
    void showVideoSourceSettings();
    void showMovieSettings();
    static constexpr const char* kHaltFirst =
        "Please halt execution and/or check syntax in all windows before proceeding.";

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    QAction* addCommand(QvCommand command, void (QvMainWindow::*handler)());
    void addDocument(QvSourceDocument* document);
    void forgetDocument(QvSourceDocument* document);
    void pollDocuments();
    void updateCommands();
    // Asks whether to save modified text: false when the user cancels.
    bool confirmDiscard(QvSourceDocument* document);
    QPlainTextEdit* focusedText() const;

    void newFile();
    void open();
    void save();
    void saveAs();
    void closeActive();
    void runActive();
    void checkActive();
    void stopActive();
    void showConsole();
    void showAbout();

    QMdiArea* area_;
    std::map<QvCommand, QAction*> actions_;
    std::vector<QvSourceDocument*> documents_;
    QTimer pollTimer_;
    QPointer<QvFunctionBrowser> functionBrowser_;
    QPointer<QvHelpWindow> helpWindow_;
    int untitledCount_ = 0;
    bool quitting_ = false;
};
