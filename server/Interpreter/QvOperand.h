#pragma once
#include "Interpreter/QvValueContainer.h"

// A statement's target value: either a variable's own value handle (the container is
// held so that it stays valid while the statement runs) or a value of its own.
class QvOperand {
public:
    QvOperand(QvValueContainer* variable, bool writable) : variable_(variable), writable_(writable) {}
    explicit QvOperand(QvValueRef value) : value_(std::move(value)) {}

    QvValueRef& handle() { return variable_ ? variable_->resolvedHandle() : value_; }
    QvValue* get() { return handle().get(); }
    bool writable() const { return writable_; }
    bool isVariable() const { return bool(variable_); }
    // The value to change in place: a variable's value is first made its own, so that
    // no other holder sees the change; a value of its own (a live element) is used as is.
    QvValue* forWrite() {
        if (variable_) handle().makeUnique();
        return get();
    }

private:
    qv_auto_value<QvValueContainer> variable_;
    QvValueRef value_;
    bool writable_ = true;
};
