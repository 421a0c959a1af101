// Frame: a picture grabbed from the camera, the fields of interlaced pictures and the
// alpha channel of colour pictures.
#include <cmath>
#include <memory>

#include "Errors/QvExceptions.h"
#include "Errors/QvYieldScope.h"
#include "Library/QvBuiltinNamespaces.h"
#include "Media/QvCaptureDevice.h"
#include "QvGWorld/QvGWorld.h"

namespace {
// Statuses a grab reports: a bad size, no memory, no camera (or one that does not work).
constexpr long kBadParameter = -50;
constexpr long kOutOfMemory = -108;
constexpr long kSourceNotAvailable = -9405;

QvValue* grabFailure(QvPluginErrorBlock* error, long status, const char* step) {
    QvPluginErrorBlockSetNumber(error, status);
    QvPluginErrorBlockSetMessage(error, step);
    return nullptr;
}

bool grabbableSide(double side) { return side >= 1 && side <= QvGWorld::kMaxSide; }

bool sameSize(const Qv2DValue& a, const Qv2DValue& b) {
    return a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight();
}
}

namespace QvFrameNamespace {
// One picture from the camera (the virtual test camera where the machine has none),
// in steps named as the capture steps that report a failure; a stop request is no
// failure of a step and ends the run as usual.
QvValue* Grab(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    double width = std::trunc(QvParameterBlockGetNumberValue(parameters, "width"));
    double height = std::trunc(QvParameterBlockGetNumberValue(parameters, "height"));
    const char* step = "SGInitialize";
    try {
        bool available = QvCaptureDevice::available();
        step = "SGNewChannel";
        if (!available) return grabFailure(error, kSourceNotAvailable, step);
        step = "SGSetGWorld(mSGComponent,";
        if (!grabbableSide(width) || !grabbableSide(height)) return grabFailure(error, kBadParameter, step);
        qv_auto_value<QvGWorld> world = new QvGWorld(int(width), int(height));
        step = "SGStartPreview";
        QvCaptureDevice camera("", int(width), int(height), QvCaptureSettings::processWide().frameRate);
        step = "SGGrabPict";
        camera.grab(world->buffer());
        return QvFrameFromGWorld(world.get());
    } catch (QvException* raised) {
        if (QvStopRequested() || dynamic_cast<QvInterruptException*>(raised)) throw;
        bool memory = dynamic_cast<QvMemoryException*>(raised) != nullptr;
        delete raised;
        return grabFailure(error, memory ? kOutOfMemory : kSourceNotAvailable, step);
    }
}

QvValue* DeInterlaceOdd(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    return QvBuiltinPicture(parameters, "source").DeInterlaceOdd();
}

QvValue* DeInterlaceEven(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    return QvBuiltinPicture(parameters, "source").DeInterlaceEven();
}

QvValue* Interlace(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    Qv2DValue& even = QvBuiltinPicture(parameters, "even");
    Qv2DValue& odd = QvBuiltinPicture(parameters, "odd");
    if (even.GetType() != odd.GetType())
        return QvBuiltinFailure(error, "Parameters must be the same type for interlacing.)");
    if (!sameSize(even, odd)) return QvBuiltinFailure(error, "Frames must be same size.");
    return even.Interlace(&odd);
}

QvValue* GetAlpha(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    return QvBuiltinPicture(parameters, "source").GetAlpha();
}

QvValue* SetAlpha(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    Qv2DValue& source = QvBuiltinPicture(parameters, "source");
    Qv2DValue& alpha = QvBuiltinPicture(parameters, "alpha");
    if (!sameSize(source, alpha)) return QvBuiltinFailure(error, "Frames must be same size.");
    return source.SetAlpha(&alpha);
}
}
