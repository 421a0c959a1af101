#pragma once
#include "QvExport.h"
#include "Values/QvValue.h"

// The four binary operators between values. In expression mode the result handle
// receives a value of the result type (reused when it can hold the result, otherwise
// freshly built); addition and multiplication try the swapped operands when only
// that order is defined. In place mode (the add ... to family) the result handle is
// the target's own value: it must already be of the result type, and is cloned first
// when shared, so that no other holder sees the change.
class QV_EXPORT QvArithmetic {
public:
    static void Add(QvValueRef& result, QvValueRef& left, QvValueRef& right, bool inPlace);
    static void Subtract(QvValueRef& result, QvValueRef& left, QvValueRef& right, bool inPlace);
    static void Multiply(QvValueRef& result, QvValueRef& left, QvValueRef& right, bool inPlace);
    static void Divide(QvValueRef& result, QvValueRef& left, QvValueRef& right, bool inPlace);
};
