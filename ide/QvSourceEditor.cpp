#include "QvSourceEditor.h"

#include <QFontDatabase>
#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <QUrl>

namespace {
constexpr int kGutterPadding = 6;
constexpr int kMarkDiameter = 8;
const QColor kErrorLineColour(0xFF, 0xE0, 0xE0);
const QColor kErrorMarkColour(0xD0, 0x20, 0x20);
const QColor kGutterColour(0xF0, 0xF0, 0xF0);
const QColor kLineNumberColour(0x80, 0x80, 0x80);

QStringList localFiles(const QMimeData* source) {
    QStringList paths;
    if (!source->hasUrls()) return paths;
    for (const QUrl& url : source->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}
}  // namespace

QvSourceEditor::QvSourceEditor(QWidget* parent)
    : QPlainTextEdit(parent), gutter_(new QvLineNumberGutter(this)), colourer_(new QvSyntaxColourer(document())) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    setFont(font);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabStopDistance(4 * fontMetrics().horizontalAdvance(QLatin1Char(' ')));

    connect(document(), &QTextDocument::contentsChange, this, &QvSourceEditor::followEdit);

    relexTimer_.setSingleShot(true);
    relexTimer_.setInterval(kRelexDelayMs);
    connect(&relexTimer_, &QTimer::timeout, this, &QvSourceEditor::recolour);

    connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { setViewportMargins(gutterWidth(), 0, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, &QvSourceEditor::updateGutter);
    setViewportMargins(gutterWidth(), 0, 0, 0);
}

void QvSourceEditor::recolour() {
    relexTimer_.stop();
    colourer_->setRanges(QvLexColourRanges(toPlainText(), encoding_));
}

void QvSourceEditor::followEdit(int position, int removed, int added) {
    if (removed == 0 && added == 0) return;
    colourer_->followEdit(position, removed, added);
    relexTimer_.start();
}

void QvSourceEditor::markErrorLine(int line) {
    if (line < 1 || !errorLines_.insert(line).second) return;
    showErrorLines();
}

void QvSourceEditor::clearErrorLines() {
    errorLines_.clear();
    showErrorLines();
}

void QvSourceEditor::showErrorLines() {
    QList<QTextEdit::ExtraSelection> selections;
    for (int line : errorLines_) {
        QTextBlock block = document()->findBlockByNumber(line - 1);
        if (!block.isValid()) continue;
        QTextEdit::ExtraSelection selection;
        selection.format.setBackground(kErrorLineColour);
        selection.format.setProperty(QTextFormat::FullWidthSelection, true);
        selection.cursor = QTextCursor(block);
        selections << selection;
    }
    setExtraSelections(selections);
    gutter_->update();
}

void QvSourceEditor::goToLine(int line) {
    QTextBlock block = document()->findBlockByNumber(std::max(line, 1) - 1);
    if (!block.isValid()) block = document()->lastBlock();
    setTextCursor(QTextCursor(block));
    centerCursor();
    setFocus();
}

int QvSourceEditor::caretLine() const { return textCursor().blockNumber() + 1; }

int QvSourceEditor::gutterWidth() const {
    int digits = QString::number(std::max(1, blockCount())).size();
    return kGutterPadding * 2 + kMarkDiameter + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

void QvSourceEditor::updateGutter(const QRect& rect, int dy) {
    if (dy)
        gutter_->scroll(0, dy);
    else
        gutter_->update(0, rect.y(), gutter_->width(), rect.height());
}

void QvSourceEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    QRect area = contentsRect();
    gutter_->setGeometry(QRect(area.left(), area.top(), gutterWidth(), area.height()));
}

void QvSourceEditor::paintGutter(QPaintEvent* event) {
    QPainter painter(gutter_);
    painter.fillRect(event->rect(), kGutterColour);
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    const int lineHeight = fontMetrics().height();
    const int numberRight = gutter_->width() - kGutterPadding;
    while (block.isValid() && top <= event->rect().bottom()) {
        int bottom = top + qRound(blockBoundingRect(block).height());
        if (block.isVisible() && bottom >= event->rect().top()) {
            const int line = block.blockNumber() + 1;
            if (errorLines_.count(line)) {
                painter.setRenderHint(QPainter::Antialiasing);
                painter.setPen(Qt::NoPen);
                painter.setBrush(kErrorMarkColour);
                painter.drawEllipse(kGutterPadding / 2, top + (lineHeight - kMarkDiameter) / 2, kMarkDiameter,
                                    kMarkDiameter);
            }
            painter.setPen(kLineNumberColour);
            painter.drawText(0, top, numberRight, lineHeight, Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(line));
        }
        block = block.next();
        top = bottom;
    }
}

bool QvSourceEditor::canInsertFromMimeData(const QMimeData* source) const {
    return !localFiles(source).isEmpty() || QPlainTextEdit::canInsertFromMimeData(source);
}

void QvSourceEditor::insertFromMimeData(const QMimeData* source) {
    QStringList paths = localFiles(source);
    if (paths.isEmpty())
        QPlainTextEdit::insertFromMimeData(source);
    else
        Q_EMIT filesDropped(paths);
}
