#include "Values/QvArithmetic.h"

#include <utility>

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"
#include "Values/QvTypeTables.h"
#include "Values/QvValueKinds.h"

namespace {

struct Operator {
    QvArithmeticOp op;
    const char* symbol;
    const char* inPlaceName;
    const char* lossMessage;
    bool commutative;
    void (QvValue::*apply)(QvValueRef& result, QvValueRef& other);
};

const Operator addition{QvArithmeticOp::Add, "+", "add", "Type mismatch in addition - information would be lost",
                        true, &QvValue::Add};
const Operator subtraction{QvArithmeticOp::Subtract, "-", "surgical -",
                           "Type mismatch in subtract - information would be lost", false, &QvValue::Subtract};
const Operator multiplication{QvArithmeticOp::Multiply, "*", "*",
                              "Type mismatch in multiply - information would be lost", true, &QvValue::Multiply};
const Operator division{QvArithmeticOp::Divide, "/", "surgical /", "Type mismatch in divide - information would be lost",
                        false, &QvValue::Divide};

void requireOperands(const QvValueRef& left, const QvValueRef& right) {
    if (!left || !right)
        QvError("Operation attempted on NULL value. Function may not have returned a result.");
}

void applyInPlace(const Operator& op, QvValueRef& result, QvValueRef& left, QvValueRef& right) {
    QvTypeEnum leftType = left->GetType();
    QvTypeEnum rightType = right->GetType();
    QvTypeEnum resultType = QvArithmeticResultType(op.op, leftType, rightType);
    if (leftType != resultType)
        throw new QvOperatorException(op.inPlaceName, leftType, rightType);
    if (resultType == QV_UNDEFINED)
        throw new QvOperatorException(leftType, op.symbol, rightType);
    if (!result || !result->CanHoldResult(resultType, left.get()))
        QvError(op.lossMessage);
    result.makeUnique();
    (left.get()->*op.apply)(result, right);
}

void applyExpression(const Operator& op, QvValueRef& result, QvValueRef& left, QvValueRef& right) {
    // The result handle may be one of the operands' own handles; keep those operands
    // alive and unchanged while the result is replaced.
    QvValueRef pinnedLeft, pinnedRight;
    QvValueRef* first = &left;
    QvValueRef* second = &right;
    if (&result == first)
        first = &(pinnedLeft = left);
    if (&result == second)
        second = &(pinnedRight = right);

    QvTypeEnum resultType = QvArithmeticResultType(op.op, (*first)->GetType(), (*second)->GetType());
    if (resultType == QV_UNDEFINED) {
        QvTypeEnum swapped =
            op.commutative ? QvArithmeticResultType(op.op, (*second)->GetType(), (*first)->GetType()) : QV_UNDEFINED;
        if (swapped == QV_UNDEFINED)
            throw new QvOperatorException(left->GetType(), op.symbol, right->GetType());
        std::swap(first, second);
        resultType = swapped;
    }
    if (!result || !result->CanHoldResult(resultType, first->get()))
        result = QvValueKinds::shallowConstruct(resultType, first->get());
    else
        result.makeUnique();
    (first->get()->*op.apply)(result, *second);
}

void dispatch(const Operator& op, QvValueRef& result, QvValueRef& left, QvValueRef& right, bool inPlace) {
    requireOperands(left, right);
    if (inPlace)
        applyInPlace(op, result, left, right);
    else
        applyExpression(op, result, left, right);
}

}  // namespace

void QvArithmetic::Add(QvValueRef& result, QvValueRef& left, QvValueRef& right, bool inPlace) {
    dispatch(addition, result, left, right, inPlace);
}

void QvArithmetic::Subtract(QvValueRef& result, QvValueRef& left, QvValueRef& right, bool inPlace) {
    dispatch(subtraction, result, left, right, inPlace);
}

void QvArithmetic::Multiply(QvValueRef& result, QvValueRef& left, QvValueRef& right, bool inPlace) {
    dispatch(multiplication, result, left, right, inPlace);
}

void QvArithmetic::Divide(QvValueRef& result, QvValueRef& left, QvValueRef& right, bool inPlace) {
    dispatch(division, result, left, right, inPlace);
}
