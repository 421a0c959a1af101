#include "QvConsoleView.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>

namespace {
constexpr int kMaximumLines = 200000;
}

QvConsoleView::QvConsoleView(QvSourceText::Encoding encoding, QWidget* parent)
    : QPlainTextEdit(parent),
      decoder_(encoding == QvSourceText::Encoding::Utf8 ? QStringDecoder::Utf8 : QStringDecoder::Latin1) {
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    setFont(font);
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setMaximumBlockCount(kMaximumLines);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void QvConsoleView::appendBytes(const char* bytes, int length) {
    QString decoded = decoder_.decode(QByteArrayView(bytes, length));
    QString text;
    text.reserve(decoded.size());
    for (QChar c : decoded) {
        if (c == QLatin1Char('\n') && lastWasCarriageReturn_) {
            lastWasCarriageReturn_ = false;
            continue;
        }
        lastWasCarriageReturn_ = c == QLatin1Char('\r');
        text.append(lastWasCarriageReturn_ ? QChar(QLatin1Char('\n')) : c);
    }
    if (text.isEmpty()) return;
    QScrollBar* scroll = verticalScrollBar();
    const bool following = scroll->value() == scroll->maximum();
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    if (following) scroll->setValue(scroll->maximum());
}

int QvConsoleView::currentLine() const { return document()->blockCount() - 1; }

void QvConsoleView::markErrorLines(int from, int to, int sourceLine) {
    for (QTextBlock block = document()->findBlockByNumber(from); block.isValid() && block.blockNumber() <= to;
         block = block.next())
        block.setUserState(sourceLine);
}

int QvConsoleView::sourceLineAt(int consoleLine) const {
    QTextBlock block = document()->findBlockByNumber(consoleLine);
    return block.isValid() ? std::max(block.userState(), 0) : 0;
}

void QvConsoleView::mouseDoubleClickEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    int line = sourceLineAt(cursorForPosition(event->position().toPoint()).blockNumber());
    if (line > 0) Q_EMIT errorActivated(line);
}
