#include "Values/QvElementIndex.h"

#include "Errors/QvExceptions.h"
#include "Values/QvValue.h"

int64_t QvTruncatedIndex(QvValue* index) {
    if (!index)
        throw new QvTypeException("number");
    return QvTruncatedIndex(index->AsNumber());
}
