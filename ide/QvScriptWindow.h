#pragma once
#include <QImage>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "QvClientWindow.h"
#include "QvSourceText.h"

// Shows the picture a script window's commands drew, at its own size; scrolls when
// the picture is larger than the window.
class QvScriptWindowView : public QWidget {
public:
    explicit QvScriptWindowView(QWidget* parent = nullptr) : QWidget(parent) {}
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    QSize sizeHint() const override { return picture_.size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

// The IDE's twin of one script window: an MDI sub-window that replays the window's
// newest graphics onto a picture of the window's size (white ground, black ink, text
// with its baseline at the command's point, pictures opaque whatever their alpha). Sizes come from the engine, and so does
// the position unless it is -1. A window the user closes is only hidden: the script's
// next refresh shows it again.
class QvScriptWindow : public QvClientWindow {
public:
    QvScriptWindow(QvWindow* window, QMdiArea* area, QvSourceText::Encoding encoding);
    ~QvScriptWindow() override;

    void redraw() override;
    void drawText(const std::string& text, int x, int y) override;
    void drawImage(QvGWorld* world, int x, int y) override;
    void lineTo(int x, int y) override;
    void moveTo(int x, int y) override;

    // The picture of the last redraw.
    const QImage& picture() const { return view_->picture(); }
    QMdiSubWindow* subWindow() const { return subWindow_; }

    // Replays a snapshot onto a new picture of its size: what redraw shows.
    QImage render();

private:
    void place();

    QPointer<QMdiSubWindow> subWindow_;
    QvScriptWindowView* view_;
    QMdiArea* area_;
    QvSourceText::Encoding encoding_;
    QPainter* painter_ = nullptr;
    QPoint pen_;
};
