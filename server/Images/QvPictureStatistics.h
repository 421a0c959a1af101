#pragma once
#include <cstdint>

#include "Images/QvPixelStorage.h"
#include "Values/QvColor.h"

// Sums, averages, deviations and extremes of pictures, on the 0-1 scale. Byte
// pictures sum exactly in 64-bit integers, float pictures in double in row order, so
// every result is the same on every machine.
namespace QvPictureStatistics {

// Red, green and blue sums; grey pictures give their sum in all three.
QvColor sum(const QvPixelStorage& picture);
// The sums over the pixel count; an empty picture gives 1e10 in every component.
QvColor average(const QvPixelStorage& picture);
// The root of the mean squared difference from the average (0 for an empty picture).
QvColor deviation(const QvPixelStorage& picture);

struct Extreme {
    int32_t x = 0;
    int32_t y = 0;
    QvColor color;  // the pixel's colour (grey replicated)
    float luminance = 0;
};
// The first pixel in row order of largest (smallest) luminance; frames compare the
// exact integer 30 R + 59 G + 11 B. An empty picture gives black at (0, 0).
Extreme largest(const QvPixelStorage& picture);
Extreme smallest(const QvPixelStorage& picture);
// The luminance of pixel (x, y), which lies inside the picture.
float luminanceAt(const QvPixelStorage& picture, int32_t x, int32_t y);

// The mean over the overlap of the luminance-weighted absolute differences above the
// threshold (the two pictures are of one class).
double difference(const QvPixelStorage& a, const QvPixelStorage& b, double threshold);

}  // namespace QvPictureStatistics
