#pragma once
#include <memory>

#include "Media/QvMovieSettings.h"
#include "QvGWorld/QvPixelBuffer.h"

// A still picture laid over a stretch of a movie's frames with a graphics mode. The
// picture is kept as its compressor gave it back; it is drawn at its place's size.
struct QvMovieOverlay {
    std::shared_ptr<QvPixelBuffer> picture;
    int width;
    int height;
    QvGraphicsMode mode;
};

// Lays the top-left width x height of `layer` over `below` (both at least that size):
// "copy" and "dither copy" put the layer's colours in place, "straight alpha" mixes by
// the layer's alpha, "premul white alpha" by an alpha its colours were multiplied with
// against white. The frames below count as opaque, and so does the result.
void QvComposite(QvPixelBuffer& below, QvPixelBuffer& layer, int width, int height, QvGraphicsMode mode);
