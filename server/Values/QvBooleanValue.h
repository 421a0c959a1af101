#pragma once
#include <istream>

#include "QvExport.h"
#include "Values/QvValue.h"

class QV_EXPORT QvBooleanValue : public QvValue {
public:
    explicit QvBooleanValue(bool flag = false) : flag_(flag) {}

    static QvValue* ReadData(std::istream& in);

    QvValue* Clone() const override;
    QvTypeEnum GetType() const override;
    void WriteData(std::ostream& out) const override;

    // The other operand's boolean form is always asked for, before this flag is used.
    bool Equal(QvValue* other) const override;
    bool And(QvValue* other) const override;
    bool Or(QvValue* other) const override;
    bool Not() const override;

    std::string AsText() const override;
    bool AsBoolean() const override;

private:
    bool flag_;
};

QV_C_EXPORT QvValue* QvBooleanCreate(int flag);
