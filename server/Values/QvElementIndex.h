#pragma once
#include <cstdint>
#include <limits>

#include "QvExport.h"

class QvValue;

// An index argument of the element operations of vectors and lists: the value's
// number truncated towards zero. Values beyond the 64-bit range, and NaN, come back
// as the largest index, so that they are reported as out of range.
QV_EXPORT int64_t QvTruncatedIndex(QvValue* index);
// The same for an index already known as a number. The conversion truncates towards
// zero by itself (a call of trunc costs more than the rest of an element read); only
// values outside the range, and NaN, need care.
inline int64_t QvTruncatedIndex(double index) {
    if (index >= -9.2e18 && index < 9.2e18)
        return int64_t(index);
    return index < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}
