#include "Values/QvTextValue.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <new>
#include <sstream>
#include <vector>

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"
#include "Values/QvNumberValue.h"
#include "Values/QvValueFile.h"
#include "Values/QvValueKinds.h"

namespace {

// Writes past the end pad the text with spaces; beyond this length that would only
// exhaust memory, so such an index is out of range.
constexpr int64_t longestPaddedText = int64_t(1) << 30;

// The floor of the index value's number, kept within 64 bits (NaN counts as too large).
int64_t indexOf(QvValue* index) {
    if (!index)
        throw new QvTypeException("number");
    double position = std::floor(index->AsNumber());
    if (!(position < 9.2e18))
        return std::numeric_limits<int64_t>::max();
    if (position < -9.2e18)
        return std::numeric_limits<int64_t>::min() / 2;
    return int64_t(position);
}

std::string textOf(QvValue* value) {
    if (!value)
        throw new QvTypeException("text");
    return value->AsText();
}

[[noreturn]] void raiseNegativeIndex() { QvError("Text index is negative!"); }

[[noreturn]] void raiseOutOfRange(int64_t i) {
    QvException* error = new QvException;
    error->stream() << "Text index (" << i << ") out of range.";
    throw error;
}

[[noreturn]] void raiseOutOfRange(int64_t i, int64_t j) {
    QvException* error = new QvException;
    error->stream() << "Text index (" << i << "," << j << ") out of range.";
    throw error;
}

// Reading positions count back from the end when negative: i + n - 1.
int64_t fromEnd(int64_t i, int64_t length) { return i < 0 ? i + length - 1 : i; }

// Writing positions may not be negative and may not pad beyond reason.
int64_t writePosition(QvValue* index) {
    int64_t i = indexOf(index);
    if (i < 0)
        raiseNegativeIndex();
    if (i > longestPaddedText)
        raiseOutOfRange(i);
    return i;
}

std::vector<double> numbersIn(const std::string& text) {
    std::istringstream in(text);
    std::vector<double> numbers;
    double number;
    while (in >> number)
        numbers.push_back(number);
    return numbers;
}

std::vector<std::string> wordsIn(const std::string& text) {
    std::istringstream in(text);
    return std::vector<std::string>(std::istream_iterator<std::string>(in), std::istream_iterator<std::string>());
}

QvTextValue& resultText(QvValueRef& result) {
    if (!result || result->GetType() != QV_TEXT)
        QvError("Arithmetic result is not a text, please submit a bug report (with sample code).");
    return static_cast<QvTextValue&>(*result);
}

}  // namespace

QvValue* QvTextValue::ReadData(std::istream& in) {
    return new QvTextValue(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

QvValue* QvTextValue::Clone() const { return new QvTextValue(text_); }

QvTypeEnum QvTextValue::GetType() const { return QV_TEXT; }

void QvTextValue::CoerceTo(QvValueRef& out, QvTypeEnum target) {
    if (target == QV_NUMBER) {
        std::istringstream in(text_);
        double number;
        out = new QvNumberValue(in >> number ? number : 0);
    } else if (target == QV_VECTOR) {
        out = QvValueKinds::fromNumbers(QV_VECTOR, numbersIn(text_), QV_TEXT);
    } else if (target == QV_LIST) {
        out = QvValueKinds::fromWords(QV_LIST, wordsIn(text_), QV_TEXT);
    } else {
        QvValue::CoerceTo(out, target);
    }
}

void QvTextValue::SaveToFile(const std::string& path) const { QvValueFile::saveText(text_, path); }

QvValue* QvTextValue::GetProperty(QvPropertyId id) {
    double number;
    if (NumberProperty(id, number)) return new QvNumberValue(number);
    return QvValue::GetProperty(id);
}

bool QvTextValue::NumberProperty(QvPropertyId id, double& number) const {
    if (id != QV_PROPERTY_LENGTH) return false;
    number = double(text_.size());
    return true;
}

QvPropertyId QvTextValue::PropertyId(const std::string& name) const {
    return name == "length" ? QV_PROPERTY_LENGTH : QvValue::PropertyId(name);
}

void QvTextValue::Add(QvValueRef& result, QvValueRef& other) {
    std::string joined = text_ + textOf(other.get());
    resultText(result).text_ = std::move(joined);
}

void QvTextValue::Append(QvValue* value) { text_ += textOf(value); }

void QvTextValue::Prepend(QvValue* value) { text_.insert(0, textOf(value)); }

void QvTextValue::AppendCString(const char* bytes) {
    if (bytes)
        text_ += bytes;
}

void QvTextValue::Insert(QvValue* value, QvValue* index) {
    int64_t i = writePosition(index);
    std::string inserted = textOf(value);
    if (i < int64_t(text_.size())) {
        text_.insert(size_t(i), inserted);
    } else {
        padTo(i);
        text_ += inserted;
    }
}

void QvTextValue::SetIndexed(QvValue* index, QvValueRef& value) {
    int64_t i = writePosition(index);
    std::string replacement = textOf(value.get());
    if (i < int64_t(text_.size())) {
        text_.replace(size_t(i), 1, replacement);
    } else {
        padTo(i);
        text_ += replacement;
    }
}

void QvTextValue::GetIndexed(QvValueRef& out, QvValue* index, bool) {
    int64_t length = int64_t(text_.size());
    int64_t i = fromEnd(indexOf(index), length);
    if (i < 0)
        raiseNegativeIndex();
    if (i >= length)
        raiseOutOfRange(i);
    out = new QvTextValue(std::string(1, text_[size_t(i)]));
}

// A second index of 0 means "to the end".
void QvTextValue::GetDoubleIndexed(QvValueRef& out, QvValue* first, QvValue* second) {
    int64_t length = int64_t(text_.size());
    int64_t i = fromEnd(indexOf(first), length);
    int64_t j = fromEnd(indexOf(second), length);
    if (j == 0)
        j = length - 1;
    if (i > j)
        QvError("Second index must be smaller than the first.");
    if (i < 0 || j < 0)
        raiseNegativeIndex();
    if (i >= length || j >= length)
        raiseOutOfRange(i, j);
    out = new QvTextValue(text_.substr(size_t(i), size_t(j - i + 1)));
}

bool QvTextValue::Equal(QvValue* other) const { return text_ == textOf(other); }

std::string QvTextValue::AsText() const { return text_; }

void QvTextValue::padTo(int64_t length) {
    if (int64_t(text_.size()) < length)
        text_.resize(size_t(length), ' ');
}

QvValue* QvTextCreate(const char* text) {
    try {
        return new QvTextValue(text ? text : "");
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

QvValue* QvTextCreateFromPointer(const char* bytes, long length) {
    if (length < 0 || (!bytes && length > 0))
        QvError("QvTextCreateFromPointer needs a text pointer and a length of at least 0.");
    try {
        return new QvTextValue(std::string(bytes ? bytes : "", size_t(length)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const char* QvTextGetTextPtr(QvValue* text) {
    if (!text || text->GetType() != QV_TEXT)
        throw new QvTypeException("text");
    return static_cast<QvTextValue*>(text)->text().c_str();
}
