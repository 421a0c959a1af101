#pragma once
#include <cstddef>
#include <memory>

#include "Interpreter/QvArgumentBlock.h"

class QvParser;
class TreeEval;

// The arguments of one call expression in call order, each with its name when the
// call names it. The argument slots sit in an argument block, so that deleting a
// variable while later arguments are evaluated cannot leave a slot referring to it.
// Names point into the syntax tree, which outlives every call.
class QvCallSite {
public:
    QvCallSite(const char* nameSpace, const char* function, size_t argumentCount, QvParser* session,
               TreeEval* caller);
    QvCallSite(const QvCallSite&) = delete;
    QvCallSite& operator=(const QvCallSite&) = delete;

    const char* nameSpace() const { return nameSpace_; }
    const char* function() const { return function_; }
    QvParser* session() const { return session_; }
    TreeEval* caller() const { return caller_; }

    size_t size() const { return arguments_.size(); }
    QvArgumentSlot& argument(size_t i) { return arguments_.entries()[i]; }
    const QvArgumentSlot& argument(size_t i) const { return arguments_.entries()[i]; }
    void setReference(size_t i, QvValueContainer* variable) { arguments_.setReference(i, variable); }
    // Null for a positional argument.
    const char* name(size_t i) const { return names_[i]; }
    void setName(size_t i, const char* name) { names_[i] = name; }

    // "Function \"Namespace.name\" was called with incorrect arguments."
    [[noreturn]] void raiseIncorrectArguments() const;

private:
    static constexpr size_t kInlineNames = 6;

    const char* nameSpace_;
    const char* function_;
    QvParser* session_;
    TreeEval* caller_;
    QvArgumentBlock arguments_;
    const char* inlineNames_[kInlineNames] = {};
    std::unique_ptr<const char*[]> heapNames_;
    const char** names_;
};
