#pragma once
#include <string>

#include "Values/qv_auto_value.h"
#include "Windows/QvWindow.h"

class QvGWorld;

// The host's twin of one script window: the graphics snapshot it shows, its size and
// position, and the replay of the snapshot's commands onto the host's surface. Hosts
// derive from it and draw; this base draws nothing.
class QvClientWindow {
public:
    explicit QvClientWindow(QvWindow* window);
    virtual ~QvClientWindow();
    QvClientWindow(const QvClientWindow&) = delete;
    QvClientWindow& operator=(const QvClientWindow&) = delete;

    virtual void redraw() {}
    virtual void drawText(const std::string&, int, int) {}
    // The gworld's 32-bit ARGB pixels, drawn opaque (alpha ignored).
    virtual void drawImage(QvGWorld*, int, int) {}
    // By default the movie's first frame, drawn as a picture with drawImage.
    virtual void drawMovie(MovieRecord* movie, int x, int y);
    virtual void lineTo(int, int) {}
    virtual void moveTo(int, int) {}

    void setGraphics(qv_auto_value<QvGraphics> graphics);
    void setPosition(short x, short y);
    // Calls the drawing operations for the snapshot's commands, in order.
    void replay();

    short width() const { return width_; }
    short height() const { return height_; }
    short x() const { return x_; }
    short y() const { return y_; }
    const std::string& title() const { return title_; }
    QvWindow* window() const { return window_; }

private:
    short width_;
    short height_;
    short x_;
    short y_;
    qv_auto_value<QvGraphics> graphics_;
    QvWindow* window_;
    std::string title_;
};
