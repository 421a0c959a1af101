#pragma once
#include <string>

#include "QvExport.h"
#include "Movie/MovieRecord.h"
#include "QvGWorld/QvGWorld.h"
#include "Values/qv_auto_value.h"

enum QvGraphicsCommandID {
    QvGraphicsCommandImage = 1,
    QvGraphicsCommandText = 2,
    QvGraphicsCommandMovie = 3,
    QvGraphicsCommandMoveTo = 4,
    QvGraphicsCommandLineTo = 5
};

// One retained drawing command of a script window, in window pixels (origin top
// left, y growing downwards). Immutable once made, so a host may replay it while the
// script goes on.
class QV_EXPORT QvGraphicsCommand {
public:
    QvGraphicsCommand(QvGraphicsCommandID id, int x, int y, std::string text = {}) : id_(id), x_(x), y_(y), text_(std::move(text)) {}
    // A movie shown with its top-left corner at (x, y); the command shares the record.
    QvGraphicsCommand(MovieRecord* movie, int x, int y) : id_(QvGraphicsCommandMovie), x_(x), y_(y), movie_(movie) {}
    // A picture drawn with its top-left corner at (x, y); the command shares the gworld.
    QvGraphicsCommand(QvGWorld* world, int x, int y) : id_(QvGraphicsCommandImage), x_(x), y_(y), world_(world) {}

    QvGraphicsCommandID getID() const { return id_; }
    int getX() const { return x_; }
    int getY() const { return y_; }
    std::string getString() const { return text_; }
    MovieRecord* getMovie() const { return movie_.get(); }
    QvGWorld* getGWorld() const { return world_.get(); }

private:
    QvGraphicsCommandID id_;
    int x_;
    int y_;
    std::string text_;
    qv_auto_value<MovieRecord> movie_;
    qv_auto_value<QvGWorld> world_;
};
