#pragma once
#include <cstddef>
#include <istream>
#include <vector>

#include "QvExport.h"
#include "Values/QvValue.h"
#include "Values/QvValueKinds.h"

// An ordered sequence of values of any type. Elements are shared, not copied: a list
// holds a handle to each element, and copy-on-write protects shared elements.
// Clones are shallow. Indexes are the index value's number truncated towards zero.
class QV_EXPORT QvListValue : public QvValue {
public:
    QvListValue() = default;

    // An element count, then each element's type code and data.
    static QvValue* ReadData(std::istream& in);

    size_t size() const { return elements_.size(); }
    // Element access for engine code with a signed index; raises for an index outside the list.
    QvValue* element(long i) const;
    // The elements' vectors as the rows of a picture, short rows padded with zeros.
    QvMonoRows monoRows() const;

    QvValue* Clone() const override;
    void Display(QvGraphics* graphics) override;
    QvTypeEnum GetType() const override;
    void CoerceTo(QvValueRef& out, QvTypeEnum target) override;
    void WriteData(std::ostream& out) const override;

    QvValue* GetProperty(QvPropertyId id) override;
    bool NumberProperty(QvPropertyId id, double& number) const override;
    QvPropertyId PropertyId(const std::string& name) const override;

    void Append(QvValue* value) override;
    void Prepend(QvValue* value) override;
    void Insert(QvValue* value, QvValue* index) override;
    // With `forUpdate`, a shared element is first replaced by its own copy, so that
    // writing into what this returns changes this list only.
    void GetIndexed(QvValueRef& out, QvValue* index, bool forUpdate) override;
    void SetIndexed(QvValue* index, QvValueRef& value) override;
    void DeleteElement(QvValue* index) override;

    std::string AsText() const override;

private:
    // The position an index value names, if it names an element of this list.
    bool position(QvValue* index, size_t& i) const;
    QvValue* asVector() const;

    std::vector<QvValueRef> elements_;
};

QV_C_EXPORT QvListValue* QvListCreate();
// The list adopts a value nobody holds yet, and shares one that is held; null is ignored.
QV_C_EXPORT void QvListAppend(QvListValue* list, QvValue* value);
