#include "Errors/QvExceptions.h"

namespace {
// Messages are composed while an error is being raised, so a code without a name
// must not raise a second error here.
const char* nameOf(QvTypeEnum type) {
    const char* name = QvTypeNameOrNull(type);
    return name ? name : "unknown";
}
}  // namespace

QvTypeException::QvTypeException(const char* expectedTypeName) {
    stream() << "Type mismatch error, expecting (" << expectedTypeName << ")";
}

QvOperatorException::QvOperatorException(const char* op) {
    stream() << "Operator (" << op << ") used with incompatible types";
}

QvOperatorException::QvOperatorException(QvTypeEnum left, const char* op, QvTypeEnum right) {
    stream() << "Can't execute \"" << nameOf(left) << " " << op << " " << nameOf(right) << "\" : incompatible types.";
}

QvOperatorException::QvOperatorException(const char* op, QvTypeEnum left, QvTypeEnum right) {
    stream() << "Can't execute \"" << op << " " << nameOf(left) << " " << nameOf(right) << "\" : incompatible types.";
}

QvOperatorException::QvOperatorException(const char* op, QvTypeEnum operand) {
    stream() << "Can't execute \"" << op << "(" << nameOf(operand) << ")\" : incompatible type.";
}

QvOperatorException::QvOperatorException(QvTypeEnum operand, const char* op) {
    stream() << "Can't execute \"" << nameOf(operand) << " " << op << "\" : incompatible type.";
}

QvInvalidPropertyException::QvInvalidPropertyException() : QvException("Invalid Property Requested") {}

QvIdentifierException::QvIdentifierException(const char* identifier) {
    stream() << "Invalid identifier (" << identifier << ")";
}

QvMemoryException::QvMemoryException(const char* detail) { stream() << "Out of Memory (" << detail << ")"; }

QvFileException::QvFileException(const char* detail) { stream() << "File error(" << detail << ")"; }

QvInterruptException::QvInterruptException() : QvException("Interrupted") {}

QvCoercionException::QvCoercionException(QvTypeEnum source, QvTypeEnum target, const char* extra) {
    stream() << "Coercion from (" << nameOf(source) << ") to (" << nameOf(target) << ") ";
    if (extra)
        stream() << extra;
}
