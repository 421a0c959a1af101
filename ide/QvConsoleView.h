#pragma once
#include <QPlainTextEdit>
#include <QStringDecoder>

#include "QvSourceText.h"

// A document's console: the text its script wrote, in a fixed-width font. "\r\n",
// "\r" and "\n" each end one line, also when a write ends between the "\r" and the
// "\n". Lines that show an error remember the script line it lies on; a double-click
// on one of them asks to go there.
class QvConsoleView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit QvConsoleView(QvSourceText::Encoding encoding, QWidget* parent = nullptr);

    void appendBytes(const char* bytes, int length);
    // The number of the line the next text lands on (0-based).
    int currentLine() const;
    // Lines from..to (0-based, inclusive) show an error on script line sourceLine.
    void markErrorLines(int from, int to, int sourceLine);
    // The script line of the error a console line shows, or 0.
    int sourceLineAt(int consoleLine) const;

Q_SIGNALS:
    void errorActivated(int sourceLine);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QStringDecoder decoder_;
    bool lastWasCarriageReturn_ = false;
};
