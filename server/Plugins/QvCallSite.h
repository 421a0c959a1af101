#pragma once
#include <cstddef>

#include "Interpreter/QvArgumentBlock.h"

class AST;
class QvParser;
class TreeEval;

// The arguments of one call expression in call order. The argument slots sit in an
// argument block, so that deleting a variable while later arguments are evaluated
// cannot leave a slot referring to it. The names (namespace, function, named
// arguments) are read from the call's node, #(PLUGIN_FN, namespace, name, argument...),
// only when they are needed; the syntax tree outlives every call.
class QvCallSite {
public:
    QvCallSite(AST* node, size_t argumentCount, QvParser* session, TreeEval* caller)
        : node_(node), session_(session), caller_(caller), arguments_(argumentCount) {}
    QvCallSite(const QvCallSite&) = delete;
    QvCallSite& operator=(const QvCallSite&) = delete;

    const char* nameSpace() const;
    const char* function() const;
    QvParser* session() const { return session_; }
    TreeEval* caller() const { return caller_; }

    size_t size() const { return arguments_.size(); }
    QvArgumentSlot* arguments() { return arguments_.entries(); }
    QvArgumentSlot& argument(size_t i) { return arguments_.entries()[i]; }
    const QvArgumentSlot& argument(size_t i) const { return arguments_.entries()[i]; }
    void setReference(size_t i, QvValueContainer* variable) { arguments_.setReference(i, variable); }
    // The name a named argument gives; null for a positional argument.
    const char* name(size_t i) const;
    // True when the arguments passed as values only compute numbers or read variables:
    // evaluating them runs no script or plug-in code, which could delete a variable
    // passed by reference.
    bool valuesRunNoCode() const;

    // "Function \"Namespace.name\" was called with incorrect arguments."
    [[noreturn]] void raiseIncorrectArguments() const;

private:
    AST* node_;
    QvParser* session_;
    TreeEval* caller_;
    QvArgumentBlock arguments_;
};
