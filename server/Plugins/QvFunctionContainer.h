#pragma once
#include "QvExport.h"
#include "Values/QvValue.h"

class QvParameterBlock;

// What a signature calls: a plug-in's function or the body of a script function.
class QV_EXPORT QvFunctionContainer {
public:
    virtual ~QvFunctionContainer() = default;
    // The function's result; an empty handle when it gave none.
    virtual QvValueRef invoke(QvParameterBlock& parameters) = 0;
};
