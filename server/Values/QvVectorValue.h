#pragma once
#include <cstddef>
#include <istream>
#include <vector>

#include "QvExport.h"
#include "Values/QvValue.h"

// An ordered sequence of numbers with element-wise arithmetic. Indexes are the index
// value's number truncated towards zero; negative ones are refused.
class QV_EXPORT QvVectorValue : public QvValue {
public:
    QvVectorValue() = default;
    explicit QvVectorValue(std::vector<double> elements) : elements_(std::move(elements)) {}

    // A vector with `count` zeros: the empty result the arithmetic fills in.
    static QvVectorValue* zeros(size_t count);
    // An element count, then each element as a little-endian double.
    static QvValue* ReadData(std::istream& in);

    std::vector<double>& elements() { return elements_; }
    const std::vector<double>& elements() const { return elements_; }

    // The running maximum or minimum of an index-order scan and the position of its
    // first occurrence; an empty vector gives -9e99 (maximum) or 9e99 (minimum) at 0.
    struct Extreme {
        size_t index;
        double value;
    };
    Extreme largest() const;
    Extreme smallest() const;
    double average() const;
    double sampleDeviation() const;

    // Where `pattern` (a vector or a number) fits best between positions start and end:
    // a new vector {position, mean squared difference}.
    QvValue* Find(QvValue* pattern, size_t start, size_t end) const;

    QvValue* Clone() const override;
    void Display(QvGraphics* graphics) override;
    static constexpr size_t kPlotThreshold = 10;
    QvTypeEnum GetType() const override;
    void CoerceTo(QvValueRef& out, QvTypeEnum target) override;
    void WriteData(std::ostream& out) const override;

    QvValue* GetProperty(QvPropertyId id) override;
    bool NumberProperty(QvPropertyId id, double& number) const override;
    QvPropertyId PropertyId(const std::string& name) const override;

    QvValue* Sdev() const override;
    QvValue* Average() const override;
    QvValue* Max() const override;
    QvValue* Min() const override;
    QvValue* Negate() const override;
    QvValue* Difference(QvValue* other, double threshold) const override;

    void Add(QvValueRef& result, QvValueRef& other) override;
    void Subtract(QvValueRef& result, QvValueRef& other) override;
    void Multiply(QvValueRef& result, QvValueRef& other) override;
    void Divide(QvValueRef& result, QvValueRef& other) override;
    bool CanHoldResult(QvTypeEnum resultType, QvValue* left) const override;

    void Append(QvValue* value) override;
    void Prepend(QvValue* value) override;
    void Insert(QvValue* value, QvValue* index) override;
    void GetDoubleIndexed(QvValueRef& out, QvValue* i, QvValue* j) override;
    void GetIndexed(QvValueRef& out, QvValue* index, bool forUpdate) override;
    bool NumberAt(double index, double& number) const override;
    void SetIndexed(QvValue* index, QvValueRef& value) override;

    bool Equal(QvValue* other) const override;

    std::string AsText() const override;
    const std::vector<double>& AsVector() const override;
    QvColor AsColor() const override;

private:
    // The elements of the result vector, which the dispatch has sized to this vector.
    std::vector<double>& resultElements(QvValueRef& result) const;
    // The other operand's elements, which must be as many as this vector's.
    const std::vector<double>& sameSizeOperand(QvValueRef& other, const char* verb) const;
    // Grows the vector with zeros up to `length` (for writes past the end).
    void padTo(size_t length);

    std::vector<double> elements_;
};

QV_C_EXPORT QvVectorValue* QvVectorCreate();
QV_C_EXPORT void QvVectorAppend(QvVectorValue* vector, double number);
QV_C_EXPORT long QvVectorSize(QvVectorValue* vector);
QV_C_EXPORT double QvVectorGetValueAt(QvVectorValue* vector, long i);
QV_C_EXPORT void QvVectorSetValueAt(QvVectorValue* vector, long i, double number);
QV_C_EXPORT double QvVectorAverage(QvVectorValue* vector);
QV_C_EXPORT double QvVectorSdev(QvVectorValue* vector);
QV_C_EXPORT double QvVectorMax(QvVectorValue* vector);
QV_C_EXPORT double QvVectorMin(QvVectorValue* vector);
QV_C_EXPORT void QvVectorUnaryMax(QvVectorValue* vector, long* index, double* value);
QV_C_EXPORT void QvVectorUnaryMin(QvVectorValue* vector, long* index, double* value);

// The two numbers of a {width, height} (or {x, y}) vector; any other value raises
// "Expecting a two component vector {width,height}".
QV_EXPORT const std::vector<double>& QvTwoComponents(QvValue* value);
