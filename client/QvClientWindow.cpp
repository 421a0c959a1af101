#include "QvClientWindow.h"

QvClientWindow::QvClientWindow(QvWindow* window)
    : width_(window->getWidth()),
      height_(window->getHeight()),
      x_(window->getXPosition()),
      y_(window->getYPosition()),
      window_(window),
      title_(window->getTitle()) {
    setGraphics(window->getQvGraphics());
}

QvClientWindow::~QvClientWindow() = default;

void QvClientWindow::setGraphics(qv_auto_value<QvGraphics> graphics) {
    graphics_ = std::move(graphics);
    if (graphics_) graphics_->getSize(&width_, &height_);
}

void QvClientWindow::setPosition(short x, short y) {
    x_ = x;
    y_ = y;
}

void QvClientWindow::drawMovie(MovieRecord* movie, int x, int y) {
    if (!movie) return;
    qv_auto_value<QvGWorld> poster = movie->poster();
    if (poster) drawImage(poster.get(), x, y);
}

void QvClientWindow::replay() {
    if (!graphics_) return;
    for (const auto& command : graphics_->getCommandList()) {
        switch (command->getID()) {
        case QvGraphicsCommandText: drawText(command->getString(), command->getX(), command->getY()); break;
        case QvGraphicsCommandMovie: drawMovie(command->getMovie(), command->getX(), command->getY()); break;
        case QvGraphicsCommandMoveTo: moveTo(command->getX(), command->getY()); break;
        case QvGraphicsCommandLineTo: lineTo(command->getX(), command->getY()); break;
        case QvGraphicsCommandImage: drawImage(command->getGWorld(), command->getX(), command->getY()); break;
        }
    }
}
