#include "Movie/QvMovieApi.h"

#include "Errors/QvErrors.h"
#include "Movie/QvMovieValue.h"
#include "Values/QvTextValue.h"

namespace {

QvMovieValue& movieOf(QvValue* value) {
    QvMovieValue* movie = QvAsMovie(value);
    if (!movie) QvError("The value is not a movie.");
    return *movie;
}

}  // namespace

QvValue* QvMovieCreate(void) { return new QvMovieValue; }

void QvMovieFlatten(QvValue* movie, const char* path) {
    if (!path) QvError("Could not save movie file.");
    movieOf(movie).Flatten(path);
}

double QvMovieGetIndexTime(QvValue* movie, long index) { return movieOf(movie).IndexTime(index); }
double QvMovieGetIndexDuration(QvValue* movie, long index) { return movieOf(movie).IndexDuration(index); }
long QvMovieGetWidth(QvValue* movie) { return movieOf(movie).Width(); }
long QvMovieGetHeight(QvValue* movie) { return movieOf(movie).Height(); }
long QvMovieGetFrameCount(QvValue* movie) { return movieOf(movie).FrameCount(); }

double QvMovieGetFrameRate(QvValue* movie) { return movieOf(movie).settings().rate(); }
void QvMovieSetFrameRate(QvValue* movie, double framesPerSecond) {
    movieOf(movie).settings().setRate(framesPerSecond);
}

double QvMovieGetColorDepth(QvValue* movie) { return movieOf(movie).settings().depth; }
void QvMovieSetColorDepth(QvValue* movie, double depth) {
    QvMovieSettings& settings = movieOf(movie).settings();
    if (!(depth >= 0 && depth <= 64)) QvError("Movie compression preferences appear invalid.");
    settings.depth = static_cast<int32_t>(depth);
}

double QvMovieGetKeyFrameInterval(QvValue* movie) { return movieOf(movie).settings().keyFrameInterval; }
void QvMovieSetKeyFrameInterval(QvValue* movie, double frames) {
    movieOf(movie).settings().setKeyFrameInterval(frames);
}

QvValue* QvMovieGetCompression(QvValue* movie) { return new QvTextValue(movieOf(movie).settings().compressor); }
void QvMovieSetCompression(QvValue* movie, const char* name) {
    movieOf(movie).settings().setCompressor(name ? name : "");
}

double QvMovieGetSpatialQuality(QvValue* movie) { return movieOf(movie).settings().spatial(); }
void QvMovieSetSpatialQuality(QvValue* movie, double quality) { movieOf(movie).settings().setSpatial(quality); }
double QvMovieGetTemporalQuality(QvValue* movie) { return movieOf(movie).settings().temporal(); }
void QvMovieSetTemporalQuality(QvValue* movie, double quality) { movieOf(movie).settings().setTemporal(quality); }

void QvMovieAppendMovie(QvValue* movie, QvValue* other) { movieOf(movie).AppendMovie(movieOf(other)); }
void QvMoviePrependMovie(QvValue* movie, QvValue* other) { movieOf(movie).PrependMovie(movieOf(other)); }
void QvMovieInsertMovie(QvValue* movie, QvValue* other, long index) {
    movieOf(movie).InsertMovie(movieOf(other), index);
}

QvValue* QvMovieGetFrame(QvValue* movie, long index) { return movieOf(movie).Frame(index); }

QvMediaMovie* QvMovieGetQTMovie(QvValue* movie) { return &movieOf(movie).media(); }
