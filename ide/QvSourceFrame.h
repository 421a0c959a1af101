#pragma once
#include <QLabel>
#include <QMdiSubWindow>
#include <QTimer>
#include <QToolBar>
#include <functional>

#include "QvSourceEditor.h"

// An MDI sub-window whose closing its owner decides: the close handler may prompt,
// wait, or refuse.
class QvDocumentSubWindow : public QMdiSubWindow {
public:
    using CloseHandler = std::function<bool()>;

    void setCloseHandler(CloseHandler handler) { closeHandler_ = std::move(handler); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CloseHandler closeHandler_;
};

// The frame of a source document: its own tool bar, the editor, and a status bar of
// two panes, the run state and the caret's line, refreshed every 200 ms.
class QvSourceFrame : public QWidget {
public:
    static constexpr int kStatusIntervalMs = 200;
    static constexpr const char* kExecuting = "Program is Executing...";
    static constexpr const char* kDone = "Done.";

    // `running` tells whether the document's script runs now.
    QvSourceFrame(const QList<QAction*>& toolBarActions, std::function<bool()> running, QWidget* parent = nullptr);

    QvSourceEditor* editor() const { return editor_; }
    QString paneText(int pane) const;
    void refreshStatus();

private:
    QvSourceEditor* editor_;
    QLabel* runPane_;
    QLabel* linePane_;
    QTimer statusTimer_;
    std::function<bool()> running_;
};
