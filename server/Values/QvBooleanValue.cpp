#include "Values/QvBooleanValue.h"

#include <new>

#include "Errors/QvExceptions.h"
#include "Values/QvValueFile.h"

namespace {
bool booleanOf(QvValue* other) {
    if (!other)
        throw new QvTypeException("boolean");
    return other->AsBoolean();
}
}  // namespace

QvValue* QvBooleanValue::ReadData(std::istream& in) {
    unsigned char byte;
    QvValueFile::readBytes(in, &byte, 1);
    return new QvBooleanValue(byte != 0);
}

QvValue* QvBooleanValue::Clone() const { return new QvBooleanValue(flag_); }

QvTypeEnum QvBooleanValue::GetType() const { return QV_BOOLEAN; }

void QvBooleanValue::WriteData(std::ostream& out) const {
    unsigned char byte = flag_ ? 1 : 0;
    QvValueFile::writeBytes(out, &byte, 1);
}

bool QvBooleanValue::Equal(QvValue* other) const { return booleanOf(other) == flag_; }

bool QvBooleanValue::And(QvValue* other) const {
    bool otherFlag = booleanOf(other);
    return otherFlag && flag_;
}

bool QvBooleanValue::Or(QvValue* other) const {
    bool otherFlag = booleanOf(other);
    return otherFlag || flag_;
}

bool QvBooleanValue::Not() const { return !flag_; }

std::string QvBooleanValue::AsText() const { return flag_ ? "true" : "false"; }

bool QvBooleanValue::AsBoolean() const { return flag_; }

QvValue* QvBooleanCreate(int flag) { return new (std::nothrow) QvBooleanValue(flag != 0); }
