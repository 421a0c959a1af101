#include "Interpreter/QvValueContainer.h"

#include <algorithm>
#include <cmath>

#include "Errors/QvErrors.h"
#include "Values/QvNoValue.h"
#include "Values/QvNumberValue.h"

QvValueContainer::QvValueContainer(QvValueRef value, const char* name, QvContainerKind kind,
                                   QvParser* session)
    : session_(session), kind_(kind) {
    (kind == QV_CONTAINER_WINDOW ? windowName_ : name_) = name;
    holdFirstValue(std::move(value));
    if (kind == QV_CONTAINER_WINDOW) openWindow();
}

QvValueContainer::QvValueContainer(QvValueContainer* referee, const char* name, QvContainerKind kind,
                                   bool writable)
    : session_(nullptr), kind_(kind) {
    if (!referee) QvError("can't reference NULL container");
    session_ = referee->session_;
    (kind == QV_CONTAINER_WINDOW ? windowName_ : name_) = name;
    referFirstTo(referee, writable);
    if (kind == QV_CONTAINER_WINDOW) openWindow();
}

void QvValueContainer::holdFirstValue(QvValueRef value) {
    writableReference_ = false;
    if (value)
        setValue(std::move(value));
    else {
        slot_.value = new QvNoValue;
        slot_.kind = QvArgumentSlot::Value;
    }
}

void QvValueContainer::referFirstTo(QvValueContainer* referee, bool writable) {
    writableReference_ = writable;
    linkTo(referee);
}

QvValueContainer::~QvValueContainer() { detach(); }

void QvValueContainer::openWindow() { window_ = new QvWindow(getValue(), windowName_, session_); }

QvValueRef& QvValueContainer::getValueForWrite() {
    QvValueContainer* c = this;
    while (c->isReference()) {
        if (!c->writableReference_) QvError("Attempt to modify a read-only reference.");
        c = c->slot_.referee;
        if (c->isEmpty()) QvError("Reference to an invalid variable.");
    }
    return c->slot_.value;
}

bool QvValueContainer::isWritableChain() const {
    for (const QvValueContainer* c = this; c->isReference(); c = c->slot_.referee)
        if (!c->writableReference_) return false;
    return true;
}

// Writes go through read-write references; a read-only reference is dropped and the
// variable becomes independent. A shared value is copied so that holders stay apart.
void QvValueContainer::setLinkedValue(QvValueRef value) {
    QvValueContainer* c = this;
    while (c->isWritableReference()) c = c->slot_.referee;
    if (c->isReference()) c->unlinkFromReferee();
    value.makeUnique();
    c->slot_.referee = nullptr;
    c->slot_.value = std::move(value);
    c->slot_.kind = QvArgumentSlot::Value;
    c->notify();
}

void QvValueContainer::setLinkedNumber(double number) {
    QvValueContainer* c = this;
    while (c->isWritableReference()) c = c->slot_.referee;
    if (QvNumberValue* held = QvNumberValue::unshared(c->slot_.value)) {
        held->setValue(number);
        c->notify();
        return;
    }
    setValue(new QvNumberValue(number));
}

void QvValueContainer::increment() {
    if (!isWritable()) QvError("Attempt to increment a reference");
    QvValueRef& handle = resolvedHandle();
    if (!QvNumberValue::isNumber(handle.get())) QvError("Increment variable must be a number.");
    handle.makeUnique();
    QvNumberValue& number = static_cast<QvNumberValue&>(*handle);
    number.setValue(number.value() + 1.0);
    notify();
}

void QvValueContainer::setReference(QvValueContainer* referee) {
    QvValueContainer* target = this;
    while (target->isWritableReference()) target = target->slot_.referee;
    for (QvValueContainer* r = referee; r; r = r->referee())
        if (r == target) QvError("Attempt to create circular reference.");
    if (!referee) QvError("setReference to NULL container");
    if (target->isReference()) target->unlinkFromReferee();
    target->slot_.value.reset();
    target->linkTo(referee);
    target->notify();
}

void QvValueContainer::linkTo(QvValueContainer* referee) {
    slot_.referee = referee;
    slot_.kind = QvArgumentSlot::Reference;
    referee->referees_.push_back(this);
}

void QvValueContainer::unlinkFromReferee() {
    if (!isReference()) return;
    slot_.referee->removeReferee(this);
    slot_.makeEmpty();
}

void QvValueContainer::removeReferee(QvValueContainer* container) {
    auto found = std::find(referees_.begin(), referees_.end(), container);
    if (found != referees_.end()) referees_.erase(found);
}

bool QvValueContainer::clear() {
    slot_.makeEmpty();
    if (referees_.empty()) return false;
    std::vector<QvValueContainer*> referees;
    referees.swap(referees_);
    for (QvValueContainer* r : referees) {
        r->slot_.makeEmpty();
        r->clear();
    }
    return true;
}

void QvValueContainer::notifyLinked() {
    if (window_) window_->refresh(getValue());
    for (size_t i = 0; i < referees_.size(); ++i) referees_[i]->notify();
}

void QvValueContainer::setWindowPosition(double x, double y) {
    if (window_) window_->setPosition(short(std::trunc(x)), short(std::trunc(y)));
}

bool QvValueContainer::detachLinked() {
    unlinkFromReferee();
    bool emptiedReferees = clear();
    window_.reset();
    return emptiedReferees;
}
