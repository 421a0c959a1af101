#include "Interpreter/QvTreeEval.h"

#include <iostream>

#include "Errors/QvExceptions.h"
#include "Errors/QvYieldState.h"
#include "Interpreter/QvArgumentBlock.h"
#include "Session/QvParser.h"

QvTreeEval::QvTreeEval(QvParser* session, QvTreeEval* outer) : TreeEval(session, outer) {
    if (session && !outer) values_.useLayout(&session->topLevelLayout());
}

QvTreeEval::~QvTreeEval() {
    spareCallEvaluators_.clear();
    removeAllVariables();
}

QvValueContainer* QvTreeEval::getContainerCreate(unsigned hash, const char* name, bool circular) {
    return created(values_.find(hash, name), hash, name, circular);
}

QvValueContainer* QvTreeEval::getContainer(unsigned hash, const char* name) {
    return existing(values_.find(hash, name), name);
}


QvValueContainer* QvTreeEval::getWindowContainer(unsigned hash, const char* name) {
    QvValueContainer* container = windows_.find(hash, name);
    if (!container) throw new QvIdentifierException(name);
    return container;
}

void QvTreeEval::incrementVariable(bool global, unsigned hash, const char* name) {
    QvTreeEval& where = global && outer_ ? *outerEvaluator() : *this;
    where.readable(where.values_.find(hash, name), name)->increment();
}

void QvTreeEval::notifyHolders(QvValue* value) {
    if (!windowsInReach()) return;
    auto tellHolders = [value](const std::string&, QvValueContainer* c) {
        if (c->getValue().get() == value) c->notify();
    };
    values_.forEach(tellHolders);
    windows_.forEach(tellHolders);
    if (QvTreeEval* outer = outerEvaluator()) outer->notifyHolders(value);
}

void QvTreeEval::notifyVariable(unsigned hash, const char* name) {
    QvValueContainer* container = values_.find(hash, name);
    if (!container) throw new QvIdentifierException(name);
    container->notify();
}

QvValueRef QvTreeEval::getValue(unsigned hash, const char* name, bool& writable) {
    QvValueContainer* container = readable(values_.find(hash, name), name);
    writable = container->isWritable();
    return container->getValue();
}

bool QvTreeEval::hasVariable(unsigned hash, const char* name) { return values_.find(hash, name) != nullptr; }

QvValueRef QvTreeEval::getWindowValue(unsigned hash, const char* name, bool& writable) {
    QvValueContainer* container = getWindowContainer(hash, name);
    writable = container->isWritable();
    return container->getValue();
}

void QvTreeEval::setVariable(unsigned hash, const char* name, QvValueRef value) {
    QvYield();
    if (QvValueContainer* container = values_.find(hash, name))
        container->setValue(std::move(value));
    else
        values_.insert(hash, new QvValueContainer(std::move(value), name, QV_CONTAINER_VARIABLE, session_));
}

void QvTreeEval::setParameter(const AST* identifier, QvValueRef value) {
    if (QvValueContainer* container = values_.find(identifier))
        container->setValue(std::move(value));
    else if (values_.residesHere(identifier))
        values_.addResident(identifier, std::move(value), session_);
    else
        values_.insert(identifier, newVariable(identifier, std::move(value)));
}

void QvTreeEval::setReferenceParameter(const AST* identifier, QvValueContainer* container) {
    if (QvValueContainer* existing = values_.find(identifier)) {
        existing->setReference(container);
        return;
    }
    if (!container) QvError("can't reference NULL container");
    QvValueMap::ContainerRef variable = values_.takeSpare(identifier);
    if (variable)
        variable->referFirstTo(container, true);
    else
        variable = new QvValueContainer(container, identifier->getText(), QV_CONTAINER_VARIABLE, true);
    values_.insert(identifier, std::move(variable));
}

void QvTreeEval::setWindowVariable(unsigned hash, const char* name, QvValueRef value) {
    QvYield();
    if (QvValueContainer* container = windows_.find(hash, name))
        container->setValue(std::move(value));
    else
        windows_.insert(hash, new QvValueContainer(std::move(value), name, QV_CONTAINER_WINDOW, session_));
}

void QvTreeEval::setReference(unsigned hash, const char* name, QvValueContainer* container, bool writable) {
    QvYield();
    if (QvValueContainer* existing = values_.find(hash, name))
        existing->setReference(container);
    else
        values_.insert(hash, new QvValueContainer(container, name, QV_CONTAINER_VARIABLE, writable));
}

void QvTreeEval::setWindowReference(unsigned hash, const char* name, QvValueContainer* container) {
    QvYield();
    if (QvValueContainer* existing = windows_.find(hash, name))
        existing->setReference(container);
    else
        windows_.insert(hash, new QvValueContainer(container, name, QV_CONTAINER_WINDOW, false));
}

// Deleting a read-write reference deletes the variable it stands for as well.
void QvTreeEval::deleteVariable(unsigned hash, const char* name) {
    QvYield();
    QvValueContainer* container = values_.find(hash, name);
    if (!container) throw new QvIdentifierException(name);
    qv_auto_value<QvValueContainer> standsFor = container->isWritableReference() ? container->referee() : nullptr;
    QvArgumentBlock::forgetContainer(container);
    values_.remove(hash, name);
    if (standsFor) deleteEntriesFor(standsFor.get());
    purge();
}

void QvTreeEval::deleteEntriesFor(const QvValueContainer* container) {
    for (QvTreeEval* evaluator = this; evaluator; evaluator = evaluator->outerEvaluator()) {
        std::vector<std::string> names;
        evaluator->values_.forEach([&](const std::string& name, QvValueContainer* c) {
            if (c == container) names.push_back(name);
        });
        for (const std::string& name : names) evaluator->deleteVariable(AST::hashOf(name.c_str()), name.c_str());
        evaluator->windows_.removeUnless([container](const std::string&, QvValueContainer* c) { return c != container; });
    }
}

void QvTreeEval::deleteWindowVariable(unsigned hash, const char* name) {
    if (!windows_.find(hash, name)) throw new QvIdentifierException(name);
    windows_.remove(hash, name);
    purge();
}

void QvTreeEval::purge() {
    purgeOwnMaps();
    if (QvTreeEval* outer = outerEvaluator()) outer->purgeOwnMaps();
}

void QvTreeEval::purgeOwnMaps() {
    auto alive = [](const std::string&, QvValueContainer* c) {
        return !c->isEmpty() && c->kind() != QV_CONTAINER_UNNAMED;
    };
    values_.removeUnless(alive);
    windows_.removeUnless(alive);
}

void QvTreeEval::checkWritable(bool writable) { requireWritable(writable); }

void QvTreeEval::checkInterrupt() { pollInterrupt(); }

// An error is reported once, at the innermost statement; the statements around it
// only pass "RunTime Error" on. Inside a catch nothing is reported.
void QvTreeEval::handleError(AST* node, QvException* error) {
    if (!session_->getInterruptedFlag()) {
        if (catching_) throw error;
        reportRuntimeError(node, error->message());
        delete error;
        session_->setInterruptedFlag(true);
        throw new QvException("RunTime Error");
    }
    if (session_->getRunErrorFlag()) throw error;
    delete error;
    throw new QvException("Execution cancelled by user.");
}

void QvTreeEval::reportRuntimeError(AST* node, const std::string& message) {
    session_->setRunErrorFlag(true);
    // Markers the parser makes may carry no line of their own; their first child does.
    const AST* source = node;
    while (source->getLine() <= 0 && source->firstChild()) source = source->firstChild();
    QvSourceMap::Position position = session_->sourceMap().mapLine(source->getLine());
    std::list<ParseError*>& errors = session_->getParseErrors();
    errors.push_back(new ParseError(session_, position.line, position.fileIndex, "", 0, message));
    session_->releaseParseErrors();
}

void QvTreeEval::setWindowPosition(unsigned hash, const char* name, double x, double y) {
    if (QvValueContainer* container = windows_.find(hash, name))
        container->setWindowPosition(x, y);
    else if (QvTreeEval* outer = outerEvaluator())
        outer->setWindowPosition(hash, name, x, y);
    else
        throw new QvIdentifierException(name);
}

namespace {
void printMap(const QvValueMap& map) {
    map.forEach([](const std::string& key, QvValueContainer* c) {
        std::cout << key << " ID\t\t: " << (c->kind() == QV_CONTAINER_UNNAMED ? "Error : Name never set" : c->name())
                  << "\n";
        std::cout << "referees\t: " << c->refereeCount() << "\n\n";
    });
}
}

void QvTreeEval::printValueMaps() {
    std::cout << "Printing value map \n";
    printMap(values_);
    std::cout << "\nPrinting window value map \n";
    printMap(windows_);
    std::cout << std::endl;
}
