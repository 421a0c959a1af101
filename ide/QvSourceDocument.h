#pragma once
#include <QMdiArea>
#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

#include "QvConsoleView.h"
#include "QvHostClient.h"
#include "QvScriptWindow.h"
#include "QvScriptWorker.h"
#include "QvSourceFrame.h"
#include "QvSourceText.h"

// One open script: its editor frame, its console and its script windows, and the
// host client that checks, runs, stops and polls its session. Check runs on this
// thread; Run executes on a worker thread while the IDE's poll timer calls poll().
// A new check or run waits for nothing: both are refused while the script runs.
class QvSourceDocument : public QObject, public QvHostClient {
    Q_OBJECT
public:
    static constexpr int kStopCheckIntervalMs = 50;

    // The document opens its frame in the area, titled `untitledTitle` until saved.
    QvSourceDocument(QMdiArea* area, const QString& untitledTitle, QObject* parent = nullptr);
    ~QvSourceDocument() override;

    // Files. Failures leave the document as it was and describe the problem.
    bool load(const QString& path, QString* error);
    bool saveAs(const QString& path, QString* error);
    QString filePath() const { return filePath_; }
    QString title() const { return title_; }
    bool isModified() const;
    QvSourceText::Encoding encoding() const { return encoding_; }
    // The editor's text as the engine gets it and as Save writes it.
    QByteArray scriptText() const;
    // Appends generated text at the end, on a line of its own.
    void appendGeneratedText(const QString& text);

    QvSourceEditor* editor() const { return frame_->editor(); }
    QvSourceFrame* frame() const { return frame_; }
    QMdiSubWindow* frameWindow() const { return frameWindow_; }
    // Null until the script first writes something.
    QvConsoleView* console() const { return console_; }
    QMdiSubWindow* consoleWindow() const { return consoleWindow_; }
    std::vector<QvScriptWindow*> scriptWindows() const;
    // Whether the sub-window is this document's frame, console or a script window.
    bool owns(QMdiSubWindow* window) const;
    void setCloseHandler(QvDocumentSubWindow::CloseHandler handler);

    // Running.
    bool isRunning() const;
    // Running, or run and not checked since: its variables may still hold a camera.
    bool isBusy() const;
    void checkScript();
    void runScript();
    // Asks the script to stop. Execution clears the request when it begins, so the
    // request is repeated at every poll until the script has ended.
    void stop();
    // Stops a running script and waits for it with the window alive; while it waits,
    // input requests are answered with no value.
    void stopAndWait();
    // One pass of the poll: windows, output, input requests.
    void poll();
    // Raises the console, making it when there is none.
    void showConsole();

    // Host client.
    void writeText(const char* text, int length) override;
    void answerPendingInput() override;
    QvValue* askText() override;
    QvValue* askBoolean() override;
    QvValue* askNumber() override;

Q_SIGNALS:
    void titleChanged();
    void functionBrowserRequested();
    void filesDropped(const QStringList& paths);
    void statusMessage(const QString& text);

protected:
    void showParseError(ParseError* error) override;
    std::unique_ptr<QvClientWindow> createClientWindow(QvWindow* window) override;

private:
    QList<QAction*> createToolBarActions();
    void repeatStopRequest();
    void updateActions();
    void beginSession();
    void setTitle(const QString& title);
    QvConsoleView* consoleView();
    QvValue* ask(InputType type);
    // The line of the script itself that an error lies on (for an error in an
    // included file, the line of the include), or 0.
    static int scriptLineOf(ParseError* error);

    QMdiArea* area_;
    QAction* runAction_ = nullptr;
    QAction* checkAction_ = nullptr;
    QAction* stopAction_ = nullptr;
    QvSourceFrame* frame_ = nullptr;
    QPointer<QvDocumentSubWindow> frameWindow_;
    QPointer<QMdiSubWindow> consoleWindow_;
    QvConsoleView* console_ = nullptr;
    QString filePath_;
    QString title_;
    QvSourceText::Encoding encoding_ = QvSourceText::Encoding::Utf8;
    QvScriptWorker worker_;
    bool stopping_ = false;
    bool stopRequested_ = false;
    bool consoleShownThisRun_ = false;
};
