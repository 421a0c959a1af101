#include "Images/QvPictureApi.h"

#include "Errors/QvErrors.h"
#include "Errors/QvSystemErrors.h"
#include "Images/Qv2DValue.h"
#include "Images/QvPictureArithmetic.h"
#include "Images/QvPictureConversion.h"
#include "QvGWorld/QvGWorld.h"

namespace {

Qv2DValue& pictureOf(QvValue* value) {
    Qv2DValue* picture = QvAsPicture(value);
    if (!picture) QvError("The value is not a picture of the expected type.");
    return *picture;
}

Qv2DValue& pictureOf(QvValue* value, QvTypeEnum type) {
    Qv2DValue& picture = pictureOf(value);
    if (picture.GetType() != type) QvError("The value is not a picture of the expected type.");
    return picture;
}

void checkPosition(const Qv2DValue& picture, long x, long y) {
    QvCheckIndexRange(x, 0, long(picture.GetWidth()) - 1);
    QvCheckIndexRange(y, 0, long(picture.GetHeight()) - 1);
}

QvValue* newPicture(QvTypeEnum type, long width, long height) {
    return QvNewPicture(type, QvPixelStorage::checkedSide(double(width)), QvPixelStorage::checkedSide(double(height)));
}

QvValue* frameFromGWorld(QvGWorld* world, QvTypeEnum type) {
    if (!world) QvError("Invalid gworld.");
    if (world->pixelFormat() != QvGWorld::kFormatARGB) QvError("Unknown Pixel Format");
    QvGWorldLockScope lock(*world);
    return QvNewPicture(type, QvPictureConversion::fromARGB(world->buffer(), QvPixelClassOf(type)));
}

void* frameLine(QvValue* frame, long y) {
    Qv2DValue& picture = pictureOf(frame);
    if (QvIsFloat(picture.pixelClass())) QvError("The value is not a picture of the expected type.");
    QvCheckIndexRange(y, 0, long(picture.GetHeight()) - 1);
    return picture.pixels().rowBytesAt(int32_t(y));
}

QvValue* withNumber(QvValue* image, double number, QvPixelOperator op) {
    Qv2DValue& picture = pictureOf(image);
    Qv2DValue* result = picture.TypeConstruct(picture.GetWidth(), picture.GetHeight());
    QvPictureArithmetic::withConstant(op, picture.pixels(), {number, number, number}, result->pixels());
    return result;
}

}  // namespace

QvValue* QvImageTypeConstruct(QvValue* image, long width, long height) {
    return pictureOf(image).TypeConstruct(QvPixelStorage::checkedSide(double(width)),
                                          QvPixelStorage::checkedSide(double(height)));
}
QvGWorld* QvImageCreateGWorld(QvValue* image) { return pictureOf(image).CreateGWorld(); }
QvValue* QvImageSumElements(QvValue* image) { return pictureOf(image).SumElements(); }
QvValue* QvImageConvolute(QvValue* image, QvValue* kernel) { return pictureOf(image).Convolute(kernel); }
QvValue* QvImageMedianFilter(QvValue* image, QvValue* mask, double rank) {
    return pictureOf(image).MedianFilter(mask, rank);
}
QvValue* QvImageGetAlpha(QvValue* image) { return pictureOf(image).GetAlpha(); }
QvValue* QvImageSetAlpha(QvValue* image, QvValue* mask) { return pictureOf(image).SetAlpha(mask); }
QvValue* QvImageInterlace(QvValue* image, QvValue* other) { return pictureOf(image).Interlace(other); }
QvValue* QvImageDeInterlaceEven(QvValue* image) { return pictureOf(image).DeInterlaceEven(); }
QvValue* QvImageDeInterlaceOdd(QvValue* image) { return pictureOf(image).DeInterlaceOdd(); }
QvValue* QvImageBinaryMin(QvValue* image, QvValue* other) { return pictureOf(image).BinaryMin(other); }
QvValue* QvImageBinaryMax(QvValue* image, QvValue* other) { return pictureOf(image).BinaryMax(other); }
double QvImageGetPixelLuminance(QvValue* image, long x, long y) { return pictureOf(image).GetPixelLuminance(x, y); }
long QvImageGetWidth(QvValue* image) { return pictureOf(image).GetWidth(); }
long QvImageGetHeight(QvValue* image) { return pictureOf(image).GetHeight(); }
double QvImageGetQuality(QvValue* image) { return pictureOf(image).quality(); }
void QvImageMultiplyPixelByNumber(QvValue* image, long x, long y, double factor) {
    pictureOf(image).MultiplyPixelByNumber(x, y, factor);
}
QvValue* QvImageTransformAffine(QvValue* image, double a, double b, double c, double d, QvValue* background) {
    QvColor fill = background ? background->AsColor() : QvColor{};
    return pictureOf(image).TransformAffine(a, b, c, d, fill);
}
QvValue* QvImageMultiplyByNumber(QvValue* image, double number) {
    return withNumber(image, number, QvPixelOperator::multiply);
}
QvValue* QvImageDivideByNumber(QvValue* image, double number) {
    return withNumber(image, number, QvPixelOperator::divide);
}

QvValue* QvFrameMonoCreate(long width, long height) { return newPicture(QV_FRAME_MONO, width, height); }
QvValue* QvFrameColorCreate(long width, long height) { return newPicture(QV_FRAME, width, height); }
QvValue* QvImageMonoCreate(long width, long height) { return newPicture(QV_IMAGE_MONO, width, height); }
QvValue* QvImageColorCreate(long width, long height) { return newPicture(QV_IMAGE, width, height); }
QvValue* QvFrameMonoCreateFromGWorld(QvGWorld* world) { return frameFromGWorld(world, QV_FRAME_MONO); }
QvValue* QvFrameColorCreateFromGWorld(QvGWorld* world) { return frameFromGWorld(world, QV_FRAME); }
void* QvFrameMonoGetLine(QvValue* frame, long y) { return frameLine(frame, y); }
void* QvFrameColorGetLine(QvValue* frame, long y) { return frameLine(frame, y); }

void QvFrameColorSetPixelARGB(QvValue* frame, long x, long y, uint32_t argb) {
    Qv2DValue& picture = pictureOf(frame, QV_FRAME);
    checkPosition(picture, x, y);
    picture.pixels().row<uint32_t>(int32_t(y))[x] = argb;
}

void QvImageMonoSetPixel(QvValue* image, long x, long y, float grey) {
    Qv2DValue& picture = pictureOf(image, QV_IMAGE_MONO);
    checkPosition(picture, x, y);
    picture.pixels().row<fgPix>(int32_t(y))[x].grey = grey;
}
