#pragma once
#include <memory>
#include <string>
#include <vector>

#include "Media/QvMediaFileLocation.h"
#include "Media/QvMovieOverlay.h"
#include "Media/QvMovieSettings.h"
#include "Media/QvMovieTrack.h"

class QvPixelBuffer;

// A stretch of a track's frames as a movie shows them: at a size, under overlays.
struct QvMovieSegment {
    std::shared_ptr<QvMovieTrack> track;
    long first = 0;
    long count = 0;  // -1: to the end of the track (only an opened movie, until it is edited)
    int width = 0;
    int height = 0;
    std::vector<std::shared_ptr<const QvMovieOverlay>> overlays;
};

// The media layer's movie: a sequence of frames that edits rearrange without
// recompressing. Frames live in tracks (movie files, addresses, and the store that
// appended pictures are compressed into); the movie is a list of segments of them.
// Frame i is the i-th frame of the list, read exactly by its index. Pasting, cutting and
// deleting move segments; only appended pictures are compressed, once, and only
// flattening writes a self-contained file.
//
// A movie is used by one thread at a time; its clones share its tracks and may be used
// on other threads (a host drawing a movie while the script goes on editing its own).
class QvMediaMovie {
public:
    // A new empty movie: no frames, size 0 x 0, duration 0.
    QvMediaMovie();
    ~QvMediaMovie();
    // Raise the opening messages of QvMovieTrack.
    static std::unique_ptr<QvMediaMovie> openFile(const QvMediaFileLocation& file, const std::string& shownPath);
    static std::unique_ptr<QvMediaMovie> openAddress(const std::string& address);
    std::unique_ptr<QvMediaMovie> clone() const;

    long frameCount();
    // The box of the frames: the largest width and height of the segments.
    int width();
    int height();
    // Raises "Movie Index "i" is too large (> last)." or "... is too small (< 0)." for an
    // index outside the movie (i truncated, as indexes are).
    void checkFrameIndex(long index);
    // Seconds, at the preferred rate.
    double frameTime(long index);
    double frameDuration(long index);
    double duration();
    double preferredRate() const { return rate_; }
    // Sets the preferred rate so that the movie lasts `seconds`; an empty movie keeps
    // rate 1. Raises "Movie duration must be greater than zero" for 0 or less.
    void setDuration(double seconds);

    // Draws frame `index` scaled to the whole target.
    void drawFrame(long index, QvPixelBuffer& target);
    // Frame `index` at the movie's size.
    std::unique_ptr<QvPixelBuffer> frame(long index);

    // Compresses the picture as one new frame lasting 1 / the settings' rate at index
    // `at` (the frame count appends). An empty movie takes the picture's size.
    void insertPicture(long at, QvPixelBuffer& picture, const QvMovieSettings& settings);
    void replaceFrame(long index, QvPixelBuffer& picture, const QvMovieSettings& settings);
    // Puts the other movie's frames at `at` as they are; the other may be this movie (its
    // content is taken before the paste). An empty movie takes the other's size.
    void insertMovie(long at, const QvMediaMovie& other);
    void deleteFrames(long first, long count);
    // A new movie of frames first to last, both included. Raises the index messages, and
    // the messages for equal indexes and for a first index above the second.
    std::unique_ptr<QvMediaMovie> cut(long first, long last);
    // Lays the picture over every frame with the settings' graphics mode, compressed by
    // their overlay compressor. Raises "You cannot add frame to a movie which has no
    // content." and, for a picture of another size, "The image or frame being added to
    // the movie must have the same dimensions as the movie.".
    void overlay(QvPixelBuffer& picture, const QvMovieSettings& settings);
    // Scales the movie: frames read afterwards have the new size. Raises "Movie width
    // must be greater than zero" (or height) for a side below 1.
    void resize(int width, int height);

    const std::vector<QvMovieSegment>& segments();
    // The compressor of every track the frames come from, in the order they first show.
    std::vector<std::string> trackCompressors();
    // Overlays laid over the movie.
    int overlayCount() const { return overlays_; }

    // Writes every frame into one self-contained movie file: QuickTime unless the file's
    // ending names another type that can hold the frames. Frames copy unchanged where
    // the file's stream takes them; the rest are compressed by `settings`. Reports its
    // progress and stops when asked. Raises "File is open in another application", "Could
    // not create movie (FlattenMovieData)" or "Could not save movie file.".
    void flatten(const QvMediaFileLocation& file, const QvMovieSettings& settings);

private:
    // Where a frame is: its segment and its index in the segment's track.
    struct Place {
        const QvMovieSegment* segment;
        long frame;
    };
    Place locate(long index);
    void resolve();
    // The position of the segment that starts at frame `at`, splitting one if need be.
    size_t split(long at);
    void insertSegments(long at, std::vector<QvMovieSegment> added);
    void merge();
    void changed();
    const std::vector<double>& frameEnds();
    std::shared_ptr<QvMovieTrack> streamFor(const QvMovieSettings& settings, int width, int height);

    std::vector<QvMovieSegment> segments_;
    std::shared_ptr<QvMovieStore> store_;
    std::shared_ptr<QvMovieTrack> stream_;
    double rate_ = 1;
    // How much the movie has been scaled; pictures appended later are scaled alike. An
    // empty movie keeps the size it is given for the first frames it gets.
    double scaleX_ = 1;
    double scaleY_ = 1;
    int emptyWidth_ = 0;
    int emptyHeight_ = 0;
    int overlays_ = 0;
    std::vector<double> frameEnds_;  // media seconds at the end of each frame, made on demand
};
