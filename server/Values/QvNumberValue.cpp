#include "Values/QvNumberValue.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"
#include "Values/QvValueFile.h"
#include "Values/QvValueKinds.h"

std::string QvNumberValue::FormatNumber(double number) {
    char text[40];
    std::snprintf(text, sizeof text, "%.6g", number);
    std::string printed(text);
    // The C library writes at least two exponent digits; the printed form has three.
    std::string::size_type exponent = printed.find('e');
    if (exponent != std::string::npos) {
        std::string::size_type digits = exponent + 2;
        while (printed.size() - digits < 3)
            printed.insert(digits, 1, '0');
    }
    return printed;
}

QvValue* QvNumberValue::ReadData(std::istream& in) { return new QvNumberValue(QvValueFile::readDouble(in)); }

QvNumberValue& QvNumberValue::resultNumber(QvValueRef& result) {
    if (!result || result->GetType() != QV_NUMBER)
        QvError("Arithmetic result is not a number, please submit a bug report (with sample code).");
    return static_cast<QvNumberValue&>(*result);
}

QvValue* QvNumberValue::Clone() const { return new QvNumberValue(number_); }

QvTypeEnum QvNumberValue::GetType() const { return QV_NUMBER; }

void QvNumberValue::CoerceTo(QvValueRef& out, QvTypeEnum target) {
    if (target == QV_VECTOR)
        out = QvValueKinds::fromNumbers(QV_VECTOR, {number_}, QV_NUMBER);
    else if (target == QV_COLOR)
        out = QvValueKinds::fromNumbers(QV_COLOR, {number_, number_, number_}, QV_NUMBER);
    else
        QvValue::CoerceTo(out, target);
}

void QvNumberValue::WriteData(std::ostream& out) const { QvValueFile::writeDouble(out, number_); }

QvValue* QvNumberValue::Negate() const { return new QvNumberValue(-number_); }
double QvNumberValue::apply(QvNumberFunction function, double x) {
    switch (function) {
    case QvNumberFunction::Sin: return std::sin(x);
    case QvNumberFunction::Cos: return std::cos(x);
    case QvNumberFunction::Tan: return std::tan(x);
    case QvNumberFunction::Asin: return std::asin(x);
    case QvNumberFunction::Acos: return std::acos(x);
    case QvNumberFunction::Atan: return std::atan(x);
    case QvNumberFunction::Sqrt: return std::sqrt(x);
    case QvNumberFunction::Exp: return std::exp(x);
    case QvNumberFunction::Log: return std::log10(x);
    case QvNumberFunction::Ln: return std::log(x);
    case QvNumberFunction::Round: {
        const double below = std::floor(x);
        return x - below < 0.5 ? below : std::ceil(x);
    }
    case QvNumberFunction::Floor: return std::floor(x);
    case QvNumberFunction::Ceil: return std::ceil(x);
    default: return std::fabs(x);
    }
}

QvValue* QvNumberValue::Sin() const { return new QvNumberValue(apply(QvNumberFunction::Sin, number_)); }
QvValue* QvNumberValue::Cos() const { return new QvNumberValue(apply(QvNumberFunction::Cos, number_)); }
QvValue* QvNumberValue::Tan() const { return new QvNumberValue(apply(QvNumberFunction::Tan, number_)); }
QvValue* QvNumberValue::Asin() const { return new QvNumberValue(apply(QvNumberFunction::Asin, number_)); }
QvValue* QvNumberValue::Acos() const { return new QvNumberValue(apply(QvNumberFunction::Acos, number_)); }
QvValue* QvNumberValue::Atan() const { return new QvNumberValue(apply(QvNumberFunction::Atan, number_)); }
QvValue* QvNumberValue::Sqrt() const { return new QvNumberValue(apply(QvNumberFunction::Sqrt, number_)); }
QvValue* QvNumberValue::Exp() const { return new QvNumberValue(apply(QvNumberFunction::Exp, number_)); }
QvValue* QvNumberValue::Log() const { return new QvNumberValue(apply(QvNumberFunction::Log, number_)); }
QvValue* QvNumberValue::Ln() const { return new QvNumberValue(apply(QvNumberFunction::Ln, number_)); }
QvValue* QvNumberValue::Floor() const { return new QvNumberValue(apply(QvNumberFunction::Floor, number_)); }
QvValue* QvNumberValue::Ceil() const { return new QvNumberValue(apply(QvNumberFunction::Ceil, number_)); }
QvValue* QvNumberValue::Abs() const { return new QvNumberValue(apply(QvNumberFunction::Abs, number_)); }
QvValue* QvNumberValue::Round() const { return new QvNumberValue(apply(QvNumberFunction::Round, number_)); }

// The normalised squared difference; the threshold is for other types.
QvValue* QvNumberValue::Difference(QvValue* other, double) const {
    if (!other || other->GetType() != QV_NUMBER)
        return new QvNumberValue(1);
    double y = other->AsNumber();
    double difference = y - number_;
    double sum = y + number_;
    return new QvNumberValue((difference * difference) / (sum * sum));
}

QvValue* QvNumberValue::Pow(QvValue* other) const {
    if (!other)
        QvRaiseOperatorError("pow", this);
    return new QvNumberValue(std::pow(number_, other->AsNumber()));
}

void QvNumberValue::raiseDivideByZero() { QvError("Attempt to divide by zero"); }

void QvNumberValue::Add(QvValueRef& result, QvValueRef& other) {
    if (other->GetType() != QV_NUMBER)
        return QvValue::Add(result, other);
    double sum = apply(QvArithmeticOp::Add, number_, other->AsNumber());
    resultNumber(result).number_ = sum;
}

void QvNumberValue::Subtract(QvValueRef& result, QvValueRef& other) {
    if (other->GetType() != QV_NUMBER)
        return QvValue::Subtract(result, other);
    double difference = apply(QvArithmeticOp::Subtract, number_, other->AsNumber());
    resultNumber(result).number_ = difference;
}

void QvNumberValue::Multiply(QvValueRef& result, QvValueRef& other) {
    if (other->GetType() != QV_NUMBER)
        return QvValue::Multiply(result, other);
    double product = apply(QvArithmeticOp::Multiply, number_, other->AsNumber());
    resultNumber(result).number_ = product;
}

void QvNumberValue::Divide(QvValueRef& result, QvValueRef& other) {
    if (other->GetType() != QV_NUMBER)
        return QvValue::Divide(result, other);
    double quotient = apply(QvArithmeticOp::Divide, number_, other->AsNumber());
    resultNumber(result).number_ = quotient;
}

namespace {
double numberOf(QvValue* other) {
    if (!other)
        QvError("Operation attempted on NULL value. Function may not have returned a result.");
    return other->AsNumber();
}
}  // namespace

// IEEE equality: NaN equals nothing, not even itself.
bool QvNumberValue::Equal(QvValue* other) const { return number_ == numberOf(other); }
bool QvNumberValue::Less(QvValue* other) const { return number_ < numberOf(other); }
bool QvNumberValue::LessOrEqual(QvValue* other) const { return number_ <= numberOf(other); }
bool QvNumberValue::Greater(QvValue* other) const { return number_ > numberOf(other); }
bool QvNumberValue::GreaterOrEqual(QvValue* other) const { return number_ >= numberOf(other); }

std::string QvNumberValue::AsText() const { return FormatNumber(number_); }

double QvNumberValue::AsNumber() const { return number_; }

QvValue* QvNumberCreate(double number) { return new (std::nothrow) QvNumberValue(number); }

double QvNumberGetDoubleValue(QvValue* value) {
    if (!value)
        throw new QvTypeException("number");
    return value->AsNumber();
}
