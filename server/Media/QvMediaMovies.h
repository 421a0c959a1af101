#pragma once
#include <memory>
#include <string>

#include "Media/QvMediaFileLocation.h"

class QvPixelBuffer;

// How frames are compressed into a movie. The compressor is named as the movie
// values name it ("Cinepak", "Animation", "Photo - JPEG", "PNG", "H.264", "None").
struct QvCompressionSettings {
    std::string compressor;
    double spatialQuality = 0.5;
    double temporalQuality = 0;
    int keyFrameInterval = 0;
    int depth = 32;
};

// One movie of the media layer. Times and durations are seconds.
class QvMediaMovie {
public:
    virtual ~QvMediaMovie() = default;

    // The time of the first video sample after `time`; -1 after the last one.
    virtual double nextVideoSampleTime(double time) = 0;
    // Draws the picture shown at `time` into the target, scaled to its size.
    virtual void drawAt(double time, QvPixelBuffer& target) = 0;
    virtual void addFrame(QvPixelBuffer& picture, const QvCompressionSettings& settings, double duration) = 0;

    // Editing: the range [start, start + duration) of `source` goes in at `at`, over
    // what was there (paste) or moving it later (insert); delete closes the gap.
    virtual void paste(const QvMediaMovie& source, double start, double duration, double at) = 0;
    virtual void insert(const QvMediaMovie& source, double start, double duration, double at) = 0;
    virtual void deleteRange(double start, double duration) = 0;
    // Lays `layer` over this movie, combined by the graphics mode.
    virtual void addOverlay(const QvMediaMovie& layer, int graphicsMode) = 0;

    // Writes a self-contained file holding all the movie's media.
    virtual void flatten(const QvMediaFileLocation& file) = 0;
    virtual void copyToClipboard() = 0;
};

class QvMovieServices {
public:
    virtual ~QvMovieServices() = default;

    virtual std::unique_ptr<QvMediaMovie> createMovieFile(const QvMediaFileLocation& file) = 0;
    virtual std::unique_ptr<QvMediaMovie> openMovieFile(const QvMediaFileLocation& file) = 0;
    virtual std::unique_ptr<QvMediaMovie> openMovieAddress(const std::string& url) = 0;
};
