#pragma once
#include "Interpreter/QvValueContainer.h"

// A statement's target value: either a variable's own value handle or a value of its
// own. The variable's container is held so that it stays valid while the statement
// evaluates more operands; a statement that has evaluated them all may leave it unheld.
class QvOperand {
public:
    enum Hold { Held, Unheld };

    QvOperand(QvValueContainer* variable, bool writable, Hold hold = Held)
        : variable_(variable), held_(hold == Held ? variable : nullptr), writable_(writable) {}
    explicit QvOperand(QvValueRef value) : value_(std::move(value)) {}

    QvValueRef& handle() { return variable_ ? variable_->resolvedHandle() : value_; }
    QvValue* get() { return handle().get(); }
    bool writable() const { return writable_; }
    bool isVariable() const { return variable_ != nullptr; }
    // The value to change in place: a variable's value is first made its own, so that
    // no other holder sees the change; a value of its own (a live element) is used as is.
    QvValue* forWrite() {
        if (variable_) handle().makeUnique();
        return get();
    }

private:
    QvValueContainer* variable_ = nullptr;
    qv_auto_value<QvValueContainer> held_;
    QvValueRef value_;
    bool writable_ = true;
};
