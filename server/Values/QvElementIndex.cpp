#include "Values/QvElementIndex.h"

#include <cmath>
#include <limits>

#include "Errors/QvExceptions.h"
#include "Values/QvValue.h"

int64_t QvTruncatedIndex(QvValue* index) {
    if (!index)
        throw new QvTypeException("number");
    return QvTruncatedIndex(index->AsNumber());
}

int64_t QvTruncatedIndex(double index) {
    double position = std::trunc(index);
    if (!(position < 9.2e18))
        return std::numeric_limits<int64_t>::max();
    if (position < -9.2e18)
        return std::numeric_limits<int64_t>::min();
    return int64_t(position);
}
