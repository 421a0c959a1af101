#pragma once
#include <QMainWindow>
#include <QTextBrowser>

// The manual: the Markdown pages of the docs folder next to the program, opened at
// the IDE's own page, with links between the pages followed in place.
class QvHelpWindow : public QMainWindow {
public:
    static constexpr const char* kFirstPage = "ide.md";

    explicit QvHelpWindow(const QString& docsFolder, QWidget* parent = nullptr);

    QTextBrowser* browser() const { return browser_; }
    // The docs folder beside the running program.
    static QString installedDocsFolder();

private:
    QTextBrowser* browser_;
};
