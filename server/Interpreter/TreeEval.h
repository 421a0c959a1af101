#pragma once
#include <chrono>
#include <string>

#include "FrontEnd/QvTokens.h"
// The token numbers come before the parser library headers that AST.h pulls in.
#include "FrontEnd/AST.h"
#include "Errors/QvYieldState.h"
#include "Interpreter/QvArgumentSlot.h"
#include "Interpreter/QvNumberCode.h"
#include "Interpreter/QvNumberRules.h"
#include "Interpreter/QvOperand.h"
#include "Interpreter/QvValueMap.h"
#include "Plugins/QvCallTarget.h"
#include "QvExport.h"
#include "Session/QvParser.h"
#include "Values/QvNumberValue.h"
#include "Values/QvValue.h"

class QvCallSite;
class QvException;
class QvParser;

// The tree walker: one method per rule of the language, walking the trees the parser
// builds, with the two variable maps of its scope. The operations on variables,
// interruption and error reporting are hooks that QvTreeEval supplies; the walker's
// own lookups of bound identifiers take the same steps inline. A tree of an
// unexpected shape raises a "Runtime internal error: ..." error.
class QV_EXPORT TreeEval {
public:
    TreeEval(QvParser* session, TreeEval* outer);
    virtual ~TreeEval();
    TreeEval(const TreeEval&) = delete;
    TreeEval& operator=(const TreeEval&) = delete;

    // Runs the statements of a tree in order; a `break` outside any loop ends it quietly.
    void programme(AST* root);
    void statement(AST* node);
    QvValueRef expression(AST* node);
    // A variable (or window variable, file, URL, clipboard) as a statement's target.
    QvOperand identifierExpression(AST* node, QvOperand::Hold hold = QvOperand::Held);

    QvParser* session() const { return session_; }
    TreeEval* outer() const { return outer_; }
    bool catching() const { return catching_; }
    // A function called inside a catch leaves its errors to that catch.
    void setCatching(bool catching) { catching_ = catching; }
    // In a function's evaluator `return` stores its result here (a plain number when it
    // computes one, else a value) and ends the statements around it one by one, which
    // costs far less than a thrown signal; elsewhere it throws QvReturnValue.
    void setReturnTarget(QvArgumentSlot* target) {
        returnTarget_ = target;
        returning_ = false;
    }

    // What meeting an unexpected tree raises.
    [[noreturn]] static void mismatchedRange(int low, int high, AST* found);
    [[noreturn]] static void missingTree();
    [[noreturn]] static void mismatchedToken(int expected, AST* found);
    [[noreturn]] static void noViableAlternative(const char* rule, AST* found);

    // Variable hooks (see QvTreeEval).
    virtual QvValueContainer* getContainerCreate(unsigned hash, const char* name, bool circular) = 0;
    virtual QvValueContainer* getContainer(unsigned hash, const char* name) = 0;
    virtual void incrementVariable(bool global, unsigned hash, const char* name) = 0;
    virtual void notifyHolders(QvValue* value) = 0;
    virtual void notifyVariable(unsigned hash, const char* name) = 0;
    virtual QvValueRef getValue(unsigned hash, const char* name, bool& writable) = 0;
    virtual bool hasVariable(unsigned hash, const char* name) = 0;
    virtual QvValueRef getWindowValue(unsigned hash, const char* name, bool& writable) = 0;
    virtual void setVariable(unsigned hash, const char* name, QvValueRef value) = 0;
    virtual void setWindowReference(unsigned hash, const char* name, QvValueContainer* container) = 0;
    virtual void setWindowVariable(unsigned hash, const char* name, QvValueRef value) = 0;
    virtual void deleteVariable(unsigned hash, const char* name) = 0;
    virtual void deleteWindowVariable(unsigned hash, const char* name) = 0;
    virtual void checkWritable(bool writable) = 0;
    virtual void checkInterrupt() = 0;
    [[noreturn]] virtual void handleError(AST* node, QvException* error) = 0;
    virtual void setReference(unsigned hash, const char* name, QvValueContainer* container, bool writable) = 0;
    virtual void setWindowPosition(unsigned hash, const char* name, double x, double y) = 0;
    virtual void printValueMaps() = 0;
    virtual QvValueContainer* getWindowContainer(unsigned hash, const char* name) = 0;

    const QvValueMap& valueMap() const { return values_; }
    const QvValueMap& windowValueMap() const { return windows_; }

protected:
    using Clock = std::chrono::steady_clock;

    // The evaluator that a `global` scope addresses.
    TreeEval& scope(bool global) { return global && outer_ ? *outer_ : *this; }

    // The lookups behind both the walker and the named variable operations: `found`
    // is what the value map answered, `name` names the variable in errors. A variable
    // to read (getValue's steps), one that must exist (getContainer's), or one made
    // when missing (getContainerCreate's).
    QvValueContainer* readable(QvValueContainer* found, const char* name) {
        pollInterrupt();
        if (!found) raiseUnknown(name);
        return found;
    }
    QvValueContainer* existing(QvValueContainer* found, const char* name) {
        QvYieldFast();
        if (!found) raiseUnknown(name);
        return found;
    }
    QvValueContainer* created(QvValueContainer* found, unsigned hash, const char* name, bool circular) {
        QvYieldFast();
        if (!found) found = createVariable(hash, name);
        if (circular && !found->isWritable()) raiseCircular();
        return found;
    }
    QvValueContainer* createVariable(unsigned hash, const char* name);
    QvValueContainer* createVariable(const AST* identifier);
    // An ordinary variable for the identifier holding the value (undefined when empty),
    // not yet filed: a kept container of the map's when there is one.
    QvValueMap::ContainerRef newVariable(const AST* identifier, QvValueRef value);
    // checkWritable's steps, inline for the walker.
    static void requireWritable(bool writable) {
        if (!writable) raiseReadOnly();
    }
    [[noreturn]] static void raiseReadOnly();
    [[noreturn]] static void raiseCircular();
    [[noreturn]] static void raiseUnknown(const char* name);
    // checkInterrupt's steps: QvYield, then a stop request raises "Execution Terminated by User.".
    void pollInterrupt() {
        QvYieldFast();
        if (session_->getInterruptedFlag()) raiseTerminated();
    }
    [[noreturn]] static void raiseTerminated();
    // Only windows show anything of a change: with no window variable in reach there
    // is nobody for notifyHolders to tell.
    bool windowsInReach() const { return !windows_.empty() || (outer_ && !outer_->windows_.empty()); }
    void notifyChanged(QvValue* value) {
        if (windowsInReach()) notifyHolders(value);
    }

    QvParser* session_;
    TreeEval* outer_;
    bool catching_ = false;
    bool lvalue_ = false;
    QvArgumentSlot* returnTarget_ = nullptr;
    bool returning_ = false;
    QvValueMap values_;
    QvValueMap windows_;

private:
    struct LoopParts {
        AST* operands[2] = {nullptr, nullptr};
        AST* every = nullptr;
        AST* increment = nullptr;
        AST* body = nullptr;
    };
    struct LoopState {
        double period = 0;
        AST* increment = nullptr;
        Clock::time_point passStart;
    };

    // Tree access.
    static AST* child(AST* node) {
        AST* first = node ? node->firstChild() : nullptr;
        if (!first) missingTree();
        return first;
    }
    // A window variable is written as a marker and its name as two siblings.
    static AST* operandAfter(AST* operand) {
        AST* next = operand->nextSibling();
        if (isWindowMarker(operand)) next = next ? next->nextSibling() : nullptr;
        if (!next) missingTree();
        return next;
    }
    static AST* identifierOf(AST* scopeNode) {
        if (scopeNode->form() == QvNodeForm::Variable) return scopeNode->firstChild();
        AST* identifier = child(scopeNode);
        if (identifier->getType() != QV_TOK_IDENT) mismatchedToken(QV_TOK_IDENT, identifier);
        return identifier;
    }
    static bool isWindowMarker(const AST* node) {
        return node->getType() == QV_TOK_LOCAL_WINDOW || node->getType() == QV_TOK_GLOBAL_WINDOW;
    }
    static bool isVariable(const AST* node) {
        return node->getType() == QV_TOK_LOCAL || node->getType() == QV_TOK_GLOBAL;
    }
    // The variable a local or global scope node names, in the evaluator the scope
    // addresses: one that must exist, or one made when missing. The walker does not poll for
    // stop requests here: every statement, loop pass and call does, which is often
    // enough, and a lookup is far too frequent for it.
    // (The identifier's text is asked for only when it is needed: that costs a call.)
    [[gnu::always_inline]] QvValueContainer* readVariable(AST* scopeNode) {
        const QvValueMap& values = scope(scopeNode->getType() == QV_TOK_GLOBAL).values_;
        if (QvValueContainer* bound = values.atBinding(scopeNode)) return bound;
        AST* identifier = identifierOf(scopeNode);
        QvValueContainer* found = values.find(identifier);
        if (!found) raiseUnknown(identifier->getText());
        return found;
    }
    QvValueContainer* createdVariable(AST* scopeNode, bool circular) {
        TreeEval& where = scope(scopeNode->getType() == QV_TOK_GLOBAL);
        QvValueContainer* found = where.values_.atBinding(scopeNode);
        if (!found) {
            AST* identifier = identifierOf(scopeNode);
            found = where.values_.find(identifier);
            if (!found) found = where.createVariable(identifier);
        }
        if (circular && !found->isWritable()) raiseCircular();
        return found;
    }

    // Statements.
    void assignment(AST* marker);
    void assignVariable(AST* target, AST* source, bool circular);
    QvValueContainer* referredVariable(AST* referred);
    void assignWindow(AST* marker, AST* source);
    void assignElement(AST* target, AST* source);
    void assignDoubleElement(AST* target, AST* source);
    void assignProperty(AST* target, AST* source);
    void assignFile(AST* target, AST* source);
    void inPlaceArithmetic(AST* node);
    bool inPlaceNumber(int kind, AST* target, AST* amount);
    void listStatement(AST* node);
    void deleteStatement(AST* node);
    void ifStatement(AST* node);
    void ifElseStatement(AST* node);
    void codeBlock(AST* node);
    void catchStatement(AST* node);
    void returnStatement(AST* node);
    void waitStatement(AST* node);
    void printStatement(AST* node);
    void beepStatement();
    void expressionStatement(AST* node);

    // Loops.
    void repeatStatement(AST* node);
    QvNumberCode::Outcome numberLoop(AST* node);
    void walkLoop(AST* node);
    LoopParts loopParts(AST* node, int operandCount);
    LoopState startLoop(const LoopParts& parts);
    void makeCounter(AST* counter);
    bool beginPass(LoopState& loop);
    void sleepRest(const LoopState& loop);
    void incrementCounter(const LoopState& loop);
    void timesLoop(AST* node);
    void foreverLoop(AST* node);
    void whileLoop(AST* node);
    void forLoop(AST* node);
    void dateLoop(AST* node);
    bool insideDateRange(QvValue* first, QvValue* last);

    // Expressions.
    // The nodes the binding pass marked as computing numbers are first tried as plain
    // numbers: numberOf answers false, having changed nothing, as soon as an operand
    // is not a number, and the general rules then evaluate the node; errors are the
    // same either way because those operands have no side effects.
    [[gnu::always_inline]] bool numberOf(AST* node, double& result) {
        switch (node->form()) {
        case QvNodeForm::NumberLiteral: result = node->number(); return true;
        case QvNodeForm::Variable: return variableNumber(node, result);
        case QvNodeForm::NumberArithmetic: return arithmeticNumber(node, result);
        case QvNodeForm::NumberElement: return elementNumber(node, result);
        default: return false;
        }
    }
    bool variableNumber(AST* scopeNode, double& result) {
        const QvValue* value = readVariable(scopeNode)->getValue().get();
        if (!QvNumberValue::isNumber(value)) return false;
        result = static_cast<const QvNumberValue*>(value)->value();
        return true;
    }
    bool arithmeticNumber(AST* node, double& result);
    bool elementNumber(AST* node, double& result);
    // An expression's value as a number (AsNumber's rules), made no value when the
    // expression computes a number.
    double numberValue(AST* node) {
        double number;
        if (node->form() != QvNodeForm::Other && numberOf(node, number)) return number;
        return expression(node)->AsNumber();
    }
    // 1 or 0 for a comparison of two numbers; -1 when an operand is not a number.
    int numberComparison(AST* node);
    // A condition's boolean (if, repeat while).
    bool condition(AST* node);
    QvValueRef variableValue(AST* scopeNode);
    QvValue* borrowedValue(AST* node, QvValueRef& kept);
    QvValueRef windowValue(AST* marker);
    QvValueRef mathExpression(AST* node);
    // An operand of arithmetic, an assignment or a return: a plain number when it
    // computes one (results of script functions included), else a value.
    QvArgumentSlot operand(AST* node);
    QvArgumentSlot arithmetic(AST* node);
    QvValueRef indexingExpression(AST* node);
    QvValueRef externalValue(AST* node);
    QvValueRef booleanExpression(AST* node);
    QvValueRef relationExpression(AST* node);
    QvValueRef propertyExpression(AST* node);
    QvArgumentSlot property(AST* node);
    // The number of the property a name node names, for values of the object's type.
    static QvPropertyId propertyId(AST* property, const QvValue* object);
    QvValueRef propertySetExpression(AST* node);
    QvValueRef coercionExpression(AST* node);
    QvValueRef postfixExpression(AST* node);
    // A function's result; empty when a script function ended without one (its
    // statement drops it, an expression reports it).
    QvValueRef functionElement(AST* node);
    QvValueRef pluginFunctionExpression(AST* node);
    void callArgument(QvCallSite& call, size_t index, AST* argument);
    static constexpr size_t kDirectArguments = 8;
    // A call expression whose kept target is a script function taking any arguments, or
    // one that takes the call's numbers: its result (a plain number, a value, or nothing)
    // goes into `result`. False, having changed nothing, for any other call.
    bool directScriptCall(AST* node, QvArgumentSlot& result);
    QvArgumentSlot scriptCall(AST* firstArgument, size_t count, const QvCallTarget::Overload& overload);
    QvNumberCode::Outcome numberCodeCall(const QvNumberCode& code, AST* firstArgument, size_t count,
                                         const QvCallTarget::Overload& overload, QvArgumentSlot& result);
    // Raises "Function returned illegal type" when the signature does not allow the result's.
    static void checkResult(const QvCallTarget::Overload& overload, const QvArgumentSlot& result) {
        if (result.kind != QvArgumentSlot::Empty && !overload.anyResult) checkResultType(overload, result);
    }
    static void checkResultType(const QvCallTarget::Overload& overload, const QvArgumentSlot& result);
    // A function's result where an expression needs one: "Function returned no result."
    // when there is none (or it is the undefined value).
    QvValueRef requiredResult(AST* node, QvValueRef result);
    QvValueRef argumentValue(AST* expressionNode);
    static AST* passing(AST* argument);
    // The variable a reference argument passes.
    QvValueContainer* passedVariable(AST* variable);
    QvValueRef initializeExpression(AST* node);
    QvValueRef dateLiteral(AST* node);
    QvValueRef listLiteral(AST* node);
    QvValueRef literal(AST* node);
    static void requireValue(const QvValue* value);
    // Types whose values this version cannot make yet.
    [[noreturn]] static void unavailable(const char* typeName);
    QvValueRef booleanValue(bool flag) const { return flag ? trueValue_ : falseValue_; }

    // A target whose value a statement changes: a variable, or a live element.
    QvOperand elementBase(AST* base);
    std::string windowName(AST* nameExpression);
    std::string resolvePath(AST* pathExpression);
    std::string resolvePath(const std::string& written);

    QvValueRef trueValue_;
    QvValueRef falseValue_;
};
