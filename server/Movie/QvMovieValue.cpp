#include "Movie/QvMovieValue.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <sstream>

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"
#include "Images/Qv2DValue.h"
#include "Media/QvMediaMovie.h"
#include "Media/QvMediaPreferences.h"
#include "Movie/MovieRecord.h"
#include "QvGWorld/QvGWorld.h"
#include "Values/QvElementIndex.h"
#include "Windows/QvGraphics.h"

namespace {

long frameIndex(QvValue* index) {
    int64_t truncated = QvTruncatedIndex(index);
    return static_cast<long>(std::clamp<int64_t>(truncated, LONG_MIN, LONG_MAX));
}

const QvMovieValue& movieOf(const QvValue& value) { return static_cast<const QvMovieValue&>(value); }

bool isPicture(const QvValue* value) { return value && QvAsPicture(value) != nullptr; }

// A side of a frame size: truncated, and refused below 1 (a frame of no pixels cannot
// be shown or compressed) and above the largest picture.
int side(double value, const char* name) {
    if (!(value >= 1)) QvError((std::string("Movie ") + name + " must be greater than zero").c_str());
    QvGWorld::checkSides(static_cast<int64_t>(std::min(value, 1e9)), 1);
    return static_cast<int>(value);
}

}  // namespace

QvMovieValue::QvMovieValue() : movie_(std::make_unique<QvMediaMovie>()), settings_(QvPreferredMovieSettings()) {}

QvMovieValue::QvMovieValue(std::unique_ptr<QvMediaMovie> movie, const QvMovieSettings& settings)
    : movie_(std::move(movie)), settings_(settings) {}

QvMovieValue::QvMovieValue(const QvMovieValue& other)
    : QvValue(other),
      movie_(other.movie_->clone()),
      settings_(other.settings_),
      pendingWidth_(other.pendingWidth_),
      pendingHeight_(other.pendingHeight_),
      offsetX_(other.offsetX_),
      offsetY_(other.offsetY_),
      safeAppendMode_(other.safeAppendMode_) {}

QvMovieValue::~QvMovieValue() = default;

QvValue* QvMovieValue::Clone() const { return new QvMovieValue(*this); }

long QvMovieValue::FrameCount() const { return movie_->frameCount(); }
int QvMovieValue::Width() const { return movie_->width() > 0 ? movie_->width() : pendingWidth_; }
int QvMovieValue::Height() const { return movie_->height() > 0 ? movie_->height() : pendingHeight_; }
double QvMovieValue::IndexTime(long index) const { return movie_->frameTime(index); }
double QvMovieValue::IndexDuration(long index) const { return movie_->frameDuration(index); }

QvValue* QvMovieValue::Frame(long index) const {
    double duration = movie_->frameDuration(index);
    Qv2DValue* frame = QvFrameFromGWorld(new QvGWorld(movie_->frame(index)));
    frame->setDuration(duration);
    return frame;
}

// ---- Editing ------------------------------------------------------------------------

void QvMovieValue::AppendMovie(const QvMovieValue& other) { movie_->insertMovie(FrameCount(), other.media()); }
void QvMovieValue::PrependMovie(const QvMovieValue& other) { movie_->insertMovie(0, other.media()); }

void QvMovieValue::InsertMovie(const QvMovieValue& other, long index) {
    if (index != FrameCount()) movie_->checkFrameIndex(index);
    movie_->insertMovie(index, other.media());
}

void QvMovieValue::insertPicture(const QvValue& picture, long at) {
    qv_auto_value<QvGWorld> world = QvAsPicture(&picture)->CreateGWorld();
    movie_->insertPicture(at, world->buffer(), settings_);
}

void QvMovieValue::insertValue(QvValue* value, long at, const char* op) {
    if (value && value->GetType() == QV_MOVIE)
        movie_->insertMovie(at, movieOf(*value).media());
    else if (isPicture(value))
        insertPicture(*value, at);
    else
        throw new QvOperatorException(op);
}

void QvMovieValue::Append(QvValue* value) { insertValue(value, FrameCount(), "append"); }
void QvMovieValue::Prepend(QvValue* value) { insertValue(value, 0, "prepend"); }

// Inserting at the length appends; any other index must name a frame.
void QvMovieValue::Insert(QvValue* value, QvValue* index) {
    long at = frameIndex(index);
    if (at != FrameCount()) movie_->checkFrameIndex(at);
    insertValue(value, at, "insert");
}

void QvMovieValue::AddTo(QvValue* value) {
    if (value && value->GetType() == QV_MOVIE) {
        AppendMovie(movieOf(*value));
    } else if (isPicture(value)) {
        if (FrameCount() == 0) QvError("You cannot add frame to a movie which has no content.");
        qv_auto_value<QvGWorld> world = QvAsPicture(value)->CreateGWorld();
        movie_->overlay(world->buffer(), settings_);
    } else {
        QvError("QvMovieValue::addTo unimplemented arguments");
    }
}

// The result holds this movie's content (the dispatch made it from this movie, or it
// is this movie itself for an in-place add) before the operand is added.
void QvMovieValue::Add(QvValueRef& result, QvValueRef& other) {
    if (other && other->GetType() != QV_MOVIE && !isPicture(other.get())) return QvValue::Add(result, other);
    QvMovieValue* target = QvAsMovie(result.get());
    if (target != this) {
        target->movie_ = movie_->clone();
        target->settings_ = settings_;
    }
    target->AddTo(other.get());
}

bool QvMovieValue::CanHoldResult(QvTypeEnum resultType, QvValue*) const { return resultType == QV_MOVIE; }

void QvMovieValue::SetSize(double width, double height) {
    int newWidth = side(width, "width");
    int newHeight = side(height, "height");
    movie_->resize(newWidth, newHeight);
    pendingWidth_ = pendingHeight_ = 0;
}

void QvMovieValue::SetSide(double size, bool width) {
    int checked = side(size, width ? "width" : "height");
    int other = width ? Height() : Width();
    if (other == 0) {
        (width ? pendingWidth_ : pendingHeight_) = checked;
        return;
    }
    if (width)
        SetSize(checked, other);
    else
        SetSize(other, checked);
}

// ---- Indexing -----------------------------------------------------------------------

// A frame read from a movie is a copy: a change made to it in place would be lost, so
// it is refused and the frame is replaced whole instead.
void QvMovieValue::GetIndexed(QvValueRef& out, QvValue* index, bool forUpdate) {
    if (forUpdate) QvError("A frame of a movie cannot be changed in place: set the whole frame instead.");
    out = Frame(frameIndex(index));
}

void QvMovieValue::GetDoubleIndexed(QvValueRef& out, QvValue* i, QvValue* j) {
    out = new QvMovieValue(movie_->cut(frameIndex(i), frameIndex(j)), settings_);
}

void QvMovieValue::SetIndexed(QvValue* index, QvValueRef& value) {
    if (!isPicture(value.get())) QvError("Movie: Wrong type for indexing operation");
    long at = frameIndex(index);
    movie_->checkFrameIndex(at);
    qv_auto_value<QvGWorld> world = QvAsPicture(value.get())->CreateGWorld();
    movie_->replaceFrame(at, world->buffer(), settings_);
}

// ---- Showing, text ----------------------------------------------------------

void QvMovieValue::Display(QvGraphics* graphics) {
    if (!graphics) throw new QvTypeException("Hey, NULL graphics opject");
    qv_auto_value<MovieRecord> record = new MovieRecord(movie_->clone());
    graphics->setSize(static_cast<short>(std::min(record->width(), 32767)),
                      static_cast<short>(std::min(record->height(), 32767)));
    graphics->addMovie(record.get(), 0, 0);
}

void QvMovieValue::CopyToClipboard() const { QvError("Movies cannot be copied to the clipboard."); }

// Every track the frames come from is a video track, drawn at layer 0; each overlay
// lies one layer further in front.
std::string QvMovieValue::AsText() const {
    std::ostringstream text;
    text << "movie value\n\twidth:\t" << Width() << "\n\theight:\t" << Height() << "\n\tcompression:\t"
         << settings_.compressor;
    size_t tracks = movie_->trackCompressors().size();
    for (size_t track = 0; track < tracks; ++track) text << "\n\t\tTrack: Video\tLayer 0";
    for (int layer = 1; layer <= movie_->overlayCount(); ++layer) text << "\n\t\tTrack: Video\tLayer " << -layer;
    return text.str();
}

QvMovieValue* QvAsMovie(QvValue* value) {
    return value && value->GetType() == QV_MOVIE ? static_cast<QvMovieValue*>(value) : nullptr;
}
