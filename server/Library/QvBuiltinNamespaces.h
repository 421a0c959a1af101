#pragma once
#include <string>
#include <vector>

#include "Images/Qv2DValue.h"
#include "Plugins/QvPluginInterface.h"

// The built-in functions, by namespace. Each has the form of a plug-in function; the
// table in QvBuiltinRegistration.cpp gives their signatures.
#define QV_BUILTIN(name) QvValue* name(QvPluginErrorBlock* error, QvParameterBlock* parameters)

namespace QvFunctionNamespace {
QV_BUILTIN(GetNameSpaces);
QV_BUILTIN(GetAllFunctions);
QV_BUILTIN(GetNamespaceFunctions);
QV_BUILTIN(GetAllSignatures);
QV_BUILTIN(GetInternalSignatures);
QV_BUILTIN(GetNamespaceSignatures);
QV_BUILTIN(GetFunctionSignatures);
}

namespace QvFrameNamespace {
QV_BUILTIN(Grab);
QV_BUILTIN(DeInterlaceOdd);
QV_BUILTIN(DeInterlaceEven);
QV_BUILTIN(Interlace);
QV_BUILTIN(GetAlpha);
QV_BUILTIN(SetAlpha);
}

namespace QvMathNamespace {
QV_BUILTIN(SumOfPicture);
QV_BUILTIN(SumOfVector);
QV_BUILTIN(DifferenceOfVectors);
QV_BUILTIN(DifferenceOfPictures);
QV_BUILTIN(SmallestElement);
QV_BUILTIN(LargestElement);
// {x, y, luminance} of the darkest (brightest) pixel, moved by an origin.
QV_BUILTIN(DarkestPixel);
QV_BUILTIN(BrightestPixel);
// The lesser or greater of two numbers, or pixel by pixel of two pictures, of one type.
QV_BUILTIN(Lesser);
QV_BUILTIN(Greater);
// The value's own average and standard deviation.
QV_BUILTIN(Average);
QV_BUILTIN(StdDev);
QV_BUILTIN(Random);
QV_BUILTIN(RandomSeed);
}

namespace QvFileNamespace {
QV_BUILTIN(DirectoryList);
QV_BUILTIN(Size);
QV_BUILTIN(CreateDirectory);
QV_BUILTIN(Copy);
QV_BUILTIN(Delete);
}

namespace QvFilterNamespace {
QV_BUILTIN(Replace);
QV_BUILTIN(Normalize);
QV_BUILTIN(NormalizeInPlace);
}

namespace QvFindNamespace {
QV_BUILTIN(CorrelateVector);
QV_BUILTIN(CorrelatePictures);
QV_BUILTIN(MapPictures);
QV_BUILTIN(Region);
}

namespace QvTestHarnessNamespace {
QV_BUILTIN(Clear);
QV_BUILTIN(Begin);
QV_BUILTIN(End);
QV_BUILTIN(Require);
QV_BUILTIN(Logging);
QV_BUILTIN(LogNames);
QV_BUILTIN(IsDebug);
}

namespace QvDrawNamespace {
QV_BUILTIN(Circle);
QV_BUILTIN(Rectangle);
QV_BUILTIN(Line);
}

namespace QvFractalNamespace {
QV_BUILTIN(Mandelbrot);
QV_BUILTIN(Julia);
QV_BUILTIN(MandelbrotPoint);
}

namespace QvSystemNamespace {
QV_BUILTIN(Processor);
QV_BUILTIN(QuarvelVersion);
QV_BUILTIN(OS);
}

namespace QvClientNamespace {
QV_BUILTIN(SetWindowPosition);
}

#undef QV_BUILTIN

// Results in the shape the signatures declare.
QvValue* QvBuiltinTextList(const std::vector<std::string>& items);
// Reports `message` through the error block; the call then fails with it.
QvValue* QvBuiltinFailure(QvPluginErrorBlock* error, const char* message);

// The picture argument of that name (the signature admits nothing else).
Qv2DValue& QvBuiltinPicture(QvParameterBlock* parameters, const char* name);
// The caller's picture behind a by-reference parameter, unshared for changing in place.
Qv2DValue& QvBuiltinPictureForWrite(QvParameterBlock* parameters, const char* name);
