#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "QvExport.h"
#include "Values/QvAutoObject.h"
#include "Values/QvColor.h"
#include "Values/QvPropertyId.h"
#include "Values/QvType.h"
#include "Values/qv_auto_value.h"

class QvValue;
struct QvDateTime;
class QvGraphics;
using QvValueRef = qv_auto_value<QvValue>;

// The root of every script value. Each operation's default raises the error that
// names the operation and the type; the value classes override what they support.
// Operations that return QvValue* return a new value (reference count 1, no holders)
// that the caller adopts. Binary operators write into the value held by `result`,
// which the arithmetic dispatch (QvArithmetic) has prepared.
class QV_EXPORT QvValue : public QvAutoObject {
public:
    // Inline, like the base's: values are destroyed by the million.
    ~QvValue() override = default;

    virtual QvValue* Clone() const = 0;
    virtual QvTypeEnum GetType() const = 0;
    virtual void CoerceTo(QvValueRef& out, QvTypeEnum target);
    // Records how the value looks in a script window; by default its text form.
    virtual void Display(QvGraphics* graphics);
    virtual void WriteData(std::ostream& out) const;
    virtual void SaveToFile(const std::string& path) const;
    virtual void CopyToClipboard() const;

    virtual QvValue* GetProperty(QvPropertyId id);
    virtual QvPropertyId PropertyId(const std::string& name) const;
    virtual void SetProperty(QvPropertyId id, QvValue* value);
    virtual void DeleteProperty(QvPropertyId id);

    virtual QvValue* Sdev() const;
    virtual QvValue* Average() const;
    virtual QvValue* Max() const;
    virtual QvValue* Min() const;
    virtual QvValue* Negate() const;
    virtual QvValue* Sin() const;
    virtual QvValue* Cos() const;
    virtual QvValue* Tan() const;
    virtual QvValue* Asin() const;
    virtual QvValue* Acos() const;
    virtual QvValue* Atan() const;
    virtual QvValue* Sqrt() const;
    virtual QvValue* Exp() const;
    virtual QvValue* Log() const;
    virtual QvValue* Ln() const;
    virtual QvValue* Round() const;
    virtual QvValue* Floor() const;
    virtual QvValue* Ceil() const;
    virtual QvValue* Abs() const;
    virtual QvValue* Difference(QvValue* other, double threshold) const;
    virtual QvValue* Pow(QvValue* other) const;

    virtual void Add(QvValueRef& result, QvValueRef& other);
    virtual void Subtract(QvValueRef& result, QvValueRef& other);
    virtual void Multiply(QvValueRef& result, QvValueRef& other);
    virtual void Divide(QvValueRef& result, QvValueRef& other);
    virtual bool CanHoldResult(QvTypeEnum resultType, QvValue* left) const;

    virtual void Append(QvValue* value);
    virtual void Prepend(QvValue* value);
    virtual void Insert(QvValue* value, QvValue* index);
    virtual void GetDoubleIndexed(QvValueRef& out, QvValue* i, QvValue* j);
    virtual void GetIndexed(QvValueRef& out, QvValue* index, bool forUpdate);
    virtual void SetDoubleIndexed(QvValue* i, QvValue* j, QvValueRef& value);
    virtual void SetIndexed(QvValue* index, QvValueRef& value);
    virtual void DeleteElement(QvValue* index);

    virtual bool Equal(QvValue* other) const;
    virtual bool Less(QvValue* other) const;
    virtual bool LessOrEqual(QvValue* other) const;
    virtual bool Greater(QvValue* other) const;
    virtual bool GreaterOrEqual(QvValue* other) const;
    virtual bool NotEqual(QvValue* other) const;
    virtual bool And(QvValue* other) const;
    virtual bool Or(QvValue* other) const;
    virtual bool Not() const;

    virtual std::string AsText() const;
    virtual double AsNumber() const;
    virtual bool AsBoolean() const;
    virtual const std::vector<double>& AsVector() const;
    virtual const QvDateTime& AsDate() const;
    virtual QvColor AsColor() const;

    // Element `index` of a value that keeps its elements as plain numbers (a vector):
    // the number GetIndexed gives for that index, with the same errors, without making
    // a value. False, by default, for values that keep no such numbers.
    virtual bool NumberAt(double index, double& number) const;
    // The same for a property that is a number (a text's length, a picture's width):
    // the number GetProperty gives, without making a value. False by default.
    virtual bool NumberProperty(QvPropertyId id, double& number) const;

    // True for values of the number class: the interpreter's number paths test this
    // byte, which shares the counts' cache line, rather than the dynamic type.
    bool isNumberClass() const { return numberClass_; }

protected:
    bool numberClass_ = false;
};

// Operator errors built from the operands' types.
[[noreturn]] QV_EXPORT void QvRaiseOperatorError(const char* op, const QvValue* operand);
[[noreturn]] QV_EXPORT void QvRaiseOperatorError(const QvValue* left, const char* op, const QvValue* right);
[[noreturn]] QV_EXPORT void QvRaiseOperatorError(const char* op, const QvValue* left, const QvValue* right);

// The printed form of a value is its AsText().
QV_EXPORT std::ostream& operator<<(std::ostream& out, const QvValue& value);

QV_C_EXPORT QvTypeEnum QvValueGetQvType(QvValue* value);
