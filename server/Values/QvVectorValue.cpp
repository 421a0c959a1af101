#include "Values/QvVectorValue.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"
#include "Values/QvColorValue.h"
#include "Values/QvElementIndex.h"
#include "Values/QvListValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvValueFile.h"
#include "Windows/QvGraphics.h"

namespace {

// Writes past the end pad with zeros; beyond this many elements (1 GiB of doubles)
// that would only exhaust memory, so such an index is out of range.
constexpr int64_t longestPaddedVector = int64_t(1) << 27;

[[noreturn]] void raiseNegativeIndex() { QvError("Vector index is negative!"); }

[[noreturn]] void raiseOutOfRange(int64_t i) {
    QvException* error = new QvException;
    error->stream() << "Vector index (" << i << ") out of range.";
    throw error;
}

[[noreturn]] void raiseOutOfRange(int64_t i, int64_t j) {
    QvException* error = new QvException;
    error->stream() << "Vector index (" << i << "," << j << ") out of range.";
    throw error;
}

int64_t elementIndex(double index) {
    int64_t i = QvTruncatedIndex(index);
    if (i < 0)
        raiseNegativeIndex();
    return i;
}

int64_t elementIndex(QvValue* index) {
    if (!index)
        throw new QvTypeException("number");
    return elementIndex(index->AsNumber());
}

// A write position may lie past the end (the gap is padded), but not absurdly far.
size_t writePosition(QvValue* index) {
    int64_t i = elementIndex(index);
    if (i > longestPaddedVector)
        raiseOutOfRange(i);
    return size_t(i);
}

bool isVector(const QvValue* value) { return value && value->GetType() == QV_VECTOR; }
bool isNumber(const QvValue* value) { return value && value->GetType() == QV_NUMBER; }

// The numbers a value contributes when appended or inserted; a vector may be the
// receiver itself, so its elements are copied before the receiver grows.
bool numbersToAdd(QvValue* value, std::vector<double>& numbers) {
    if (isVector(value))
        numbers = value->AsVector();
    else if (isNumber(value))
        numbers.assign(1, value->AsNumber());
    else
        return false;
    return true;
}

}  // namespace

QvVectorValue* QvVectorValue::zeros(size_t count) { return new QvVectorValue(std::vector<double>(count)); }

QvValue* QvVectorValue::ReadData(std::istream& in) {
    uint32_t count = QvValueFile::readCount(in);
    std::vector<double> elements;
    QvValueFile::readDoubles(in, elements, count);
    return new QvVectorValue(std::move(elements));
}

QvVectorValue::Extreme QvVectorValue::largest() const {
    Extreme best{0, -9e99};
    for (size_t i = 0; i < elements_.size(); ++i)
        if (elements_[i] > best.value)
            best = {i, elements_[i]};
    return best;
}

QvVectorValue::Extreme QvVectorValue::smallest() const {
    Extreme best{0, 9e99};
    for (size_t i = 0; i < elements_.size(); ++i)
        if (elements_[i] < best.value)
            best = {i, elements_[i]};
    return best;
}

double QvVectorValue::average() const {
    double sum = 0;
    for (double x : elements_)
        sum += x;
    return sum / double(elements_.size());
}

double QvVectorValue::sampleDeviation() const {
    double mean = average();
    double squares = 0;
    for (double x : elements_)
        squares += (x - mean) * (x - mean);
    return std::sqrt(squares / (double(elements_.size()) - 1));
}

QvValue* QvVectorValue::Find(QvValue* pattern, size_t start, size_t end) const {
    size_t n = elements_.size();
    double best = 9.999999e105;
    size_t bestPosition = start;
    if (isVector(pattern)) {
        const std::vector<double>& p = pattern->AsVector();
        size_t m = p.size();
        size_t last = std::min(end, n >= m ? n - m : 0);
        for (size_t k = start; n >= m && k <= last; ++k) {
            double distance = 0;
            for (size_t j = 0; j < m; ++j)
                distance += (elements_[k + j] - p[j]) * (elements_[k + j] - p[j]);
            if (distance < best) {
                best = distance;
                bestPosition = k;
            }
        }
        return new QvVectorValue({double(bestPosition), best / double(m)});
    }
    if (isNumber(pattern)) {
        double y = pattern->AsNumber();
        for (size_t k = start; k < n && k <= end; ++k) {
            double distance = (elements_[k] - y) * (elements_[k] - y);
            if (distance < best) {
                best = distance;
                bestPosition = k;
            }
        }
        return new QvVectorValue({double(bestPosition), best});
    }
    QvError("Type mismatch: expect find(vector,(vector | number))");
}

QvValue* QvVectorValue::Clone() const { return new QvVectorValue(elements_); }

QvTypeEnum QvVectorValue::GetType() const { return QV_VECTOR; }

void QvVectorValue::CoerceTo(QvValueRef& out, QvTypeEnum target) {
    if (target == QV_NUMBER) {
        if (elements_.size() != 1)
            throw new QvCoercionException(QV_VECTOR, QV_NUMBER, "Vector must have exactly one element.");
        out = new QvNumberValue(elements_[0]);
    } else if (target == QV_COLOR) {
        if (elements_.size() == 1)
            out = new QvColorValue({elements_[0], elements_[0], elements_[0]});
        else if (elements_.size() == 3)
            out = new QvColorValue({elements_[0], elements_[1], elements_[2]});
        else
            throw new QvCoercionException(QV_VECTOR, QV_COLOR, "Vector must have 1 or 3 elements.");
    } else if (target == QV_LIST) {
        QvListValue* list = new QvListValue;
        out = list;
        for (double x : elements_)
            list->Append(new QvNumberValue(x));
    } else {
        QvValue::CoerceTo(out, target);
    }
}

void QvVectorValue::WriteData(std::ostream& out) const {
    QvValueFile::writeCount(out, elements_.size());
    QvValueFile::writeDoubles(out, elements_.data(), elements_.size());
}

QvValue* QvVectorValue::GetProperty(QvPropertyId id) {
    double number;
    if (NumberProperty(id, number)) return new QvNumberValue(number);
    return QvValue::GetProperty(id);
}

bool QvVectorValue::NumberProperty(QvPropertyId id, double& number) const {
    if (id != QV_PROPERTY_LENGTH) return false;
    number = double(elements_.size());
    return true;
}

QvPropertyId QvVectorValue::PropertyId(const std::string& name) const {
    return name == "length" ? QV_PROPERTY_LENGTH : QvValue::PropertyId(name);
}

QvValue* QvVectorValue::Sdev() const { return new QvNumberValue(sampleDeviation()); }
QvValue* QvVectorValue::Average() const { return new QvNumberValue(average()); }
QvValue* QvVectorValue::Max() const { return new QvNumberValue(largest().value); }
QvValue* QvVectorValue::Min() const { return new QvNumberValue(smallest().value); }

QvValue* QvVectorValue::Negate() const {
    QvVectorValue* negated = zeros(elements_.size());
    std::transform(elements_.begin(), elements_.end(), negated->elements_.begin(), [](double x) { return -x; });
    return negated;
}

// The root of the summed squared differences over the largest square of either
// vector's elements; 1 for anything that is not a vector of the same length.
QvValue* QvVectorValue::Difference(QvValue* other, double) const {
    if (!isVector(other) || other->AsVector().size() != elements_.size())
        return new QvNumberValue(1);
    const std::vector<double>& v = other->AsVector();
    double squaredDistance = 0;
    double largestSquare = 0;
    for (size_t i = 0; i < elements_.size(); ++i) {
        squaredDistance += (elements_[i] - v[i]) * (elements_[i] - v[i]);
        largestSquare = std::max({largestSquare, elements_[i] * elements_[i], v[i] * v[i]});
    }
    return new QvNumberValue(largestSquare == 0 ? 0 : std::sqrt(squaredDistance / largestSquare));
}

std::vector<double>& QvVectorValue::resultElements(QvValueRef& result) const {
    if (!isVector(result.get()) || static_cast<QvVectorValue&>(*result).elements_.size() != elements_.size())
        QvError("Arithmetic result is not a vector of the operand's size, please submit a bug report (with sample code).");
    return static_cast<QvVectorValue&>(*result).elements_;
}

const std::vector<double>& QvVectorValue::sameSizeOperand(QvValueRef& other, const char* verb) const {
    const std::vector<double>& v = other->AsVector();
    if (v.size() != elements_.size()) {
        std::string message = std::string("Vectors must be the same size to be ") + verb;
        QvError(message.c_str());
    }
    return v;
}

// The loops below read both operands before writing the result, element by element,
// so the result may be either operand itself (the in-place statements).
void QvVectorValue::Add(QvValueRef& result, QvValueRef& other) {
    if (isNumber(other.get())) {
        double y = other->AsNumber();
        std::vector<double>& r = resultElements(result);
        for (size_t i = 0; i < r.size(); ++i)
            r[i] = y + elements_[i];
    } else if (isVector(other.get())) {
        const std::vector<double>& v = sameSizeOperand(other, "added");
        std::vector<double>& r = resultElements(result);
        for (size_t i = 0; i < r.size(); ++i)
            r[i] = elements_[i] + v[i];
    } else {
        QvValue::Add(result, other);
    }
}

void QvVectorValue::Subtract(QvValueRef& result, QvValueRef& other) {
    if (isNumber(other.get())) {
        double y = other->AsNumber();
        std::vector<double>& r = resultElements(result);
        for (size_t i = 0; i < r.size(); ++i)
            r[i] = elements_[i] - y;
    } else if (isVector(other.get())) {
        const std::vector<double>& v = sameSizeOperand(other, "subtracted");
        std::vector<double>& r = resultElements(result);
        for (size_t i = 0; i < r.size(); ++i)
            r[i] = elements_[i] - v[i];
    } else {
        QvValue::Subtract(result, other);
    }
}

void QvVectorValue::Multiply(QvValueRef& result, QvValueRef& other) {
    if (isNumber(other.get())) {
        double y = other->AsNumber();
        std::vector<double>& r = resultElements(result);
        for (size_t i = 0; i < r.size(); ++i)
            r[i] = y * elements_[i];
    } else if (isVector(other.get())) {
        const std::vector<double>& v = sameSizeOperand(other, "multiplied");
        std::vector<double>& r = resultElements(result);
        for (size_t i = 0; i < r.size(); ++i)
            r[i] = elements_[i] * v[i];
    } else {
        QvValue::Multiply(result, other);
    }
}

// By a vector, the quotients before the first zero divisor are kept when it raises.
void QvVectorValue::Divide(QvValueRef& result, QvValueRef& other) {
    if (isNumber(other.get())) {
        double y = other->AsNumber();
        if (y == 0)
            QvError("Attempt to divide by zero");
        double reciprocal = 1 / y;
        std::vector<double>& r = resultElements(result);
        for (size_t i = 0; i < r.size(); ++i)
            r[i] = reciprocal * elements_[i];
    } else if (isVector(other.get())) {
        const std::vector<double>& v = sameSizeOperand(other, "divided");
        std::vector<double>& r = resultElements(result);
        for (size_t i = 0; i < r.size(); ++i) {
            if (v[i] == 0)
                QvError("Attempt to divide by zero");
            r[i] = elements_[i] / v[i];
        }
    } else {
        QvValue::Divide(result, other);
    }
}

bool QvVectorValue::CanHoldResult(QvTypeEnum resultType, QvValue* left) const {
    return resultType == QV_VECTOR && isVector(left) && left->AsVector().size() == elements_.size();
}

void QvVectorValue::Append(QvValue* value) {
    if (isNumber(value))
        return elements_.push_back(value->AsNumber());
    std::vector<double> numbers;
    if (!numbersToAdd(value, numbers))
        QvValue::Append(value);
    elements_.insert(elements_.end(), numbers.begin(), numbers.end());
}

void QvVectorValue::Prepend(QvValue* value) {
    QvNumberValue start(0);
    Insert(value, &start);
}

void QvVectorValue::Insert(QvValue* value, QvValue* index) {
    size_t i = writePosition(index);
    std::vector<double> numbers;
    if (!numbersToAdd(value, numbers))
        QvValue::Insert(value, index);
    padTo(i);
    elements_.insert(elements_.begin() + std::ptrdiff_t(i), numbers.begin(), numbers.end());
}

void QvVectorValue::GetIndexed(QvValueRef& out, QvValue* index, bool) {
    if (!index)
        throw new QvTypeException("number");
    double number;
    NumberAt(index->AsNumber(), number);
    out = new QvNumberValue(number);
}

bool QvVectorValue::NumberAt(double index, double& number) const {
    int64_t i = elementIndex(index);
    if (i >= int64_t(elements_.size()))
        raiseOutOfRange(i);
    number = elements_[size_t(i)];
    return true;
}

// A second index of 0 means "to the end".
void QvVectorValue::GetDoubleIndexed(QvValueRef& out, QvValue* first, QvValue* second) {
    int64_t i = elementIndex(first);
    int64_t j = elementIndex(second);
    int64_t n = int64_t(elements_.size());
    if (n == 0)
        raiseOutOfRange(i, j);
    if (j == 0)
        j = n - 1;
    if (i > j)
        QvError("Second index must be smaller than the first.");
    if (i >= n || j >= n)
        raiseOutOfRange(i, j);
    out = new QvVectorValue(std::vector<double>(elements_.begin() + i, elements_.begin() + j + 1));
}

void QvVectorValue::SetIndexed(QvValue* index, QvValueRef& value) {
    size_t i = writePosition(index);
    if (!value)
        throw new QvTypeException("number");
    double number = value->AsNumber();
    padTo(i + 1);
    elements_[i] = number;
}

bool QvVectorValue::Equal(QvValue* other) const {
    if (!isVector(other))
        throw new QvOperatorException("equality");
    return other->AsVector() == elements_;
}

std::string QvVectorValue::AsText() const {
    std::string text;
    for (size_t i = 0; i < elements_.size(); ++i) {
        if (i > 0)
            text += '\t';
        text += QvNumberValue::FormatNumber(elements_[i]);
    }
    return text;
}

const std::vector<double>& QvVectorValue::AsVector() const { return elements_; }

QvColor QvVectorValue::AsColor() const {
    if (elements_.size() != 3) {
        std::string message =
            "The vector {" + AsText() + "}\n\tNeeds three components to represent a color.\n";
        QvError(message.c_str());
    }
    return {elements_[0], elements_[1], elements_[2]};
}

void QvVectorValue::padTo(size_t length) {
    if (elements_.size() < length)
        elements_.resize(length, 0.0);
}

namespace {
QvVectorValue& vectorOf(QvVectorValue* vector) {
    if (!vector)
        throw new QvTypeException("vector");
    return *vector;
}
}  // namespace

QvVectorValue* QvVectorCreate() { return new (std::nothrow) QvVectorValue; }

void QvVectorAppend(QvVectorValue* vector, double number) { vectorOf(vector).elements().push_back(number); }

long QvVectorSize(QvVectorValue* vector) { return long(vectorOf(vector).elements().size()); }

double QvVectorGetValueAt(QvVectorValue* vector, long i) {
    const std::vector<double>& elements = vectorOf(vector).elements();
    if (i < 0)
        raiseNegativeIndex();
    if (size_t(i) >= elements.size())
        raiseOutOfRange(i);
    return elements[size_t(i)];
}

void QvVectorSetValueAt(QvVectorValue* vector, long i, double number) {
    QvNumberValue index{double(i)};
    QvValueRef value = new QvNumberValue(number);
    vectorOf(vector).SetIndexed(&index, value);
}

double QvVectorAverage(QvVectorValue* vector) { return vectorOf(vector).average(); }
double QvVectorSdev(QvVectorValue* vector) { return vectorOf(vector).sampleDeviation(); }
double QvVectorMax(QvVectorValue* vector) { return vectorOf(vector).largest().value; }
double QvVectorMin(QvVectorValue* vector) { return vectorOf(vector).smallest().value; }

namespace {
void report(QvVectorValue::Extreme extreme, long* index, double* value) {
    if (index)
        *index = long(extreme.index);
    if (value)
        *value = extreme.value;
}
}  // namespace

void QvVectorUnaryMax(QvVectorValue* vector, long* index, double* value) {
    report(vectorOf(vector).largest(), index, value);
}

void QvVectorUnaryMin(QvVectorValue* vector, long* index, double* value) {
    report(vectorOf(vector).smallest(), index, value);
}

// Ten numbers or more are drawn as a line plot; fewer are shown as their text.
void QvVectorValue::Display(QvGraphics* graphics) {
    if (!graphics) throw new QvTypeException("Hey, NULL graphics opject");
    if (elements_.size() >= kPlotThreshold)
        graphics->plotNumbers(elements_);
    else
        graphics->showText(AsText());
}

const std::vector<double>& QvTwoComponents(QvValue* value) {
    if (!value || value->GetType() != QV_VECTOR || value->AsVector().size() != 2)
        QvError("Expecting a two component vector {width,height}");
    return value->AsVector();
}
