#pragma once
// The movie functions of the plug-in interface. Movies are passed as values; a value
// that is not a movie raises "The value is not a movie.". Functions returning QvValue*
// return new values.
#include <cstddef>
#include <cstdint>

#include "QvExport.h"

class QvValue;
class QvMediaMovie;

QV_C_EXPORT QvValue* QvMovieCreate(void);
// Writes the movie into one self-contained movie file.
QV_C_EXPORT void QvMovieFlatten(QvValue* movie, const char* path);
// Seconds from the start to frame `index`, and how long the frame is shown.
QV_C_EXPORT double QvMovieGetIndexTime(QvValue* movie, long index);
QV_C_EXPORT double QvMovieGetIndexDuration(QvValue* movie, long index);
QV_C_EXPORT long QvMovieGetWidth(QvValue* movie);
QV_C_EXPORT long QvMovieGetHeight(QvValue* movie);
QV_C_EXPORT long QvMovieGetFrameCount(QvValue* movie);
QV_C_EXPORT double QvMovieGetFrameRate(QvValue* movie);
QV_C_EXPORT void QvMovieSetFrameRate(QvValue* movie, double framesPerSecond);
QV_C_EXPORT double QvMovieGetColorDepth(QvValue* movie);
QV_C_EXPORT void QvMovieSetColorDepth(QvValue* movie, double depth);
// The stored whole number of frames; setting takes the floor.
QV_C_EXPORT double QvMovieGetKeyFrameInterval(QvValue* movie);
QV_C_EXPORT void QvMovieSetKeyFrameInterval(QvValue* movie, double frames);
// The compressor's name as a new text value; setting raises for an unknown name.
QV_C_EXPORT QvValue* QvMovieGetCompression(QvValue* movie);
QV_C_EXPORT void QvMovieSetCompression(QvValue* movie, const char* name);
QV_C_EXPORT double QvMovieGetSpatialQuality(QvValue* movie);
QV_C_EXPORT void QvMovieSetSpatialQuality(QvValue* movie, double quality);
QV_C_EXPORT double QvMovieGetTemporalQuality(QvValue* movie);
QV_C_EXPORT void QvMovieSetTemporalQuality(QvValue* movie, double quality);
QV_C_EXPORT void QvMovieAppendMovie(QvValue* movie, QvValue* other);
QV_C_EXPORT void QvMoviePrependMovie(QvValue* movie, QvValue* other);
QV_C_EXPORT void QvMovieInsertMovie(QvValue* movie, QvValue* other, long index);
// Frame `index` as a new frame value.
QV_C_EXPORT QvValue* QvMovieGetFrame(QvValue* movie, long index);
// The media layer's movie, owned by the value (every edit is already applied).
QV_C_EXPORT QvMediaMovie* QvMovieGetQTMovie(QvValue* movie);
