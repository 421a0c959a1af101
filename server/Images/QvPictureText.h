#pragma once
#include <string>

#include "Images/QvPixelStorage.h"

// Draws the text into the picture in DejaVu Sans at 14 pixels, anti-aliased and
// blended toward white (alpha unchanged), left-aligned in the box 20 pixels in from
// each edge: the first baseline at 20 + the font's ascender, words wrapped at spaces,
// "\n", "\r" and "\r\n" breaking lines, everything clipped to the box. Raises "Could not
// load the font for drawing text." when the font cannot be had.
void QvDrawTextIntoPicture(QvPixelStorage& picture, const std::string& text);
