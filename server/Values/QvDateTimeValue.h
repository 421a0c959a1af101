#pragma once
#include <istream>

#include "FrontEnd/QvDateFields.h"
#include "QvExport.h"
#include "Values/QvDateTime.h"
#include "Values/QvValue.h"

// A date: seconds can be added and subtracted, two dates subtract to seconds and
// compare, and the calendar fields read and write as properties.
class QV_EXPORT QvDateTimeValue : public QvValue {
public:
    // The current moment.
    QvDateTimeValue() : date_(QvDateTime::now()) {}
    explicit QvDateTimeValue(const QvDateTime& date) : date_(date) {}

    // A date or time literal of a script. A time of day alone is today at that time,
    // and prints as the time only.
    static QvDateTimeValue* fromLiteral(const QvDateFields& fields);
    // The nine calendar fields (32-bit each, in the C library's order), the
    // time-only flag (one byte) and the clock reading (64-bit), little-endian.
    static QvValue* ReadData(std::istream& in);

    const QvDateTime& date() const { return date_; }

    QvValue* Clone() const override;
    QvTypeEnum GetType() const override;
    void WriteData(std::ostream& out) const override;

    QvValue* GetProperty(QvPropertyId id) override;
    QvPropertyId PropertyId(const std::string& name) const override;
    // Stores the field as given (normalised by the next conversion) and drops the
    // clock reading.
    void SetProperty(QvPropertyId id, QvValue* value) override;

    void Add(QvValueRef& result, QvValueRef& other) override;
    void Subtract(QvValueRef& result, QvValueRef& other) override;

    bool Equal(QvValue* other) const override;
    bool Less(QvValue* other) const override;
    bool LessOrEqual(QvValue* other) const override;
    bool Greater(QvValue* other) const override;
    bool GreaterOrEqual(QvValue* other) const override;
    bool NotEqual(QvValue* other) const override;

    std::string AsText() const override;
    const QvDateTime& AsDate() const override;

private:
    static QvDateTime& resultDate(QvValueRef& result);
    // this - other in seconds; other must be a date, else the operator error for `op`.
    double comparedWith(QvValue* other, const char* op) const;

    QvDateTime date_;
};
