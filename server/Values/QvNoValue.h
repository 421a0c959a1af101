#pragma once
#include "QvExport.h"
#include "Values/QvBlockPool.h"
#include "Values/QvValue.h"

// The undefined value: what a function without a result yields and what a variable
// holds before it is set (so made by the million, like numbers). Every operation fails
// naming the type "undefined".
class QV_EXPORT QvNoValue : public QvValue, public QvPooled<QvNoValue> {
public:
    QvValue* Clone() const override;
    QvTypeEnum GetType() const override;
};

QV_C_EXPORT QvValue* QvNoValueCreate();
