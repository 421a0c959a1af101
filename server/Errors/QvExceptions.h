#pragma once
#include "Errors/QvException.h"
#include "Values/QvType.h"

// The run-time error family. Each class only composes its message.

class QV_EXPORT QvTypeException : public QvException {
public:
    explicit QvTypeException(const char* expectedTypeName);
};

class QV_EXPORT QvOperatorException : public QvException {
public:
    explicit QvOperatorException(const char* op);
    QvOperatorException(QvTypeEnum left, const char* op, QvTypeEnum right);
    QvOperatorException(const char* op, QvTypeEnum left, QvTypeEnum right);
    QvOperatorException(const char* op, QvTypeEnum operand);
    QvOperatorException(QvTypeEnum operand, const char* op);
};

class QV_EXPORT QvInvalidPropertyException : public QvException {
public:
    QvInvalidPropertyException();
};

class QV_EXPORT QvIdentifierException : public QvException {
public:
    explicit QvIdentifierException(const char* identifier);
};

class QV_EXPORT QvMemoryException : public QvException {
public:
    explicit QvMemoryException(const char* detail);
};

class QV_EXPORT QvFileException : public QvException {
public:
    explicit QvFileException(const char* detail);
};

class QV_EXPORT QvInterruptException : public QvException {
public:
    QvInterruptException();
};

class QV_EXPORT QvCoercionException : public QvException {
public:
    QvCoercionException(QvTypeEnum source, QvTypeEnum target, const char* extra = nullptr);
};
