#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Media/QvMediaFileLocation.h"
#include "Media/QvMediaModuleAbi.h"
#include "Media/QvMovieSettings.h"

class QvPixelBuffer;

// The file of compressed frames that a movie appends pictures to: a temporary file
// named by QvCreateTempFileSpec, removed when the last movie and track using it go.
class QvMovieStore {
public:
    QvMovieStore();
    ~QvMovieStore();
    QvMovieStore(const QvMovieStore&) = delete;
    QvMovieStore& operator=(const QvMovieStore&) = delete;

    QvMediaStore* get() const { return store_; }

private:
    QvMediaStore* store_ = nullptr;
};

// One track of the media module: the video of a movie file or address, or a stream of
// a store that pictures are appended to. Movies share tracks through their segments;
// every use takes the track's lock, so movies on different threads may share one.
class QvMovieTrack {
public:
    // Raise "Cannot open movie file ..." with the system's text, "File ... does not seem
    // to be a movie file.", or "Movie was not found at the specified URL.".
    static std::shared_ptr<QvMovieTrack> openFile(const QvMediaFileLocation& file, const std::string& shownPath);
    static std::shared_ptr<QvMovieTrack> openAddress(const std::string& address);
    // A new stream of the store, compressing pictures of width x height by the settings.
    static std::shared_ptr<QvMovieTrack> beginStream(std::shared_ptr<QvMovieStore> store,
                                                     const QvMovieSettings& settings, int width, int height);
    ~QvMovieTrack();
    QvMovieTrack(const QvMovieTrack&) = delete;
    QvMovieTrack& operator=(const QvMovieTrack&) = delete;

    const QvMediaTrackInfo& info() const { return info_; }
    int width() const { return info_.width; }
    int height() const { return info_.height; }
    double secondsOf(int64_t units) const;

    // Every frame of the track (a file is scanned to its end the first time).
    long frameCount();
    // Scans as far as the frame.
    bool hasFrame(long index);
    // The frame must exist.
    QvMediaFrameInfo frameInfo(long index);
    // Draws the frame, scaled, into the top-left width x height of the target.
    void draw(long index, QvPixelBuffer& target, int width, int height);
    // Whether frames [first, first + count) can be copied into a file unchanged.
    bool selfContained(long first, long count, const QvMediaWork* work);

    // Streams: whether pictures of this size with these settings can go on being
    // appended here; appending returns the new frame's index, or -1 when the stream has
    // ended meanwhile (a reader on another thread needed all its frames).
    bool takes(const QvMovieSettings& settings, int width, int height);
    long append(QvPixelBuffer& picture, int64_t duration);
    // Stops appending: what the compressor held back becomes readable.
    void endStream();

    // Runs `use` with the module's track under the lock.
    template <class Use>
    auto with(Use&& use) {
        std::lock_guard<std::mutex> guard(lock_);
        readAll();
        return use(track_);
    }

private:
    QvMovieTrack(QvMediaTrack* track, std::shared_ptr<QvMovieStore> store);
    void readAll();

    std::mutex lock_;
    QvMediaTrack* track_;
    std::shared_ptr<QvMovieStore> store_;
    QvMediaTrackInfo info_;
    // Streams: the settings pictures are compressed with, and the frames' durations.
    bool appending_ = false;
    QvMovieSettings settings_;
    std::vector<int64_t> durations_;
    long readable_ = 0;
};
