#pragma once
#include "FrontEnd/QvTokens.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTypeTables.h"

// The rules of arithmetic and comparison on plain numbers, shared by the tree walker
// and the number code of script functions so that both give the same bits.
namespace QvNumberRules {

// The operator of an arithmetic expression or of an in-place statement.
inline QvArithmeticOp arithmeticOp(int tokenType) {
    switch (tokenType) {
    case QV_TOK_PLUS: case QV_TOK_ADD: return QvArithmeticOp::Add;
    case QV_TOK_MINUS: case QV_TOK_SUBTRACT: return QvArithmeticOp::Subtract;
    case QV_TOK_MULT: case QV_TOK_MULTIPLY: return QvArithmeticOp::Multiply;
    default: return QvArithmeticOp::Divide;
    }
}

// Seconds per unit; the percent sign divides by 100 instead.
inline double unitFactor(int tokenType) {
    switch (tokenType) {
    case QV_TOK_MINUTE: return 60;
    case QV_TOK_HOUR: return 3600;
    case QV_TOK_DAY: return 86400;
    case QV_TOK_WEEK: return 604800;
    case QV_TOK_YEAR: return 31557600;
    case QV_TOK_PERCENT: return 100;
    default: return 1;
    }
}

// Negation, or a unit applied to a number.
inline double applyUnary(int tokenType, double operand) {
    if (tokenType == QV_TOK_UNARY_MINUS) return -operand;
    if (tokenType == QV_TOK_PERCENT) return operand / unitFactor(tokenType);
    return operand * unitFactor(tokenType);
}

// One of the six comparisons (= <> < <= > >=).
inline bool compare(int tokenType, double left, double right) {
    switch (tokenType) {
    case QV_TOK_EQUAL: return left == right;
    case QV_TOK_NE: return !(left == right);
    case QV_TOK_LT: return left < right;
    case QV_TOK_LE: return left <= right;
    case QV_TOK_GT: return left > right;
    default: return left >= right;
    }
}

// The function a token names (sin, sqrt, round...); false for any other token.
inline bool numberFunction(int tokenType, QvNumberFunction& function) {
    switch (tokenType) {
    case QV_TOK_SIN: function = QvNumberFunction::Sin; return true;
    case QV_TOK_COS: function = QvNumberFunction::Cos; return true;
    case QV_TOK_TAN: function = QvNumberFunction::Tan; return true;
    case QV_TOK_ASIN: function = QvNumberFunction::Asin; return true;
    case QV_TOK_ACOS: function = QvNumberFunction::Acos; return true;
    case QV_TOK_ATAN: function = QvNumberFunction::Atan; return true;
    case QV_TOK_SQRT: function = QvNumberFunction::Sqrt; return true;
    case QV_TOK_EXP: function = QvNumberFunction::Exp; return true;
    case QV_TOK_LOG: function = QvNumberFunction::Log; return true;
    case QV_TOK_LN: function = QvNumberFunction::Ln; return true;
    case QV_TOK_ROUND: function = QvNumberFunction::Round; return true;
    case QV_TOK_FLOOR: function = QvNumberFunction::Floor; return true;
    case QV_TOK_CEIL: function = QvNumberFunction::Ceil; return true;
    case QV_TOK_ABS: function = QvNumberFunction::Abs; return true;
    default: return false;
    }
}
}
