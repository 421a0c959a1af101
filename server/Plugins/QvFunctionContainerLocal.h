#pragma once
#include <vector>

#include "FrontEnd/QvScopeLayout.h"
#include "Interpreter/QvArgumentSlot.h"
#include "Plugins/QvCallTarget.h"
#include "Plugins/QvFunctionContainer.h"

class AST;
class QvParser;
class TreeEval;

// A function defined in the script. Holds its parameters' name nodes and default
// expressions and its body, all parts of the DEFINE tree that the session's parser owns,
// and the layout of the function's scope, which starts with the parameters; the
// definition node is bound to that layout, so the binding pass binds the body to it.
class QV_EXPORT QvFunctionContainerLocal : public QvFunctionContainer {
public:
    QvFunctionContainerLocal(AST* definition, bool hasNamespace);

    // Runs the body in an evaluator of its own whose outer scope is the run's top level:
    // parameters become local variables (by-reference ones read-write references to
    // the caller's variables), then omitted ones get their default expressions.
    QvValueRef invoke(QvParameterBlock& parameters) override;
    // The same for a call expression of the script: the arguments go from the call
    // straight to the function's variables, parameter i taking argument argumentOf[i]
    // (none when that is -1). A variable passed by reference must still exist. The
    // result is a plain number, a value, or nothing (an empty slot).
    QvArgumentSlot call(QvParser* session, TreeEval* caller, QvArgumentSlot* arguments,
                        const std::vector<int>& argumentOf);

private:
    // Runs the function with parameter i given by argument(i), which is an empty slot
    // for a parameter to default.
    template <class Arguments>
    QvArgumentSlot run(QvParser* session, TreeEval* caller, Arguments argument);

    struct Parameter {
        AST* name;
        AST* defaultExpression;  // null when the parameter is required
    };

    std::vector<Parameter> parameters_;
    AST* body_ = nullptr;
    bool hasDefaults_ = false;
    QvScopeLayout layout_;
};
