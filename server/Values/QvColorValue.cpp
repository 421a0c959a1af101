#include "Values/QvColorValue.h"

#include <new>

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"
#include "Values/QvNumberValue.h"
#include "Values/QvValueFile.h"
#include "Values/QvVectorValue.h"

namespace {

// A number applies to every component; a vector must spell out a colour.
bool operandColor(QvValue* other, QvColor& color) {
    switch (other ? other->GetType() : QV_UNDEFINED) {
    case QV_NUMBER: {
        double y = other->AsNumber();
        color = {y, y, y};
        return true;
    }
    case QV_VECTOR:
    case QV_COLOR:
        color = other->AsColor();
        return true;
    default:
        return false;
    }
}

double normalisedSquaredDifference(double mine, double theirs) {
    double difference = theirs - mine;
    double sum = theirs + mine;
    return (difference * difference) / (sum * sum);
}

}  // namespace

QvValue* QvColorValue::ReadData(std::istream& in) {
    QvColor color;
    color.red = QvValueFile::readDouble(in);
    color.green = QvValueFile::readDouble(in);
    color.blue = QvValueFile::readDouble(in);
    return new QvColorValue(color);
}

QvColor& QvColorValue::resultColor(QvValueRef& result) {
    if (!result || result->GetType() != QV_COLOR)
        QvError("Arithmetic result is not a color, please submit a bug report (with sample code).");
    return static_cast<QvColorValue&>(*result).color_;
}

QvValue* QvColorValue::Clone() const { return new QvColorValue(color_); }

QvTypeEnum QvColorValue::GetType() const { return QV_COLOR; }

void QvColorValue::CoerceTo(QvValueRef& out, QvTypeEnum target) {
    if (target == QV_NUMBER)
        out = new QvNumberValue(color_.intensity());
    else if (target == QV_VECTOR)
        out = new QvVectorValue({color_.red, color_.green, color_.blue});
    else
        QvValue::CoerceTo(out, target);
}

void QvColorValue::WriteData(std::ostream& out) const {
    QvValueFile::writeDouble(out, color_.red);
    QvValueFile::writeDouble(out, color_.green);
    QvValueFile::writeDouble(out, color_.blue);
}

QvValue* QvColorValue::GetProperty(QvPropertyId id) {
    switch (id) {
    case QV_PROPERTY_RED:
        return new QvNumberValue(color_.red);
    case QV_PROPERTY_GREEN:
        return new QvNumberValue(color_.green);
    case QV_PROPERTY_BLUE:
        return new QvNumberValue(color_.blue);
    case QV_PROPERTY_INTENSITY:
        return new QvNumberValue(color_.intensity());
    default:
        return QvValue::GetProperty(id);
    }
}

QvPropertyId QvColorValue::PropertyId(const std::string& name) const {
    if (name == "red")
        return QV_PROPERTY_RED;
    if (name == "green")
        return QV_PROPERTY_GREEN;
    if (name == "blue")
        return QV_PROPERTY_BLUE;
    if (name == "intensity")
        return QV_PROPERTY_INTENSITY;
    return QvValue::PropertyId(name);
}

QvValue* QvColorValue::Negate() const { return new QvColorValue({-color_.red, -color_.green, -color_.blue}); }

QvValue* QvColorValue::Difference(QvValue* other, double) const {
    if (!other || other->GetType() != QV_COLOR)
        return new QvNumberValue(1);
    QvColor theirs = other->AsColor();
    QvColor perComponent{normalisedSquaredDifference(color_.red, theirs.red),
                         normalisedSquaredDifference(color_.green, theirs.green),
                         normalisedSquaredDifference(color_.blue, theirs.blue)};
    return new QvNumberValue(perComponent.intensity());
}

template <class Combine>
bool QvColorValue::combine(QvValueRef& result, QvValueRef& other, Combine component) const {
    QvColor operand;
    if (!operandColor(other.get(), operand))
        return false;
    QvColor& r = resultColor(result);
    r = {component(color_.red, operand.red), component(color_.green, operand.green),
         component(color_.blue, operand.blue)};
    return true;
}

void QvColorValue::Add(QvValueRef& result, QvValueRef& other) {
    if (!combine(result, other, [](double c, double o) { return c + o; }))
        QvValue::Add(result, other);
}

void QvColorValue::Subtract(QvValueRef& result, QvValueRef& other) {
    if (!combine(result, other, [](double c, double o) { return c - o; }))
        QvValue::Subtract(result, other);
}

void QvColorValue::Multiply(QvValueRef& result, QvValueRef& other) {
    if (!combine(result, other, [](double c, double o) { return c * o; }))
        QvValue::Multiply(result, other);
}

// Components may become infinite or NaN: colours never check their divisor.
void QvColorValue::Divide(QvValueRef& result, QvValueRef& other) {
    if (!combine(result, other, [](double c, double o) { return c / o; }))
        QvValue::Divide(result, other);
}

const QvColor& QvColorValue::comparedColor(QvValue* other, const char* op) {
    if (!other || other->GetType() != QV_COLOR)
        throw new QvOperatorException(op);
    return static_cast<QvColorValue*>(other)->color_;
}

bool QvColorValue::Equal(QvValue* other) const {
    const QvColor& o = comparedColor(other, "equality");
    return color_.red == o.red && color_.green == o.green && color_.blue == o.blue;
}

bool QvColorValue::NotEqual(QvValue* other) const {
    const QvColor& o = comparedColor(other, "!=");
    return color_.red != o.red || color_.green != o.green || color_.blue != o.blue;
}

bool QvColorValue::Less(QvValue* other) const {
    return color_.intensity() < comparedColor(other, "<").intensity();
}

bool QvColorValue::LessOrEqual(QvValue* other) const {
    return color_.intensity() <= comparedColor(other, "<=").intensity();
}

bool QvColorValue::Greater(QvValue* other) const {
    return color_.intensity() > comparedColor(other, ">").intensity();
}

bool QvColorValue::GreaterOrEqual(QvValue* other) const {
    return color_.intensity() >= comparedColor(other, ">=").intensity();
}

std::string QvColorValue::AsText() const {
    return QvNumberValue::FormatNumber(color_.red) + " " + QvNumberValue::FormatNumber(color_.green) + " " +
           QvNumberValue::FormatNumber(color_.blue);
}

QvColor QvColorValue::AsColor() const { return color_; }

namespace {
const QvColor& recordOf(const QvColor* color) {
    if (!color)
        throw new QvTypeException("color");
    return *color;
}

const QvColor& colorOf(const QvColorValue* color) {
    if (!color)
        throw new QvTypeException("color");
    return color->color();
}
}  // namespace

QvColor* QvColorCreate(double red, double green, double blue) { return new (std::nothrow) QvColor{red, green, blue}; }
void QvColorDelete(QvColor* color) { delete color; }
double QvColorGetRed(QvColor* color) { return recordOf(color).red; }
double QvColorGetGreen(QvColor* color) { return recordOf(color).green; }
double QvColorGetBlue(QvColor* color) { return recordOf(color).blue; }

QvValue* QvColorValueCreate(double red, double green, double blue) {
    return new (std::nothrow) QvColorValue({red, green, blue});
}
double QvColorValueGetRed(QvColorValue* color) { return colorOf(color).red; }
double QvColorValueGetGreen(QvColorValue* color) { return colorOf(color).green; }
double QvColorValueGetBlue(QvColorValue* color) { return colorOf(color).blue; }
