#include "Errors/QvException.h"

#include "Library/QvBuiltinNamespaces.h"

// Lists and vectors are not part of this version of the value model yet; these are the
// two places that build them once they are.
QvValue* QvBuiltinTextList(const std::vector<std::string>&) {
    throw new QvException("Values of type list are not available in this version.");
}

QvValue* QvBuiltinNumberVector(const std::vector<double>&) {
    throw new QvException("Values of type vector are not available in this version.");
}
