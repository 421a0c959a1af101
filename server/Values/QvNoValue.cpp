#include "Values/QvNoValue.h"

#include <new>

#include "Errors/QvErrors.h"

QvValue* QvNoValue::Clone() const {
    QvError("Operation attempted on NULL value. Function may not have returned a result.");
}

QvTypeEnum QvNoValue::GetType() const { return QV_UNDEFINED; }

QvValue* QvNoValueCreate() { return new (std::nothrow) QvNoValue; }
