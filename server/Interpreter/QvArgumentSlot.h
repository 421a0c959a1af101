#pragma once
#include "Values/QvNumberValue.h"
#include "Values/QvValue.h"

class QvValueContainer;

// What a variable, a call argument or a parameter-block entry holds: nothing, a
// reference to a variable's container, or a value. An argument of a script function's
// call may also be a plain number, which its parameter takes without a value being made.
struct QvArgumentSlot {
    enum Kind { Empty = 0, Reference = 1, Value = 2, Number = 3 };

    QvValueContainer* referee = nullptr;
    QvValueRef value;
    Kind kind = Empty;
    double number = 0;

    // What the slot holds as a value: a plain number becomes one; a reference or nothing
    // gives an empty handle. The slot gives its value up.
    QvValueRef takeValue() {
        if (kind == Number) return new QvNumberValue(number);
        return std::move(value);
    }
    // The number of a slot holding a plain number or a number value.
    bool holdsNumber(double& result) const {
        if (kind == Number) {
            result = number;
            return true;
        }
        if (kind != Value || !QvNumberValue::isNumber(value.get())) return false;
        result = QvNumberValue::numberIn(value.get());
        return true;
    }

    void makeEmpty() {
        referee = nullptr;
        value.reset();
        kind = Empty;
    }
};
