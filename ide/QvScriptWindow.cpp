#include "QvScriptWindow.h"

#include <QMdiArea>
#include <QRegularExpression>
#include <QTextOption>

#include "QvGWorld/QvGWorld.h"
#include <QScrollArea>
#include <QStyle>

namespace {
const QColor kGround(Qt::white);
const QColor kInk(Qt::black);
constexpr int kTextPixelSize = 12;
constexpr int kTabStopCharacters = 8;
constexpr qreal kUnboundedWidth = 1 << 20;

QFont windowFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(kTextPixelSize);
    return font;
}
}  // namespace

void QvScriptWindowView::setPicture(const QImage& picture) {
    picture_ = picture;
    setFixedSize(picture_.size());
    update();
}

void QvScriptWindowView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

QvScriptWindow::QvScriptWindow(QvWindow* window, QMdiArea* area, QvSourceText::Encoding encoding)
    : QvClientWindow(window), view_(new QvScriptWindowView), area_(area), encoding_(encoding) {
    auto* scroller = new QScrollArea;
    scroller->setWidget(view_);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setBackgroundRole(QPalette::Base);
    subWindow_ = new QMdiSubWindow;
    subWindow_->setWidget(scroller);
    subWindow_->setWindowTitle(QvSourceText::decode(QByteArray::fromStdString(title()), encoding_));
    subWindow_->setAttribute(Qt::WA_DeleteOnClose, false);
    area_->addSubWindow(subWindow_);
}

QvScriptWindow::~QvScriptWindow() { delete subWindow_; }

QImage QvScriptWindow::render() {
    QImage picture(std::max<int>(width(), 1), std::max<int>(height(), 1), QImage::Format_RGB32);
    picture.fill(kGround);
    QPainter painter(&picture);
    painter.setPen(QPen(kInk, 0));
    painter.setFont(windowFont());
    painter_ = &painter;
    pen_ = QPoint(0, 0);
    replay();
    painter_ = nullptr;
    return picture;
}

void QvScriptWindow::redraw() {
    if (!subWindow_) return;
    view_->setPicture(render());
    place();
    subWindow_->show();
}

// The sub-window fits the picture, as far as the MDI area has room for it.
void QvScriptWindow::place() {
    const int frameWidth = subWindow_->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, subWindow_);
    const int titleHeight = subWindow_->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, subWindow_);
    QSize wanted(width() + 2 * frameWidth, height() + titleHeight + frameWidth);
    QSize room = area_->viewport()->size();
    subWindow_->resize(wanted.boundedTo(room.isEmpty() ? wanted : room));
    if (x() != -1 || y() != -1) {
        QPoint at = subWindow_->pos();
        subWindow_->move(x() != -1 ? x() : at.x(), y() != -1 ? y() : at.y());
    }
}

// Each line of the text (a list shows one item a line) starts below the last one;
// tabs (between a vector's numbers) move to the next stop of eight digits.
void QvScriptWindow::drawText(const std::string& text, int x, int y) {
    const QFontMetricsF metrics(painter_->font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(kTabStopCharacters * metrics.horizontalAdvance(QLatin1Char('0')));
    const QString decoded = QvSourceText::decode(QByteArray::fromStdString(text), encoding_);
    qreal baseline = y;
    for (const QString& line : decoded.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")))) {
        painter_->drawText(QRectF(x, baseline - metrics.ascent(), kUnboundedWidth, metrics.height()), line, option);
        baseline += metrics.lineSpacing();
    }
}

// A gworld in a drawing command belongs to the command alone, so locking it here
// cannot meet the script thread.
void QvScriptWindow::drawImage(QvGWorld* world, int x, int y) {
    if (!world) return;
    QImage picture(world->width(), world->height(), QImage::Format_RGB32);
    QvGWorldLockScope lock(*world);
    for (int row = 0; row < picture.height(); ++row) {
        const uint32_t* pixels = world->getLine(row);
        auto* opaque = reinterpret_cast<QRgb*>(picture.scanLine(row));
        for (int column = 0; column < picture.width(); ++column) opaque[column] = pixels[column] | 0xFF000000u;
    }
    painter_->drawImage(QPoint(x, y), picture);
}

void QvScriptWindow::lineTo(int x, int y) {
    painter_->drawLine(pen_, QPoint(x, y));
    pen_ = QPoint(x, y);
}

void QvScriptWindow::moveTo(int x, int y) { pen_ = QPoint(x, y); }
