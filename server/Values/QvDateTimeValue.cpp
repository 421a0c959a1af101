#include "Values/QvDateTimeValue.h"

#include <cmath>
#include <cstdint>

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"
#include "Values/QvNumberValue.h"
#include "Values/QvValueFile.h"

namespace {

// Field values are kept within 16 bits; larger ones are refused instead of wrapping.
int fieldValue(QvValue* value) {
    if (!value)
        throw new QvTypeException("number");
    double field = std::trunc(value->AsNumber());
    if (!(field >= -32768 && field <= 32767))
        QvError("A date field must lie between -32768 and 32767.");
    return int(field);
}

bool isDate(const QvValue* value) { return value && value->GetType() == QV_DATE; }

}  // namespace

QvDateTimeValue* QvDateTimeValue::fromLiteral(const QvDateFields& fields) {
    QvDateTime date;
    if (fields.hasDate) {
        date.calendar.tm_mday = fields.day;
        date.calendar.tm_mon = fields.month - 1;
        date.calendar.tm_year = fields.year - 1900;
        date.timeOnly = fields.day == 0;
    } else {
        date.calendar = QvDateTime::now().calendar;
        date.timeOnly = true;
    }
    date.calendar.tm_hour = fields.hour;
    date.calendar.tm_min = fields.minute;
    date.calendar.tm_sec = fields.second;
    date.calendar.tm_isdst = -1;
    date.timestamp();
    return new QvDateTimeValue(date);
}

QvValue* QvDateTimeValue::ReadData(std::istream& in) {
    QvDateTime date;
    std::tm& c = date.calendar;
    for (int* field : {&c.tm_sec, &c.tm_min, &c.tm_hour, &c.tm_mday, &c.tm_mon, &c.tm_year, &c.tm_wday, &c.tm_yday,
                       &c.tm_isdst})
        *field = QvValueFile::readInt32(in);
    unsigned char timeOnly;
    QvValueFile::readBytes(in, &timeOnly, 1);
    date.timeOnly = timeOnly != 0;
    uint32_t low = uint32_t(QvValueFile::readInt32(in));
    uint32_t high = uint32_t(QvValueFile::readInt32(in));
    date.clockTicks = int64_t((uint64_t(high) << 32) | low);
    return new QvDateTimeValue(date);
}

void QvDateTimeValue::WriteData(std::ostream& out) const {
    const std::tm& c = date_.calendar;
    for (int field : {c.tm_sec, c.tm_min, c.tm_hour, c.tm_mday, c.tm_mon, c.tm_year, c.tm_wday, c.tm_yday, c.tm_isdst})
        QvValueFile::writeInt32(out, field);
    unsigned char timeOnly = date_.timeOnly ? 1 : 0;
    QvValueFile::writeBytes(out, &timeOnly, 1);
    uint64_t ticks = uint64_t(date_.clockTicks);
    QvValueFile::writeInt32(out, int32_t(uint32_t(ticks)));
    QvValueFile::writeInt32(out, int32_t(uint32_t(ticks >> 32)));
}

QvValue* QvDateTimeValue::Clone() const { return new QvDateTimeValue(date_); }

QvTypeEnum QvDateTimeValue::GetType() const { return QV_DATE; }

QvValue* QvDateTimeValue::GetProperty(QvPropertyId id) {
    const std::tm& c = date_.calendar;
    switch (id) {
    case QV_PROPERTY_SECOND:
        return new QvNumberValue(c.tm_sec);
    case QV_PROPERTY_MINUTE:
        return new QvNumberValue(c.tm_min);
    case QV_PROPERTY_HOUR:
        return new QvNumberValue(c.tm_hour);
    case QV_PROPERTY_DAY_OF_WEEK:
        return new QvNumberValue(c.tm_wday);
    case QV_PROPERTY_DAY_OF_MONTH:
        return new QvNumberValue(c.tm_mday);
    case QV_PROPERTY_MONTH:
        return new QvNumberValue(c.tm_mon + 1);
    case QV_PROPERTY_YEAR:
        return new QvNumberValue(double(c.tm_year) + 1900);
    case QV_PROPERTY_WEEK:
        throw new QvInvalidPropertyException;
    default:
        return QvValue::GetProperty(id);
    }
}

QvPropertyId QvDateTimeValue::PropertyId(const std::string& name) const {
    static const struct {
        const char* name;
        QvPropertyId id;
    } names[] = {{"second", QV_PROPERTY_SECOND},
                 {"minute", QV_PROPERTY_MINUTE},
                 {"hour", QV_PROPERTY_HOUR},
                 {"day_of_week", QV_PROPERTY_DAY_OF_WEEK},
                 {"day_of_month", QV_PROPERTY_DAY_OF_MONTH},
                 {"week", QV_PROPERTY_WEEK},
                 {"month", QV_PROPERTY_MONTH},
                 {"year", QV_PROPERTY_YEAR}};
    for (const auto& entry : names)
        if (name == entry.name)
            return entry.id;
    return QvValue::PropertyId(name);
}

void QvDateTimeValue::SetProperty(QvPropertyId id, QvValue* value) {
    std::tm& c = date_.calendar;
    int* field = nullptr;
    int offset = 0;
    switch (id) {
    case QV_PROPERTY_SECOND:
        field = &c.tm_sec;
        break;
    case QV_PROPERTY_MINUTE:
        field = &c.tm_min;
        break;
    case QV_PROPERTY_HOUR:
        field = &c.tm_hour;
        break;
    case QV_PROPERTY_DAY_OF_WEEK:
        field = &c.tm_wday;
        break;
    case QV_PROPERTY_DAY_OF_MONTH:
        field = &c.tm_mday;
        break;
    case QV_PROPERTY_MONTH:
        field = &c.tm_mon;
        offset = -1;
        break;
    case QV_PROPERTY_YEAR:
        field = &c.tm_year;
        offset = -1900;
        break;
    case QV_PROPERTY_WEEK:
        QvError("Unknown property name");
    default:
        return QvValue::SetProperty(id, value);
    }
    *field = fieldValue(value) + offset;
    if (id == QV_PROPERTY_DAY_OF_MONTH)
        date_.timeOnly = c.tm_mday == 0;
    // The fields no longer say whether summer time applies; the conversion decides.
    c.tm_isdst = -1;
    date_.clockTicks = 0;
}

QvDateTime& QvDateTimeValue::resultDate(QvValueRef& result) {
    if (!isDate(result.get()))
        QvError("Arithmetic result is not a date, please submit a bug report (with sample code).");
    return static_cast<QvDateTimeValue&>(*result).date_;
}

void QvDateTimeValue::Add(QvValueRef& result, QvValueRef& other) {
    if (!other || other->GetType() != QV_NUMBER)
        return QvValue::Add(result, other);
    QvDateTime shifted = date_;
    shifted.addSeconds(other->AsNumber());
    resultDate(result) = shifted;
}

void QvDateTimeValue::Subtract(QvValueRef& result, QvValueRef& other) {
    if (other && other->GetType() == QV_NUMBER) {
        QvDateTime shifted = date_;
        shifted.addSeconds(-other->AsNumber());
        resultDate(result) = shifted;
    } else if (isDate(other.get())) {
        double seconds = date_.secondsSince(other->AsDate());
        if (!result || result->GetType() != QV_NUMBER)
            QvError("Arithmetic result is not a number, please submit a bug report (with sample code).");
        static_cast<QvNumberValue&>(*result).setValue(seconds);
    } else {
        QvValue::Subtract(result, other);
    }
}

double QvDateTimeValue::comparedWith(QvValue* other, const char* op) const {
    if (!isDate(other))
        throw new QvOperatorException(op);
    return date_.secondsSince(other->AsDate());
}

bool QvDateTimeValue::Equal(QvValue* other) const { return comparedWith(other, "==") == 0; }
bool QvDateTimeValue::NotEqual(QvValue* other) const { return comparedWith(other, "!=") != 0; }
bool QvDateTimeValue::Less(QvValue* other) const { return comparedWith(other, "<") < 0; }
bool QvDateTimeValue::LessOrEqual(QvValue* other) const { return comparedWith(other, "<=") <= 0; }
bool QvDateTimeValue::Greater(QvValue* other) const { return comparedWith(other, ">") > 0; }
bool QvDateTimeValue::GreaterOrEqual(QvValue* other) const { return comparedWith(other, ">=") >= 0; }

std::string QvDateTimeValue::AsText() const { return date_.text(); }

const QvDateTime& QvDateTimeValue::AsDate() const { return date_; }
