#pragma once
// The picture functions of the plug-in interface. Pictures are passed as values;
// a value that is not a picture (or not of the class a function needs) raises "The
// value is not a picture of the expected type.". Functions returning QvValue* return
// new values; pixel and row positions are range-checked.
#include <cstdint>

#include "QvExport.h"

class QvValue;
class QvGWorld;

QV_C_EXPORT QvValue* QvImageTypeConstruct(QvValue* image, long width, long height);
QV_C_EXPORT QvGWorld* QvImageCreateGWorld(QvValue* image);
QV_C_EXPORT QvValue* QvImageSumElements(QvValue* image);
QV_C_EXPORT QvValue* QvImageConvolute(QvValue* image, QvValue* kernel);
QV_C_EXPORT QvValue* QvImageMedianFilter(QvValue* image, QvValue* mask, double rank);
QV_C_EXPORT QvValue* QvImageGetAlpha(QvValue* image);
QV_C_EXPORT QvValue* QvImageSetAlpha(QvValue* image, QvValue* mask);
QV_C_EXPORT QvValue* QvImageInterlace(QvValue* image, QvValue* other);
QV_C_EXPORT QvValue* QvImageDeInterlaceEven(QvValue* image);
QV_C_EXPORT QvValue* QvImageDeInterlaceOdd(QvValue* image);
QV_C_EXPORT QvValue* QvImageBinaryMin(QvValue* image, QvValue* other);
QV_C_EXPORT QvValue* QvImageBinaryMax(QvValue* image, QvValue* other);
QV_C_EXPORT double QvImageGetPixelLuminance(QvValue* image, long x, long y);
QV_C_EXPORT long QvImageGetWidth(QvValue* image);
QV_C_EXPORT long QvImageGetHeight(QvValue* image);
QV_C_EXPORT double QvImageGetQuality(QvValue* image);
// Multiplies the pixel at (x, y) in place, by the rules of multiplication.
QV_C_EXPORT void QvImageMultiplyPixelByNumber(QvValue* image, long x, long y, double factor);
QV_C_EXPORT QvValue* QvImageTransformAffine(QvValue* image, double a, double b, double c, double d,
                                            QvValue* background);
// image * number and image / number, as the operators compute them.
QV_C_EXPORT QvValue* QvImageMultiplyByNumber(QvValue* image, double number);
QV_C_EXPORT QvValue* QvImageDivideByNumber(QvValue* image, double number);

QV_C_EXPORT QvValue* QvFrameMonoCreate(long width, long height);
QV_C_EXPORT QvValue* QvFrameColorCreate(long width, long height);
QV_C_EXPORT QvValue* QvImageMonoCreate(long width, long height);
QV_C_EXPORT QvValue* QvImageColorCreate(long width, long height);
// A frame holding the gworld's pixels (32-bit ARGB; others raise "Unknown Pixel Format").
QV_C_EXPORT QvValue* QvFrameMonoCreateFromGWorld(QvGWorld* world);
QV_C_EXPORT QvValue* QvFrameColorCreateFromGWorld(QvGWorld* world);
// The first pixel of row y of a frame (either class).
QV_C_EXPORT void* QvFrameMonoGetLine(QvValue* frame, long y);
QV_C_EXPORT void* QvFrameColorGetLine(QvValue* frame, long y);
QV_C_EXPORT void QvFrameColorSetPixelARGB(QvValue* frame, long x, long y, uint32_t argb);
QV_C_EXPORT void QvImageMonoSetPixel(QvValue* image, long x, long y, float grey);
