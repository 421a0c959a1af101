#pragma once
#include "MediaModule/QvFFmpegHandles.h"

// A decoder for a stream, bounded in the picture size it accepts. `threaded` lets it
// use every core (frames in flight add to the latency of the first picture). Fails with
// QV_MEDIA_FAILED ("Invalid Media Error") when the stream cannot be decoded here.
QvCodecContextHandle QvOpenDecoder(const AVCodecParameters& parameters, AVRational timeBase, bool threaded);
