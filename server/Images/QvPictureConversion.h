#pragma once
#include "Images/QvPixelStorage.h"

class QvPixelBuffer;

// Whole pictures converted between pixel classes and to and from 32-bit ARGB.
namespace QvPictureConversion {

QvPixelStorage convert(const QvPixelStorage& source, QvPixelClass target);
// Writes the picture into the locked buffer's top-left corner (the sizes must fit).
void toARGB(const QvPixelStorage& source, QvPixelBuffer& target);
// A picture of the class holding the buffer's pixels.
QvPixelStorage fromARGB(QvPixelBuffer& source, QvPixelClass target);
// Copies `source` (any class) into `target` at (x, y), clipped to the target.
void paste(const QvPixelStorage& source, QvPixelStorage& target, int64_t x, int64_t y);

}  // namespace QvPictureConversion
