#include "Interpreter/TreeEval.h"

#include <new>
#include <optional>

#include "Interpreter/QvValueContainer.h"
#include "Plugins/QvCallProcedure.h"
#include "Plugins/QvFunctionContainerLocal.h"
#include "Plugins/QvStackGuard.h"

// #(PLUGIN_FN, namespace, name, argument...): the arguments are evaluated left to
// right before the function is looked up.
QvValueRef TreeEval::pluginFunctionExpression(AST* node) {
    QvArgumentSlot result;
    if (directScriptCall(node, result)) return result.takeValue();
    pollInterrupt();
    AST* nameSpace = child(node);
    AST* name = nameSpace->nextSibling();
    if (!name) missingTree();
    size_t count = 0;
    for (AST* argument = name->nextSibling(); argument; argument = argument->nextSibling()) ++count;
    QvCallSite call(node, count, session_, this);
    size_t index = 0;
    for (AST* argument = name->nextSibling(); argument; argument = argument->nextSibling())
        callArgument(call, index++, argument);
    return QvCallProcedure::callFunction(call, QvCallTarget::of(node, call));
}

// A script function taking any arguments runs its number code when every argument
// computes a number, else (or when the code gives up) the walker runs it. One whose
// parameters declare types that accept numbers runs its number code the same way; else
// the call goes the usual way, which checks the types.
bool TreeEval::directScriptCall(AST* node, QvArgumentSlot& result) {
    const QvCallTarget* target = QvCallTarget::kept(node);
    if (!target) return false;
    const QvCallTarget::Overload* overload = target->scriptCall();
    const bool typed = !overload;
    if (typed) overload = target->numberCall();
    if (!overload || overload->arguments.size() > kDirectArguments) return false;
    const QvNumberCode* code = overload->scriptFunction->numberCode();
    const bool numbers = code && code->runnable();
    if (typed && !numbers) return false;
    pollInterrupt();
    AST* name = child(node)->nextSibling();
    if (!name) missingTree();
    AST* firstArgument = name->nextSibling();
    const size_t count = overload->arguments.size();
    const QvNumberCode::Outcome outcome =
        numbers ? numberCodeCall(*code, firstArgument, count, *overload, result) : QvNumberCode::Outcome::NotRun;
    if (!QvNumberCode::ran(outcome)) {
        if (typed) return false;
        std::optional<QvNumberCode::Suspension> suspension;
        if (outcome == QvNumberCode::Outcome::GaveUp) suspension.emplace();
        result = scriptCall(firstArgument, count, *overload);
    }
    checkResult(*overload, result);
    return true;
}

// A call whose target takes any arguments: they go to the function from a plain array,
// with no argument block and no checks (a variable passed by reference cannot be
// deleted meanwhile: the target allows that only when no code runs here).
QvArgumentSlot TreeEval::scriptCall(AST* firstArgument, size_t count, const QvCallTarget::Overload& overload) {
    // Only the slots the call uses are made (and unmade).
    struct Slots {
        alignas(QvArgumentSlot) unsigned char storage[kDirectArguments * sizeof(QvArgumentSlot)];
        size_t made = 0;
        QvArgumentSlot* at(size_t i) { return reinterpret_cast<QvArgumentSlot*>(storage) + i; }
        ~Slots() {
            while (made > 0) at(--made)->~QvArgumentSlot();
        }
    } slots;
    AST* argument = firstArgument;
    for (size_t a = 0; a < count; ++a, argument = argument->nextSibling()) {
        AST* passed = passing(argument);
        AST* expressionNode = child(passed);
        double number;
        if (passed->getType() == QV_TOK_REF_PARAMETER)
            new (slots.at(a)) QvArgumentSlot{passedVariable(expressionNode), QvValueRef(), QvArgumentSlot::Reference};
        else if (expressionNode->form() != QvNodeForm::Other && numberOf(expressionNode, number))
            new (slots.at(a)) QvArgumentSlot{nullptr, QvValueRef(), QvArgumentSlot::Number, number};
        else
            new (slots.at(a)) QvArgumentSlot{nullptr, expression(expressionNode), QvArgumentSlot::Value};
        ++slots.made;
    }
    return overload.scriptFunction->call(session_, this, slots.at(0), overload.argumentOf);
}

void TreeEval::checkResultType(const QvCallTarget::Overload& overload, const QvArgumentSlot& result) {
    QvCallProcedure::checkResultType(*overload.signature,
                                     result.kind == QvArgumentSlot::Number ? QV_NUMBER : result.value->GetType());
}

// A call of a function that has number code, whose arguments all compute numbers or
// pass variables holding numbers, runs that code on them straight away, and writes the
// variables back after. When that cannot be done or the code gave up, nothing has
// changed: the arguments are then evaluated again (they have no side effects) and the
// call made the usual way. A variable goes by copy only when no window, reference or
// other argument could see it change meanwhile.
QvNumberCode::Outcome TreeEval::numberCodeCall(const QvNumberCode& code, AST* firstArgument, size_t count,
                                               const QvCallTarget::Overload& overload, QvArgumentSlot& result) {
    constexpr QvNumberCode::Outcome kCannot = QvNumberCode::Outcome::NotRun;
    const std::vector<int>& argumentOf = overload.argumentOf;
    if (argumentOf.size() > kDirectArguments) return kCannot;
    double arguments[kDirectArguments];
    QvValueContainer* variables[kDirectArguments];
    AST* argument = firstArgument;
    for (size_t a = 0; a < count; ++a, argument = argument->nextSibling()) {
        AST* passed = passing(argument);
        AST* expressionNode = child(passed);
        if (passed->getType() != QV_TOK_REF_PARAMETER) {
            variables[a] = nullptr;
            if (expressionNode->form() == QvNodeForm::Other || !numberOf(expressionNode, arguments[a])) return kCannot;
            continue;
        }
        variables[a] = passedVariable(expressionNode);
        if (windowsInReach() || !variables[a]->plainNumber(arguments[a])) return kCannot;
        for (size_t b = 0; b < a; ++b)
            if (variables[b] == variables[a]) return kCannot;
    }
    QvNumberCode::Frame frame;
    frame.globalsLent = code.referenceParameters() != 0;
    for (size_t p = 0; p < argumentOf.size(); ++p) {
        if (argumentOf[p] < 0) continue;
        frame.variables[p] = arguments[argumentOf[p]];
        frame.set |= 1u << p;
    }
    QvStackGuard::check();
    const QvNumberCode::Outcome outcome = code.run(session_, frame, result.number);
    if (outcome == QvNumberCode::Outcome::Number) result.kind = QvArgumentSlot::Number;
    if (QvNumberCode::ran(outcome) && code.referenceParameters())
        for (size_t a = 0; a < count; ++a)
            if (variables[a]) variables[a]->setNumber(frame.variables[overload.arguments[a].parameter]);
    return outcome;
}

// The argument's passing node, after the name of a named argument.
AST* TreeEval::passing(AST* argument) {
    if (argument->getType() != QV_TOK_PARAM_ASSIGN) return argument;
    AST* passed = child(argument)->nextSibling();
    if (!passed) missingTree();
    return passed;
}

// A number goes to a function, or comes back from one, as a new value of its own:
// sharing a variable's would cost more.
QvValueRef TreeEval::argumentValue(AST* expressionNode) {
    double number;
    if (expressionNode->form() != QvNodeForm::Other && numberOf(expressionNode, number))
        return new QvNumberValue(number);
    return expression(expressionNode);
}

QvValueContainer* TreeEval::passedVariable(AST* variable) {
    if (!isVariable(variable)) noViableAlternative("parameter", variable);
    return readVariable(variable);
}

// #(PARAM_ASSIGN, name, passing) names an argument; #(REF_PARAMETER, variable) passes
// the caller's variable, #(NO_REF_PARAMETER, expression) a value.
void TreeEval::callArgument(QvCallSite& call, size_t index, AST* argument) {
    argument = passing(argument);
    if (argument->getType() == QV_TOK_REF_PARAMETER) {
        call.setReference(index, passedVariable(child(argument)));
        return;
    }
    if (argument->getType() != QV_TOK_NO_REF_PARAMETER) mismatchedToken(QV_TOK_NO_REF_PARAMETER, argument);
    QvArgumentSlot& slot = call.argument(index);
    slot.value = argumentValue(child(argument));
    slot.kind = QvArgumentSlot::Value;
}
