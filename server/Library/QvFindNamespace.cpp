// Find on vectors: where a shorter vector, or a single number, fits best in a vector.
#include "Library/QvBuiltinNamespaces.h"
#include "Values/QvVectorValue.h"

namespace QvFindNamespace {
// {start, mean squared difference} of the best fit; an empty match fits at once.
QvValue* CorrelateVector(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    QvValue* source = QvParameterBlockGetValue(parameters, "source");
    QvValue* match = QvParameterBlockGetValue(parameters, "match");
    if (source->GetType() != QV_VECTOR)
        return QvBuiltinFailure(error, source->GetType() == match->GetType() ? "Unsupported type in Find()"
                                                                              : "Both parameters must have the same type.");
    size_t sourceLength = source->AsVector().size();
    size_t matchLength = match->GetType() == QV_VECTOR ? match->AsVector().size() : 1;
    if (sourceLength == 0 || matchLength > sourceLength)
        return QvBuiltinFailure(error, "The match does not fit in the source vector.");
    if (matchLength == 0) return new QvVectorValue({0, 0});
    return static_cast<QvVectorValue*>(source)->Find(match, 0, sourceLength - matchLength);
}
}
