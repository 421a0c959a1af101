#include "Values/QvElementIndex.h"

#include <limits>

#include "Errors/QvExceptions.h"
#include "Values/QvValue.h"

int64_t QvTruncatedIndex(QvValue* index) {
    if (!index)
        throw new QvTypeException("number");
    return QvTruncatedIndex(index->AsNumber());
}

// The conversion truncates towards zero by itself (a call of trunc costs more than the
// rest of an element read); only values outside the range, and NaN, need care.
int64_t QvTruncatedIndex(double index) {
    if (index >= -9.2e18 && index < 9.2e18)
        return int64_t(index);
    return index < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}
