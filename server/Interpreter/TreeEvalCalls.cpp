#include "Interpreter/TreeEval.h"
#include "Interpreter/QvValueContainer.h"
#include "Plugins/QvCallProcedure.h"

// #(PLUGIN_FN, namespace, name, argument...): the arguments are evaluated left to
// right before the function is looked up.
QvValueRef TreeEval::pluginFunctionExpression(AST* node) {
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

// #(PARAM_ASSIGN, name, passing) names an argument; #(REF_PARAMETER, variable) passes
// the caller's variable, #(NO_REF_PARAMETER, expression) a value.
void TreeEval::callArgument(QvCallSite& call, size_t index, AST* argument) {
    if (argument->getType() == QV_TOK_PARAM_ASSIGN) {
        argument = child(argument)->nextSibling();
        if (!argument) missingTree();
    }
    if (argument->getType() == QV_TOK_REF_PARAMETER) {
        AST* variable = child(argument);
        if (!isVariable(variable)) noViableAlternative("parameter", variable);
        call.setReference(index, existingVariable(variable));
        return;
    }
    if (argument->getType() != QV_TOK_NO_REF_PARAMETER) mismatchedToken(QV_TOK_NO_REF_PARAMETER, argument);
    // A number goes to the function as a new value of its own: copying a variable's
    // would cost more.
    AST* expressionNode = child(argument);
    QvArgumentSlot& slot = call.argument(index);
    double number;
    if (expressionNode->form() != QvNodeForm::Other && numberOf(expressionNode, number))
        slot.value = new QvNumberValue(number);
    else
        slot.value = expression(expressionNode);
    slot.kind = QvArgumentSlot::Value;
}
