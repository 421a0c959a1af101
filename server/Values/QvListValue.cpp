#include "Values/QvListValue.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"
#include "Values/QvElementIndex.h"
#include "Values/QvNumberValue.h"
#include "Values/QvValueFile.h"
#include "Values/QvValueKinds.h"
#include "Values/QvVectorValue.h"
#include "Windows/QvGraphics.h"

namespace {

// Lists nest in value files and in one another. A corrupt file could claim nesting
// deep enough to exhaust the stack, and a script can build nesting deeper than any
// recursive walk survives, so reading, writing and the text form all stop at this
// depth: the same for each, so that every list the engine saves loads back.
constexpr int deepestNesting = 1000;
thread_local int nestingDepth = 0;

class NestingGuard {
public:
    enum Walk { InFile, InText };
    explicit NestingGuard(Walk walk) {
        if (++nestingDepth > deepestNesting) {
            --nestingDepth;
            if (walk == InFile) throw new QvFileException("Lists nested too deeply.");
            QvError("Lists nested more than 1000 deep have no text form.");
        }
    }
    ~NestingGuard() { --nestingDepth; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;
};

// A picture of more samples than this (4 GiB of floats) is refused rather than attempted.
constexpr size_t mostMonoSamples = size_t(1) << 30;

[[noreturn]] void raiseOutOfRange(int64_t i) {
    QvException* error = new QvException;
    error->stream() << "List index (" << i << ") out of range.";
    throw error;
}

void requireValue(const QvValue* value) {
    if (!value)
        QvError("Operation attempted on NULL value. Function may not have returned a result.");
}

}  // namespace

QvValue* QvListValue::ReadData(std::istream& in) {
    NestingGuard guard(NestingGuard::InFile);
    uint32_t count = QvValueFile::readCount(in);
    std::unique_ptr<QvListValue> list(new QvListValue);
    for (uint32_t i = 0; i < count; ++i) {
        QvTypeEnum type = static_cast<QvTypeEnum>(QvValueFile::readInt32(in));
        QvValue* element = QvValueKinds::readData(type, in);
        if (!element)
            throw new QvFileException("Unknown element type in list data.");
        list->elements_.emplace_back(element);
    }
    return list.release();
}

QvValue* QvListValue::element(long i) const {
    if (i < 0)
        QvError("List index is negative!");
    if (size_t(i) >= elements_.size())
        raiseOutOfRange(i);
    return elements_[size_t(i)].get();
}

QvValue* QvListValue::Clone() const {
    QvListValue* copy = new QvListValue;
    copy->elements_ = elements_;
    return copy;
}

QvTypeEnum QvListValue::GetType() const { return QV_LIST; }

void QvListValue::CoerceTo(QvValueRef& out, QvTypeEnum target) {
    if (target == QV_VECTOR)
        out = asVector();
    else if (target == QV_IMAGE_MONO)
        out = QvValueKinds::fromMonoRows(QV_IMAGE_MONO, monoRows(), QV_LIST);
    else
        QvValue::CoerceTo(out, target);
}

QvValue* QvListValue::asVector() const {
    std::vector<double> numbers;
    numbers.reserve(elements_.size());
    for (const QvValueRef& element : elements_)
        numbers.push_back(element->AsNumber());
    return new QvVectorValue(std::move(numbers));
}

QvMonoRows QvListValue::monoRows() const {
    QvMonoRows rows;
    rows.height = elements_.size();
    for (const QvValueRef& element : elements_)
        rows.width = std::max(rows.width, element->AsVector().size());
    if (rows.height != 0 && rows.width > mostMonoSamples / rows.height)
        QvError("The list's rows are too long to make an image.");
    rows.samples.assign(rows.width * rows.height, 0.0f);
    float* row = rows.samples.data();
    for (const QvValueRef& element : elements_) {
        const std::vector<double>& numbers = element->AsVector();
        std::transform(numbers.begin(), numbers.end(), row, [](double x) { return float(x); });
        row += rows.width;
    }
    return rows;
}

void QvListValue::WriteData(std::ostream& out) const {
    NestingGuard guard(NestingGuard::InFile);
    QvValueFile::writeCount(out, elements_.size());
    for (const QvValueRef& element : elements_) {
        QvValueFile::writeInt32(out, element->GetType());
        element->WriteData(out);
    }
}

QvValue* QvListValue::GetProperty(QvPropertyId id) {
    double number;
    if (NumberProperty(id, number)) return new QvNumberValue(number);
    return QvValue::GetProperty(id);
}

bool QvListValue::NumberProperty(QvPropertyId id, double& number) const {
    if (id != QV_PROPERTY_LENGTH) return false;
    number = double(elements_.size());
    return true;
}

QvPropertyId QvListValue::PropertyId(const std::string& name) const {
    return name == "length" ? QV_PROPERTY_LENGTH : QvValue::PropertyId(name);
}

// A list appended to itself goes in as a copy: holding itself, it would never die.
void QvListValue::Append(QvValue* value) {
    requireValue(value);
    if (value == this)
        elements_.emplace_back(Clone());
    else
        elements_.emplace_back(value);
}

void QvListValue::Prepend(QvValue* value) {
    QvNumberValue start(0);
    Insert(value, &start);
}

void QvListValue::Insert(QvValue* value, QvValue* index) {
    size_t i;
    if (!position(index, i))
        QvError("Cannot insert an element after the end of a list");
    requireValue(value);
    QvValueRef inserted = value == this ? Clone() : value;
    elements_.insert(elements_.begin() + std::ptrdiff_t(i), std::move(inserted));
}

void QvListValue::GetIndexed(QvValueRef& out, QvValue* index, bool forUpdate) {
    int64_t i = QvTruncatedIndex(index);
    if (i < 0 || uint64_t(i) >= elements_.size())
        raiseOutOfRange(i);
    QvValueRef& element = elements_[size_t(i)];
    if (forUpdate)
        element.makeUnique();
    out = element;
}

void QvListValue::SetIndexed(QvValue* index, QvValueRef& value) {
    size_t i;
    if (!position(index, i))
        QvError("Index too big. Use append to add elements to the end of a list.");
    requireValue(value.get());
    elements_[i] = value.get() == this ? QvValueRef(Clone()) : value;
}

void QvListValue::DeleteElement(QvValue* index) {
    size_t i;
    if (!position(index, i))
        QvError("Index too big. Can't delete elements not in the list.");
    elements_.erase(elements_.begin() + std::ptrdiff_t(i));
}

std::string QvListValue::AsText() const {
    NestingGuard guard(NestingGuard::InText);
    std::string text;
    for (size_t i = 0; i < elements_.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += elements_[i]->AsText();
    }
    return text;
}

// Negative indexes count as beyond the end.
bool QvListValue::position(QvValue* index, size_t& i) const {
    int64_t truncated = QvTruncatedIndex(index);
    if (truncated < 0 || uint64_t(truncated) >= elements_.size())
        return false;
    i = size_t(truncated);
    return true;
}

QvListValue* QvListCreate() { return new (std::nothrow) QvListValue; }

void QvListAppend(QvListValue* list, QvValue* value) {
    if (!list)
        throw new QvTypeException("list");
    if (value)
        list->Append(value);
}

// A list keeps the window's default size and shows its text form.
void QvListValue::Display(QvGraphics* graphics) {
    if (!graphics) throw new QvTypeException("Hey, NULL graphics opject.");
    graphics->showText(AsText());
}
