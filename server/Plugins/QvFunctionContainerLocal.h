#pragma once
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "FrontEnd/QvScopeLayout.h"
#include "Interpreter/QvArgumentSlot.h"
#include "Interpreter/QvNumberCode.h"
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
    // The function's code on plain numbers, made at the first call; null when the body
    // needs the walker.
    const QvNumberCode* numberCode() {
        if (!numberCodeMade_.load(std::memory_order_acquire)) makeNumberCode();
        return numberCode_.get();
    }

private:
    // Runs the function with parameter i given by argument(i), which is an empty slot
    // for a parameter to default: by its number code when it can, else by walking it.
    template <class Arguments>
    QvArgumentSlot run(QvParser* session, TreeEval* caller, Arguments argument);
    template <class Arguments>
    [[gnu::always_inline]] QvArgumentSlot walk(QvParser* session, TreeEval* caller, Arguments argument);
    // Runs the number code when every argument is a number, the result going into
    // `result`; NotRun when there is none or an argument is not a number.
    template <class Arguments>
    QvNumberCode::Outcome runNumberCode(QvParser* session, Arguments argument, QvArgumentSlot& result);
    void makeNumberCode();

    struct Parameter {
        AST* name;
        AST* defaultExpression;  // null when the parameter is required
    };

    std::vector<Parameter> parameters_;
    AST* body_ = nullptr;
    bool hasDefaults_ = false;
    QvScopeLayout layout_;
    std::mutex numberCodeMaking_;
    std::atomic<bool> numberCodeMade_{false};
    std::unique_ptr<QvNumberCode> numberCode_;
};
