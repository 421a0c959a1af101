#pragma once
// The process-wide media settings that hosts keep for their users as opaque blobs (the
// IDE in its profile) and hand back at start-up: the compression settings new movies
// start from, the capture settings cameras are opened with, and the output settings
// video outputs are opened with. Set returns 1 when it
// takes the blob and 0 when it refuses it (a blob of another kind, version or length),
// leaving the settings as they were. Get copies the blob into `bytes` when `capacity`
// allows and returns its size either way.
#include <cstddef>
#include <cstdint>

#include "Media/QvMovieSettings.h"
#include "QvExport.h"

QV_C_EXPORT int QvMovieSetPreferences(const uint8_t* bytes, size_t size);
QV_C_EXPORT size_t QvMovieGetPreferences(uint8_t* bytes, size_t capacity);
QV_C_EXPORT int QvVideoSourceSetPreferences(const uint8_t* bytes, size_t size);
QV_C_EXPORT size_t QvVideoSourceGetPreferences(uint8_t* bytes, size_t capacity);
QV_C_EXPORT int QvVideoOutputSetPreferences(const uint8_t* bytes, size_t size);
QV_C_EXPORT size_t QvVideoOutputGetPreferences(uint8_t* bytes, size_t capacity);

// The compression settings a new movie starts from: the defaults until a host hands
// over its own. Safe to call from any thread.
QvMovieSettings QvPreferredMovieSettings();
