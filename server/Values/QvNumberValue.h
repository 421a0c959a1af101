#pragma once
#include <istream>
#include <string>

#include "QvExport.h"
#include "Values/QvBlockPool.h"
#include "Values/QvTypeTables.h"
#include "Values/QvValue.h"

class QV_EXPORT QvNumberValue : public QvValue, public QvPooled<QvNumberValue> {
public:
    explicit QvNumberValue(double number = 0) : number_(number) { numberClass_ = true; }

    // The four operators on numbers; dividing by zero raises "Attempt to divide by zero".
    // A function of a number; `log` is to base 10, and halves round up, also for
    // negative numbers (-2.5 gives -2).
    static double apply(QvNumberFunction function, double x);
    static double apply(QvArithmeticOp op, double left, double right) {
        switch (op) {
        case QvArithmeticOp::Add: return left + right;
        case QvArithmeticOp::Subtract: return left - right;
        case QvArithmeticOp::Multiply: return left * right;
        default:
            if (right == 0) raiseDivideByZero();
            return left / right;
        }
    }

    // The printed form of every number: "%g" with 6 significant digits and an
    // exponent of at least three digits (1e+006, 1.23457e-005).
    static std::string FormatNumber(double number);
    static QvValue* ReadData(std::istream& in);

    double value() const { return number_; }
    void setValue(double number) { number_ = number; }
    // Whether the value is a number. Numbers are made as this class, which answers
    // first, sparing the interpreter's number paths a virtual call.
    static bool isNumber(const QvValue* value) {
        return value && (value->isNumberClass() || value->GetType() == QV_NUMBER);
    }
    // The number of a value that isNumber accepts.
    static double numberIn(const QvValue* number) {
        return number->isNumberClass() ? static_cast<const QvNumberValue*>(number)->value() : number->AsNumber();
    }
    // The number the handle holds when no other holder shares it, so that it may be
    // changed in place; null for a shared value or one of another type.
    static QvNumberValue* unshared(const QvValueRef& handle) {
        QvValue* value = handle.get();
        return value && value->referenceCount() == 1 && isNumber(value) ? static_cast<QvNumberValue*>(value) : nullptr;
    }

    QvValue* Clone() const override;
    QvTypeEnum GetType() const override;
    void CoerceTo(QvValueRef& out, QvTypeEnum target) override;
    void WriteData(std::ostream& out) const override;

    QvValue* Negate() const override;
    QvValue* Sin() const override;
    QvValue* Cos() const override;
    QvValue* Tan() const override;
    QvValue* Asin() const override;
    QvValue* Acos() const override;
    QvValue* Atan() const override;
    QvValue* Sqrt() const override;
    QvValue* Exp() const override;
    QvValue* Log() const override;
    QvValue* Ln() const override;
    QvValue* Round() const override;
    QvValue* Floor() const override;
    QvValue* Ceil() const override;
    QvValue* Abs() const override;
    QvValue* Difference(QvValue* other, double threshold) const override;
    QvValue* Pow(QvValue* other) const override;

    void Add(QvValueRef& result, QvValueRef& other) override;
    void Subtract(QvValueRef& result, QvValueRef& other) override;
    void Multiply(QvValueRef& result, QvValueRef& other) override;
    void Divide(QvValueRef& result, QvValueRef& other) override;

    bool Equal(QvValue* other) const override;
    bool Less(QvValue* other) const override;
    bool LessOrEqual(QvValue* other) const override;
    bool Greater(QvValue* other) const override;
    bool GreaterOrEqual(QvValue* other) const override;

    std::string AsText() const override;
    double AsNumber() const override;

private:
    [[noreturn]] static void raiseDivideByZero();
    // The number in the result handle, which the dispatch has made a number.
    static QvNumberValue& resultNumber(QvValueRef& result);

    double number_;
};

QV_C_EXPORT QvValue* QvNumberCreate(double number);
QV_C_EXPORT double QvNumberGetDoubleValue(QvValue* value);
