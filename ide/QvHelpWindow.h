#pragma once
#include <QMainWindow>
#include <QTextBrowser>

// A browser that shrinks pictures wider than a page (screenshots) to the page width.
class QvManualBrowser : public QTextBrowser {
public:
    static constexpr int kPageWidth = 760;
    QVariant loadResource(int type, const QUrl& name) override;
};

// The manual: the Markdown pages of the docs folder next to the program, opened at
// the IDE's own page, with links between the pages followed in place.
class QvHelpWindow : public QMainWindow {
public:
    static constexpr const char* kFirstPage = "index.md";

    explicit QvHelpWindow(const QString& docsFolder, QWidget* parent = nullptr);

    QTextBrowser* browser() const { return browser_; }
    // The manual: the docs folder beside the running program (a build), else the
    // installed manual (share/doc/quarvel of the program's prefix).
    static QString installedDocsFolder();

private:
    QTextBrowser* browser_;
};
