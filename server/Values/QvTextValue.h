#pragma once
#include <cstdint>
#include <istream>
#include <string>

#include "QvExport.h"
#include "Values/QvValue.h"

// A byte string. Indexes are the floor of a value's number form and count from 0.
class QV_EXPORT QvTextValue : public QvValue {
public:
    QvTextValue() = default;
    explicit QvTextValue(std::string text) : text_(std::move(text)) {}

    // The rest of the stream is the text.
    static QvValue* ReadData(std::istream& in);

    const std::string& text() const { return text_; }

    QvValue* Clone() const override;
    QvTypeEnum GetType() const override;
    void CoerceTo(QvValueRef& out, QvTypeEnum target) override;
    // Texts are saved as their bytes alone, without the value-file header.
    void SaveToFile(const std::string& path) const override;

    QvValue* GetProperty(QvPropertyId id) override;
    bool NumberProperty(QvPropertyId id, double& number) const override;
    QvPropertyId PropertyId(const std::string& name) const override;

    void Add(QvValueRef& result, QvValueRef& other) override;

    void Append(QvValue* value) override;
    void Prepend(QvValue* value) override;
    void Insert(QvValue* value, QvValue* index) override;
    void GetDoubleIndexed(QvValueRef& out, QvValue* i, QvValue* j) override;
    void GetIndexed(QvValueRef& out, QvValue* index, bool forUpdate) override;
    void SetIndexed(QvValue* index, QvValueRef& value) override;

    bool Equal(QvValue* other) const override;

    std::string AsText() const override;

    virtual void AppendCString(const char* bytes);

private:
    // Pads with spaces up to `length` (for writes past the end).
    void padTo(int64_t length);

    std::string text_;
};

QV_C_EXPORT QvValue* QvTextCreate(const char* text);
QV_C_EXPORT QvValue* QvTextCreateFromPointer(const char* bytes, long length);
QV_C_EXPORT const char* QvTextGetTextPtr(QvValue* text);
