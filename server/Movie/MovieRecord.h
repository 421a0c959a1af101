#pragma once
#include <memory>
#include <mutex>

#include "QvExport.h"
#include "Values/QvAutoObject.h"
#include "Values/qv_auto_value.h"

class QvGWorld;
class QvMediaMovie;

// The movie a script window shows: a snapshot of a movie value's frames, taken when the
// window was refreshed, that a host draws on its own thread while the script goes on
// editing the value. Counted like the gworlds of image commands.
struct QV_EXPORT MovieRecord : public QvAutoObject {
    explicit MovieRecord(std::unique_ptr<QvMediaMovie> movie);
    ~MovieRecord() override;

    int width() const { return width_; }
    int height() const { return height_; }
    // The first frame at the movie's size, made on first use and kept; null for a
    // movie without frames or one whose frames cannot be read.
    qv_auto_value<QvGWorld> poster();

private:
    std::mutex lock_;
    std::unique_ptr<QvMediaMovie> movie_;
    int width_;
    int height_;
    bool posterTried_ = false;
    qv_auto_value<QvGWorld> poster_;
};
