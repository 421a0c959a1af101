#pragma once
#include <QPlainTextEdit>
#include <QStringList>
#include <QTimer>
#include <set>

#include "QvSourceText.h"
#include "QvSyntaxColouring.h"

class QvLineNumberGutter;

// The script editor: plain text coloured from the engine's lexer (relexed a moment
// after the last edit), a gutter with line numbers and error marks, and lines that
// a check or run reported errors on drawn in red. Files dropped on it are handed on
// rather than inserted as text.
class QvSourceEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kRelexDelayMs = 300;

    explicit QvSourceEditor(QWidget* parent = nullptr);

    // The encoding the script is lexed and run in.
    void setEncoding(QvSourceText::Encoding encoding) { encoding_ = encoding; }
    // Lexes the whole text now and recolours it.
    void recolour();
    const QvSyntaxColourer& colourer() const { return *colourer_; }

    // 1-based lines.
    void markErrorLine(int line);
    void clearErrorLines();
    const std::set<int>& errorLines() const { return errorLines_; }
    void goToLine(int line);
    int caretLine() const;

Q_SIGNALS:
    void filesDropped(const QStringList& paths);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    friend class QvLineNumberGutter;

    int gutterWidth() const;
    void paintGutter(QPaintEvent* event);
    void updateGutter(const QRect& rect, int dy);
    void followEdit(int position, int removed, int added);
    void showErrorLines();

    QvLineNumberGutter* gutter_;
    QvSyntaxColourer* colourer_;
    QTimer relexTimer_;
    QvSourceText::Encoding encoding_ = QvSourceText::Encoding::Utf8;
    std::set<int> errorLines_;
};

// The strip left of the text that numbers the lines and marks error lines.
class QvLineNumberGutter : public QWidget {
public:
    explicit QvLineNumberGutter(QvSourceEditor* editor) : QWidget(editor), editor_(editor) {}
    QSize sizeHint() const override { return QSize(editor_->gutterWidth(), 0); }

protected:
    void paintEvent(QPaintEvent* event) override { editor_->paintGutter(event); }

private:
    QvSourceEditor* editor_;
};
