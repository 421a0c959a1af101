#include "Movie/MovieRecord.h"

#include "Errors/QvException.h"
#include "Media/QvMediaMovie.h"
#include "QvGWorld/QvGWorld.h"

MovieRecord::MovieRecord(std::unique_ptr<QvMediaMovie> movie)
    : movie_(std::move(movie)), width_(movie_->width()), height_(movie_->height()) {}

MovieRecord::~MovieRecord() = default;

// Runs on the host's thread: a frame that cannot be read leaves the window without a
// picture rather than raising there.
qv_auto_value<QvGWorld> MovieRecord::poster() {
    std::lock_guard<std::mutex> guard(lock_);
    if (posterTried_) return poster_;
    posterTried_ = true;
    try {
        if (movie_->frameCount() > 0) poster_ = new QvGWorld(movie_->frame(0));
    } catch (QvException* error) {
        delete error;
    }
    return poster_;
}
