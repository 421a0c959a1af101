#pragma once
#include <vector>

#include "QvExport.h"
#include "Values/QvValue.h"

// The value of a list literal {a, b, ...} from its evaluated elements: numbers alone
// make a vector (so does an empty literal), vectors alone a mono image with one row
// per vector, anything else a list of the elements.
QV_EXPORT QvValueRef QvMakeListLiteral(std::vector<QvValueRef>&& elements);
