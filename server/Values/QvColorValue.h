#pragma once
#include <istream>

#include "QvExport.h"
#include "Values/QvColor.h"
#include "Values/QvValue.h"

// A colour with component-wise arithmetic against numbers, three-element vectors and
// colours; orderings compare intensities.
class QV_EXPORT QvColorValue : public QvValue {
public:
    QvColorValue() = default;
    explicit QvColorValue(QvColor color) : color_(color) {}

    // Red, green and blue as little-endian doubles.
    static QvValue* ReadData(std::istream& in);

    const QvColor& color() const { return color_; }

    QvValue* Clone() const override;
    QvTypeEnum GetType() const override;
    void CoerceTo(QvValueRef& out, QvTypeEnum target) override;
    void WriteData(std::ostream& out) const override;

    QvValue* GetProperty(QvPropertyId id) override;
    QvPropertyId PropertyId(const std::string& name) const override;

    QvValue* Negate() const override;
    QvValue* Difference(QvValue* other, double threshold) const override;

    void Add(QvValueRef& result, QvValueRef& other) override;
    void Subtract(QvValueRef& result, QvValueRef& other) override;
    void Multiply(QvValueRef& result, QvValueRef& other) override;
    void Divide(QvValueRef& result, QvValueRef& other) override;

    bool Equal(QvValue* other) const override;
    bool Less(QvValue* other) const override;
    bool LessOrEqual(QvValue* other) const override;
    bool Greater(QvValue* other) const override;
    bool GreaterOrEqual(QvValue* other) const override;
    bool NotEqual(QvValue* other) const override;

    std::string AsText() const override;
    QvColor AsColor() const override;

private:
    // Combines this colour with the other operand component by component into the
    // result colour; false when the operand is neither a number, a vector nor a colour.
    template <class Combine>
    bool combine(QvValueRef& result, QvValueRef& other, Combine component) const;
    // The colour in the result handle, which the dispatch has made a colour.
    static QvColor& resultColor(QvValueRef& result);
    // The other operand's colour, for comparisons, which accept only colours.
    static const QvColor& comparedColor(QvValue* other, const char* op);

    QvColor color_;
};

QV_C_EXPORT QvValue* QvColorValueCreate(double red, double green, double blue);
QV_C_EXPORT double QvColorValueGetRed(QvColorValue* color);
QV_C_EXPORT double QvColorValueGetGreen(QvColorValue* color);
QV_C_EXPORT double QvColorValueGetBlue(QvColorValue* color);
