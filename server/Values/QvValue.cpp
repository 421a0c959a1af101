#include "Values/QvValue.h"

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"
#include "HostServices/QvHostServices.h"
#include "Values/QvArithmetic.h"
#include "Values/QvTextValue.h"
#include "Values/QvTypeTables.h"
#include "Values/QvValueFile.h"
#include "Windows/QvGraphics.h"

void QvValue::CoerceTo(QvValueRef& out, QvTypeEnum target) {
    QvTypeEnum own = GetType();
    if (own == target) {
        out = this;
        return;
    }
    if (!QvCoercionAllowed(own, target))
        throw new QvCoercionException(own, target, "is not possible.");
    if (target != QV_TEXT)
        throw new QvCoercionException(own, target, " is not yet implemented.");
    out = new QvTextValue(AsText());
}

void QvValue::Display(QvGraphics* graphics) {
    if (!graphics)
        throw new QvTypeException("Hey, NULL graphics opject.");
    graphics->displayText(AsText());
}

void QvValue::WriteData(std::ostream&) const { throw new QvFileException("Cannot write undefined type to file"); }

void QvValue::SaveToFile(const std::string& path) const { QvValueFile::save(*this, path); }

void QvValue::CopyToClipboard() const { QvGetHostServices()->setClipboardText(AsText()); }

QvValue* QvValue::GetProperty(QvPropertyId id) {
    if (id != QV_PROPERTY_TYPE)
        throw new QvInvalidPropertyException;
    return new QvTextValue(QvTypeName(GetType()));
}

QvPropertyId QvValue::PropertyId(const std::string& name) const {
    return name == "type" ? QV_PROPERTY_TYPE : QV_PROPERTY_NONE;
}

namespace {
// The name is looked up before the error is made: an unknown id raises its own error.
[[noreturn]] void raisePropertyRefusal(QvPropertyId id, const char* refusal) {
    std::string name = QvPropertyName(id);
    throw new QvException("The property \"" + name + "\" can not be " + refusal);
}
}  // namespace

void QvValue::SetProperty(QvPropertyId id, QvValue*) { raisePropertyRefusal(id, "written."); }

void QvValue::DeleteProperty(QvPropertyId id) { raisePropertyRefusal(id, "deleted."); }

QvValue* QvValue::Sdev() const { QvRaiseOperatorError("sdev", this); }
QvValue* QvValue::Average() const { QvRaiseOperatorError("average", this); }
QvValue* QvValue::Max() const { QvRaiseOperatorError("max", this); }
QvValue* QvValue::Min() const { QvRaiseOperatorError("min", this); }
QvValue* QvValue::Negate() const { QvRaiseOperatorError("-", this); }
QvValue* QvValue::Sin() const { QvRaiseOperatorError("sin", this); }
QvValue* QvValue::Cos() const { QvRaiseOperatorError("cos", this); }
QvValue* QvValue::Tan() const { QvRaiseOperatorError("tan", this); }
QvValue* QvValue::Asin() const { QvRaiseOperatorError("asin", this); }
QvValue* QvValue::Acos() const { QvRaiseOperatorError("acos", this); }
QvValue* QvValue::Atan() const { QvRaiseOperatorError("atan", this); }
QvValue* QvValue::Sqrt() const { QvRaiseOperatorError("sqrt", this); }
QvValue* QvValue::Exp() const { QvRaiseOperatorError("exp", this); }
QvValue* QvValue::Log() const { QvRaiseOperatorError("log", this); }
QvValue* QvValue::Ln() const { QvRaiseOperatorError("ln", this); }
QvValue* QvValue::Round() const { QvRaiseOperatorError("round", this); }
QvValue* QvValue::Floor() const { QvRaiseOperatorError("floor", this); }
QvValue* QvValue::Ceil() const { QvRaiseOperatorError("ceil", this); }
QvValue* QvValue::Abs() const { QvRaiseOperatorError("abs", this); }
QvValue* QvValue::Difference(QvValue*, double) const { QvRaiseOperatorError("difference", this); }
QvValue* QvValue::Pow(QvValue*) const { QvRaiseOperatorError("pow", this); }

// A value that is not text, added to a text, joins it as its printed form.
void QvValue::Add(QvValueRef& result, QvValueRef& other) {
    if (GetType() == QV_TEXT || !other || other->GetType() != QV_TEXT)
        QvRaiseOperatorError("+", this, other.get());
    QvValueRef printed = new QvTextValue(AsText());
    QvArithmetic::Add(result, printed, other, false);
}

void QvValue::Subtract(QvValueRef&, QvValueRef& other) { QvRaiseOperatorError("-", this, other.get()); }
void QvValue::Multiply(QvValueRef&, QvValueRef& other) { QvRaiseOperatorError("*", this, other.get()); }
void QvValue::Divide(QvValueRef&, QvValueRef& other) { QvRaiseOperatorError("/", this, other.get()); }

bool QvValue::CanHoldResult(QvTypeEnum resultType, QvValue*) const { return GetType() == resultType; }

void QvValue::Append(QvValue*) { throw new QvOperatorException("append"); }
void QvValue::Prepend(QvValue*) { throw new QvOperatorException("prepend"); }
void QvValue::Insert(QvValue*, QvValue*) { throw new QvOperatorException("insert"); }
void QvValue::GetDoubleIndexed(QvValueRef&, QvValue*, QvValue*) { throw new QvOperatorException("[i,j]"); }
void QvValue::GetIndexed(QvValueRef&, QvValue*, bool) { throw new QvOperatorException("[i]"); }
void QvValue::SetDoubleIndexed(QvValue*, QvValue*, QvValueRef&) {
    QvError("Cannot set double indexed values for this type");
}
void QvValue::SetIndexed(QvValue*, QvValueRef&) { QvError("Cannot set indexed values for this type"); }
void QvValue::DeleteElement(QvValue*) { QvError("Cannot delete elements from values of this type"); }

bool QvValue::Equal(QvValue* other) const { QvRaiseOperatorError(this, "=", other); }
bool QvValue::Less(QvValue* other) const { QvRaiseOperatorError(this, "<", other); }
bool QvValue::LessOrEqual(QvValue* other) const { QvRaiseOperatorError(this, "<=", other); }
bool QvValue::Greater(QvValue* other) const { QvRaiseOperatorError(this, ">", other); }
bool QvValue::GreaterOrEqual(QvValue* other) const { QvRaiseOperatorError(this, ">=", other); }
bool QvValue::NotEqual(QvValue* other) const { return !Equal(other); }
bool QvValue::And(QvValue* other) const { QvRaiseOperatorError(this, "and", other); }
bool QvValue::Or(QvValue* other) const { QvRaiseOperatorError(this, "or", other); }
bool QvValue::Not() const { throw new QvOperatorException(GetType(), "!"); }

bool QvValue::NumberAt(double, double&) const { return false; }

bool QvValue::NumberProperty(QvPropertyId, double&) const { return false; }

std::string QvValue::AsText() const { throw new QvTypeException("text"); }
double QvValue::AsNumber() const { throw new QvTypeException("number"); }
bool QvValue::AsBoolean() const { throw new QvTypeException("boolean"); }
const std::vector<double>& QvValue::AsVector() const { throw new QvTypeException("vector"); }
const QvDateTime& QvValue::AsDate() const { throw new QvTypeException("date"); }
QvColor QvValue::AsColor() const { throw new QvTypeException("color"); }

namespace {
QvTypeEnum typeOf(const QvValue* value) { return value ? value->GetType() : QV_UNDEFINED; }
}  // namespace

void QvRaiseOperatorError(const char* op, const QvValue* operand) {
    throw new QvOperatorException(op, typeOf(operand));
}

void QvRaiseOperatorError(const QvValue* left, const char* op, const QvValue* right) {
    throw new QvOperatorException(typeOf(left), op, typeOf(right));
}

void QvRaiseOperatorError(const char* op, const QvValue* left, const QvValue* right) {
    throw new QvOperatorException(op, typeOf(left), typeOf(right));
}

std::ostream& operator<<(std::ostream& out, const QvValue& value) { return out << value.AsText(); }

QvTypeEnum QvValueGetQvType(QvValue* value) { return typeOf(value); }
