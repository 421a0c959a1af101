#include "Media/QvMediaMovie.h"

#include <algorithm>
#include <cmath>

#include "Errors/QvErrors.h"
#include "Errors/QvException.h"
#include "Media/QvMediaModule.h"
#include "Media/QvMediaPictures.h"
#include "QvGWorld/QvPixelBuffer.h"

namespace {
constexpr uint32_t kBlack = 0xFF000000u;

[[noreturn]] void raiseIndex(long index, const char* problem, long bound) {
    QvException* error = new QvException;
    error->stream() << "Movie Index \"" << index << "\" is too " << problem << bound << ").";
    throw error;
}

int scaled(int size, double factor) { return std::max(1, static_cast<int>(std::lround(size * factor))); }

// The part of the picture right of width and below height.
void fillOutside(QvPixelBuffer& picture, int width, int height, uint32_t colour) {
    picture.lock();
    for (int y = 0; y < picture.height(); ++y) {
        uint32_t* row = picture.row(y);
        std::fill(row + (y < height ? width : 0), row + picture.width(), colour);
    }
    picture.unlock();
}

void scalePicture(QvPixelBuffer& source, QvPixelBuffer& target) {
    QvPictureView from(source);
    QvPictureView to(target);
    QvMediaResult result{};
    if (QvMediaModule::functions().pictureScale(from.get(), to.get(), &result) != QV_MEDIA_OK)
        QvMediaModule::raise(result, "Invalid Media Error");
}

bool sameOverlays(const QvMovieSegment& a, const QvMovieSegment& b) { return a.overlays == b.overlays; }
}  // namespace

QvMediaMovie::QvMediaMovie() = default;

QvMediaMovie::~QvMediaMovie() = default;

std::unique_ptr<QvMediaMovie> QvMediaMovie::openFile(const QvMediaFileLocation& file, const std::string& shownPath) {
    std::shared_ptr<QvMovieTrack> track = QvMovieTrack::openFile(file, shownPath);
    std::unique_ptr<QvMediaMovie> movie(new QvMediaMovie);
    movie->segments_.push_back(QvMovieSegment{track, 0, -1, track->width(), track->height(), {}});
    return movie;
}

std::unique_ptr<QvMediaMovie> QvMediaMovie::openAddress(const std::string& address) {
    std::shared_ptr<QvMovieTrack> track = QvMovieTrack::openAddress(address);
    std::unique_ptr<QvMediaMovie> movie(new QvMediaMovie);
    movie->segments_.push_back(QvMovieSegment{track, 0, -1, track->width(), track->height(), {}});
    return movie;
}

// The clone appends to a stream of its own (in the same store).
std::unique_ptr<QvMediaMovie> QvMediaMovie::clone() const {
    std::unique_ptr<QvMediaMovie> copy(new QvMediaMovie(*this));
    copy->stream_.reset();
    return copy;
}

// ---- Frames and sizes ---------------------------------------------------------------

void QvMediaMovie::resolve() {
    for (QvMovieSegment& segment : segments_)
        if (segment.count < 0) segment.count = std::max(0L, segment.track->frameCount() - segment.first);
    segments_.erase(std::remove_if(segments_.begin(), segments_.end(),
                                   [](const QvMovieSegment& segment) { return segment.count == 0; }),
                    segments_.end());
}

long QvMediaMovie::frameCount() {
    resolve();
    long count = 0;
    for (const QvMovieSegment& segment : segments_) count += segment.count;
    return count;
}

int QvMediaMovie::width() {
    if (segments_.empty()) return emptyWidth_;
    int largest = 0;
    for (const QvMovieSegment& segment : segments_) largest = std::max(largest, segment.width);
    return largest;
}

int QvMediaMovie::height() {
    if (segments_.empty()) return emptyHeight_;
    int largest = 0;
    for (const QvMovieSegment& segment : segments_) largest = std::max(largest, segment.height);
    return largest;
}

// An opened movie is read without scanning its whole file first.
QvMediaMovie::Place QvMediaMovie::locate(long index) {
    if (index >= 0 && segments_.size() == 1 && segments_[0].count < 0 &&
        segments_[0].track->hasFrame(segments_[0].first + index))
        return Place{&segments_[0], segments_[0].first + index};
    resolve();
    long start = 0;
    for (const QvMovieSegment& segment : segments_) {
        if (index >= start && index < start + segment.count) return Place{&segment, segment.first + index - start};
        start += segment.count;
    }
    return Place{nullptr, 0};
}

void QvMediaMovie::checkFrameIndex(long index) {
    if (index < 0) raiseIndex(index, "small (< ", 0);
    if (!locate(index).segment) raiseIndex(index, "large (> ", frameCount() - 1);
}

const std::vector<double>& QvMediaMovie::frameEnds() {
    resolve();
    if (!frameEnds_.empty() || segments_.empty()) return frameEnds_;
    double end = 0;
    for (const QvMovieSegment& segment : segments_)
        for (long frame = segment.first; frame < segment.first + segment.count; ++frame) {
            end += segment.track->secondsOf(segment.track->frameInfo(frame).duration);
            frameEnds_.push_back(end);
        }
    return frameEnds_;
}

double QvMediaMovie::frameTime(long index) {
    checkFrameIndex(index);
    return (index == 0 ? 0 : frameEnds()[static_cast<size_t>(index) - 1]) / rate_;
}

double QvMediaMovie::frameDuration(long index) {
    checkFrameIndex(index);
    Place place = locate(index);
    return place.segment->track->secondsOf(place.segment->track->frameInfo(place.frame).duration) / rate_;
}

double QvMediaMovie::duration() {
    const std::vector<double>& ends = frameEnds();
    return ends.empty() ? 0 : ends.back() / rate_;
}

void QvMediaMovie::setDuration(double seconds) {
    double media = duration() * rate_;
    if (media <= 0) {
        rate_ = 1;
        return;
    }
    if (!(seconds > 0) || !std::isfinite(seconds)) QvError("Movie duration must be greater than zero");
    rate_ = media / seconds;
}

// A segment shown at the movie's size without overlays is drawn straight into the
// target; anything else is put together at the movie's size first.
void QvMediaMovie::drawFrame(long index, QvPixelBuffer& target) {
    checkFrameIndex(index);
    Place place = locate(index);
    const QvMovieSegment& segment = *place.segment;
    int movieWidth = width(), movieHeight = height();
    if (segment.width == movieWidth && segment.height == movieHeight && segment.overlays.empty()) {
        segment.track->draw(place.frame, target, target.width(), target.height());
        return;
    }
    bool direct = target.width() == movieWidth && target.height() == movieHeight;
    std::unique_ptr<QvPixelBuffer> canvas = direct ? nullptr : QvNewPicture(movieWidth, movieHeight);
    QvPixelBuffer& picture = direct ? target : *canvas;
    segment.track->draw(place.frame, picture, segment.width, segment.height);
    if (segment.width < movieWidth || segment.height < movieHeight)
        fillOutside(picture, segment.width, segment.height, kBlack);
    for (const std::shared_ptr<const QvMovieOverlay>& overlay : segment.overlays) {
        QvPixelBuffer* layer = overlay->picture.get();
        std::unique_ptr<QvPixelBuffer> resized;
        if (layer->width() != overlay->width || layer->height() != overlay->height) {
            resized = QvNewPicture(overlay->width, overlay->height);
            scalePicture(*layer, *resized);
            layer = resized.get();
        }
        QvComposite(picture, *layer, std::min(overlay->width, movieWidth), std::min(overlay->height, movieHeight),
                    overlay->mode);
    }
    if (!direct) scalePicture(*canvas, target);
}

std::unique_ptr<QvPixelBuffer> QvMediaMovie::frame(long index) {
    checkFrameIndex(index);
    std::unique_ptr<QvPixelBuffer> picture = QvNewPicture(width(), height());
    drawFrame(index, *picture);
    return picture;
}

// ---- Editing ------------------------------------------------------------------------

void QvMediaMovie::changed() { frameEnds_.clear(); }

size_t QvMediaMovie::split(long at) {
    resolve();
    long start = 0;
    for (size_t i = 0; i < segments_.size(); ++i) {
        QvMovieSegment& segment = segments_[i];
        if (at == start) return i;
        if (at < start + segment.count) {
            QvMovieSegment tail = segment;
            long head = at - start;
            tail.first += head;
            tail.count -= head;
            segment.count = head;
            segments_.insert(segments_.begin() + static_cast<ptrdiff_t>(i) + 1, tail);
            return i + 1;
        }
        start += segment.count;
    }
    return segments_.size();
}

// Neighbours showing consecutive frames of one track the same way become one.
void QvMediaMovie::merge() {
    std::vector<QvMovieSegment> merged;
    for (QvMovieSegment& segment : segments_) {
        if (!merged.empty()) {
            QvMovieSegment& last = merged.back();
            if (last.track == segment.track && last.count >= 0 && last.first + last.count == segment.first &&
                last.width == segment.width && last.height == segment.height && sameOverlays(last, segment)) {
                last.count = segment.count < 0 ? -1 : last.count + segment.count;
                continue;
            }
        }
        merged.push_back(std::move(segment));
    }
    segments_ = std::move(merged);
}

void QvMediaMovie::insertSegments(long at, std::vector<QvMovieSegment> added) {
    size_t position = split(at);
    segments_.insert(segments_.begin() + static_cast<ptrdiff_t>(position), added.begin(), added.end());
    merge();
    changed();
}

std::shared_ptr<QvMovieTrack> QvMediaMovie::streamFor(const QvMovieSettings& settings, int width, int height) {
    if (stream_ && stream_->takes(settings, width, height)) return stream_;
    if (stream_) stream_->endStream();
    if (!store_) store_ = std::make_shared<QvMovieStore>();
    stream_ = QvMovieTrack::beginStream(store_, settings, width, height);
    return stream_;
}

void QvMediaMovie::insertPicture(long at, QvPixelBuffer& picture, const QvMovieSettings& settings) {
    long count = frameCount();
    if (at < 0) raiseIndex(at, "small (< ", 0);
    if (at > count) raiseIndex(at, "large (> ", count);
    int64_t duration = settings.frameDuration();
    if (segments_.empty() && emptyWidth_ > 0) {
        scaleX_ = double(emptyWidth_) / picture.width();
        scaleY_ = double(emptyHeight_) / picture.height();
    }
    std::shared_ptr<QvMovieTrack> stream = streamFor(settings, picture.width(), picture.height());
    long frame = stream->append(picture, duration);
    if (frame < 0) {
        stream = streamFor(settings, picture.width(), picture.height());
        frame = stream->append(picture, duration);
    }
    insertSegments(at, {QvMovieSegment{stream, frame, 1, scaled(picture.width(), scaleX_),
                                       scaled(picture.height(), scaleY_), {}}});
}

void QvMediaMovie::replaceFrame(long index, QvPixelBuffer& picture, const QvMovieSettings& settings) {
    checkFrameIndex(index);
    insertPicture(index, picture, settings);
    deleteFrames(index + 1, 1);
}

void QvMediaMovie::insertMovie(long at, const QvMediaMovie& other) {
    std::vector<QvMovieSegment> added = other.segments_;
    long count = frameCount();
    if (at < 0) raiseIndex(at, "small (< ", 0);
    if (at > count) raiseIndex(at, "large (> ", count);
    for (QvMovieSegment& segment : added)
        if (segment.count < 0) segment.count = std::max(0L, segment.track->frameCount() - segment.first);
    if (segments_.empty()) {
        scaleX_ = other.scaleX_;
        scaleY_ = other.scaleY_;
    }
    overlays_ = std::max(overlays_, other.overlays_);
    insertSegments(at, std::move(added));
}

void QvMediaMovie::deleteFrames(long first, long count) {
    if (count <= 0) return;
    size_t from = split(first);
    size_t to = split(first + count);
    segments_.erase(segments_.begin() + static_cast<ptrdiff_t>(from), segments_.begin() + static_cast<ptrdiff_t>(to));
    merge();
    changed();
}

std::unique_ptr<QvMediaMovie> QvMediaMovie::cut(long first, long last) {
    if (first == last) {
        QvException* error = new QvException;
        error->stream() << "Movie indexes can not be equal (" << first << "," << last << ").";
        throw error;
    }
    if (first > last) {
        QvException* error = new QvException;
        error->stream() << "The first movie index (" << first << ") is greater than the second (" << last << ").";
        throw error;
    }
    checkFrameIndex(first);
    checkFrameIndex(last);
    std::unique_ptr<QvMediaMovie> part = clone();
    part->segments_.clear();
    part->changed();
    size_t from = split(first);
    size_t to = split(last + 1);
    part->segments_.assign(segments_.begin() + static_cast<ptrdiff_t>(from), segments_.begin() + static_cast<ptrdiff_t>(to));
    part->merge();
    merge();
    return part;
}

void QvMediaMovie::overlay(QvPixelBuffer& picture, const QvMovieSettings& settings) {
    if (frameCount() == 0) QvError("You cannot add frame to a movie which has no content.");
    int movieWidth = width(), movieHeight = height();
    if (picture.width() != movieWidth || picture.height() != movieHeight)
        QvError("The image or frame being added to the movie must have the same dimensions as the movie.");
    QvGraphicsMode mode = QvGraphicsModeNamed(settings.graphicsMode);
    std::shared_ptr<QvPixelBuffer> kept = QvNewPicture(movieWidth, movieHeight);
    {
        QvMediaCompression compression = settings.overlayCompression();
        QvPictureView from(picture);
        QvPictureView to(*kept);
        QvMediaResult result{};
        if (QvMediaModule::functions().compressStill(from.get(), &compression, to.get(), &result) != QV_MEDIA_OK)
            QvMediaModule::raise(result, "Can't open movie compressor");
    }
    auto layer = std::make_shared<const QvMovieOverlay>(QvMovieOverlay{kept, movieWidth, movieHeight, mode});
    for (QvMovieSegment& segment : segments_) segment.overlays.push_back(layer);
    ++overlays_;
    merge();
}

void QvMediaMovie::resize(int newWidth, int newHeight) {
    if (newWidth < 1) QvError("Movie width must be greater than zero");
    if (newHeight < 1) QvError("Movie height must be greater than zero");
    if (frameCount() == 0) {
        emptyWidth_ = newWidth;
        emptyHeight_ = newHeight;
        return;
    }
    int oldWidth = width(), oldHeight = height();
    double factorX = double(newWidth) / oldWidth, factorY = double(newHeight) / oldHeight;
    auto resized = [&](int size, int old, int wanted, double factor) { return size == old ? wanted : scaled(size, factor); };
    std::vector<std::pair<const QvMovieOverlay*, std::shared_ptr<const QvMovieOverlay>>> done;
    for (QvMovieSegment& segment : segments_) {
        segment.width = resized(segment.width, oldWidth, newWidth, factorX);
        segment.height = resized(segment.height, oldHeight, newHeight, factorY);
        for (std::shared_ptr<const QvMovieOverlay>& overlay : segment.overlays) {
            auto found = std::find_if(done.begin(), done.end(), [&](const auto& pair) { return pair.first == overlay.get(); });
            if (found == done.end()) {
                QvMovieOverlay changedLayer = *overlay;
                changedLayer.width = resized(overlay->width, oldWidth, newWidth, factorX);
                changedLayer.height = resized(overlay->height, oldHeight, newHeight, factorY);
                done.emplace_back(overlay.get(), std::make_shared<const QvMovieOverlay>(changedLayer));
                found = done.end() - 1;
            }
            overlay = found->second;
        }
    }
    scaleX_ *= factorX;
    scaleY_ *= factorY;
}

const std::vector<QvMovieSegment>& QvMediaMovie::segments() {
    resolve();
    return segments_;
}

std::vector<std::string> QvMediaMovie::trackCompressors() {
    std::vector<std::string> names;
    std::vector<const QvMovieTrack*> seen;
    for (const QvMovieSegment& segment : segments()) {
        if (std::find(seen.begin(), seen.end(), segment.track.get()) != seen.end()) continue;
        seen.push_back(segment.track.get());
        names.push_back(segment.track->info().compressor);
    }
    return names;
}
