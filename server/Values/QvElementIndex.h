#pragma once
#include <cstdint>

#include "QvExport.h"

class QvValue;

// An index argument of the element operations of vectors and lists: the value's
// number truncated towards zero. Values beyond the 64-bit range, and NaN, come back
// as the largest index, so that they are reported as out of range.
QV_EXPORT int64_t QvTruncatedIndex(QvValue* index);
// The same for an index already known as a number.
QV_EXPORT int64_t QvTruncatedIndex(double index);
