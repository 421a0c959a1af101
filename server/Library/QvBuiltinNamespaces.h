#pragma once
#include <string>
#include <vector>

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

namespace QvMathNamespace {
QV_BUILTIN(SumOfVector);
QV_BUILTIN(DifferenceOfVectors);
QV_BUILTIN(SmallestElement);
QV_BUILTIN(LargestElement);
// The lesser or greater of two values of one type.
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

namespace QvFindNamespace {
QV_BUILTIN(CorrelateVector);
QV_BUILTIN(CorrelatePictures);
QV_BUILTIN(MapPictures);
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
