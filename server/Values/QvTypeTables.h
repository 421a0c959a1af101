#pragma once
#include "Values/QvType.h"

enum class QvArithmeticOp { Add, Subtract, Multiply, Divide };
// The functions of one number: sin(x) and the like.
enum class QvNumberFunction { Sin, Cos, Tan, Asin, Acos, Atan, Sqrt, Exp, Log, Ln, Round, Floor, Ceil, Abs };

// Whether a value of type `from` may be converted to type `to` (the conversion
// itself belongs to the value classes).
bool QvCoercionAllowed(QvTypeEnum from, QvTypeEnum to);

// The type of `left op right`, or QV_UNDEFINED when the operator is not defined
// for that pair of operand types.
QvTypeEnum QvArithmeticResultType(QvArithmeticOp op, QvTypeEnum left, QvTypeEnum right);
