#pragma once
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

    void makeEmpty() {
        referee = nullptr;
        value.reset();
        kind = Empty;
    }
};
