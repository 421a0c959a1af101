#pragma once
#include "QvExport.h"
#include "Values/QvValue.h"

// Control-flow signals of the interpreter; they are not errors.

// Thrown as a heap pointer by `break`; the enclosing loop, function or programme
// catches and deletes it.
class QV_EXPORT QvBreakException {};

// Thrown by value by `return`, carrying the returned value.
class QV_EXPORT QvReturnValue {
public:
    explicit QvReturnValue(QvValueRef value) : value_(std::move(value)) {}
    const QvValueRef& value() const { return value_; }
    QvValueRef& value() { return value_; }

private:
    QvValueRef value_;
};
