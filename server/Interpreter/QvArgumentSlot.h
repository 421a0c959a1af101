#pragma once
#include "Values/QvValue.h"

class QvValueContainer;

// What a variable, a call argument or a parameter-block entry holds: nothing, a
// reference to a variable's container, or a value.
struct QvArgumentSlot {
    enum Kind { Empty = 0, Reference = 1, Value = 2 };

    QvValueContainer* referee = nullptr;
    QvValueRef value;
    Kind kind = Empty;

    void makeEmpty() {
        referee = nullptr;
        value.reset();
        kind = Empty;
    }
};
