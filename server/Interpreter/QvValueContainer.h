#pragma once
#include <string>
#include <vector>

#include "Interpreter/QvArgumentSlot.h"
#include "QvExport.h"
#include "Values/QvAutoObject.h"
#include "Values/QvBlockPool.h"
#include "Values/QvNumberValue.h"
#include "Values/qv_auto_value.h"
#include "Windows/QvWindow.h"

class QvParser;

enum QvContainerKind { QV_CONTAINER_WINDOW = 0, QV_CONTAINER_VARIABLE = 1, QV_CONTAINER_UNNAMED = 2 };

// A script variable: it holds a value, refers to another container (a reference
// variable, read-only or read-write), or is empty. A window variable also owns the
// window that shows its value. References form chains without cycles; every container
// knows the containers that refer to it, so that changes and deletion reach them.
class QV_EXPORT QvValueContainer : public QvAutoObject, public QvPooled<QvValueContainer> {
public:
    // A variable holding the value (undefined when the handle is empty).
    QvValueContainer(QvValueRef value, const char* name, QvContainerKind kind, QvParser* session);
    // A variable referring to `referee`.
    QvValueContainer(QvValueContainer* referee, const char* name, QvContainerKind kind, bool writable);
    ~QvValueContainer() override;
    // What the two constructors do with the content, also for taking up a detached
    // container of a variable again under the same name.
    void holdFirstValue(QvValueRef value);
    // holdFirstValue with a new number, in the number object detachKeepingNumber kept.
    void holdFirstNumber(double number) {
        writableReference_ = false;
        if (spareNumber_) {
            static_cast<QvNumberValue*>(spareNumber_.get())->setValue(number);
            slot_.value = std::move(spareNumber_);
        } else {
            slot_.value = new QvNumberValue(number);
        }
        slot_.kind = QvArgumentSlot::Value;
    }
    void referFirstTo(QvValueContainer* referee, bool writable);
    QvValueContainer(const QvValueContainer&) = delete;
    QvValueContainer& operator=(const QvValueContainer&) = delete;

    // A variable lives on the thread of its run (and is let go on another only once the
    // run has ended), so its handles count without atomic operations; they hide the
    // base's counting for qv_auto_value<QvValueContainer>.
    void takeHolder() { takeHolderOnOneThread(); }
    void releaseHolder() { releaseHolderOnOneThread(); }

    // The value at the end of the reference chain (an empty handle for an empty end).
    const QvValueRef& getValue() const { return endOfChain()->slot_.value; }
    // The handle at the end of the chain, for changing the value in place; every hop
    // must be a read-write reference to a container that still holds something.
    QvValueRef& getValueForWrite();
    // The handle at the end of the chain, whatever the references allow.
    QvValueRef& resolvedHandle() { return endOfChain()->slot_.value; }
    bool isWritable() const { return !isReference() || isWritableChain(); }

    void setValue(QvValueRef value) {
        if (!isPlain()) return setLinkedValue(std::move(value));
        value.makeUnique();
        slot_.value = std::move(value);
        slot_.kind = QvArgumentSlot::Value;
    }
    // setValue with a new number, written into the number held when nobody else holds it.
    void setNumber(double number) {
        QvNumberValue* held = isPlain() ? QvNumberValue::unshared(slot_.value) : nullptr;
        if (!held) return setLinkedNumber(number);
        held->setValue(number);
    }
    // The number a variable holds when nothing watches or shares the variable (no
    // reference, window or referring variable): code may then work on a copy and write
    // it back with setNumber. False otherwise, or when it holds no number.
    bool plainNumber(double& number) const {
        if (!isPlain() || !QvNumberValue::isNumber(slot_.value.get())) return false;
        number = QvNumberValue::numberIn(slot_.value.get());
        return true;
    }
    // Adds 1 to the number held (the increment modifier of loops); the chain must be
    // writable and end in a number.
    void increment();
    void setReference(QvValueContainer* referee);
    // Empties this container and, recursively, every container referring to it; true
    // when there were such containers.
    bool clear();
    // Refreshes this container's window and those of every container referring to it.
    void notify() {
        if (window_ || !referees_.empty()) notifyLinked();
    }
    void setWindowPosition(double x, double y);
    // What leaving a map does: unlink from the referee, empty the referees (true when
    // there were any), close the window. A plain variable only lets go of its value.
    bool detach() {
        if (!isPlain()) return detachLinked();
        slot_.makeEmpty();
        return false;
    }
    // detach for a container kept for the next variable of its name (a function's
    // parameter): a number it held that nobody shares is kept for holdFirstNumber.
    bool detachKeepingNumber() {
        if (isPlain() && QvNumberValue::unshared(slot_.value)) {
            spareNumber_ = std::move(slot_.value);
            slot_.makeEmpty();
            return false;
        }
        return detach();
    }

    bool isEmpty() const { return slot_.kind == QvArgumentSlot::Empty; }
    bool isReference() const { return slot_.kind == QvArgumentSlot::Reference; }
    bool isWritableReference() const { return isReference() && writableReference_; }
    QvValueContainer* referee() const { return isReference() ? slot_.referee : nullptr; }
    QvContainerKind kind() const { return kind_; }
    const std::string& name() const { return kind_ == QV_CONTAINER_WINDOW ? windowName_ : name_; }
    size_t refereeCount() const { return referees_.size(); }
    QvWindow* window() const { return window_.get(); }

private:
    // A variable that is no reference and that no window or reference watches: a change
    // of its value concerns nobody else.
    bool isPlain() const { return !isReference() && !window_ && referees_.empty(); }
    void setLinkedValue(QvValueRef value);
    void setLinkedNumber(double number);
    bool isWritableChain() const;
    void notifyLinked();
    void openWindow();
    bool detachLinked();
    void linkTo(QvValueContainer* referee);
    void unlinkFromReferee();
    void removeReferee(QvValueContainer* container);
    QvValueContainer* endOfChain() const {
        const QvValueContainer* c = this;
        while (c->isReference()) c = c->slot_.referee;
        return const_cast<QvValueContainer*>(c);
    }

    QvArgumentSlot slot_;
    QvValueRef spareNumber_;
    bool writableReference_ = false;
    std::string name_;
    std::string windowName_;
    qv_auto_value<QvWindow> window_;
    std::vector<QvValueContainer*> referees_;
    QvParser* session_;
    QvContainerKind kind_;
};
