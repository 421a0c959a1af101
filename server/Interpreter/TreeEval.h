#pragma once
#include <chrono>
#include <string>

#include "FrontEnd/QvTokens.h"
// The token numbers come before the parser library headers that AST.h pulls in.
#include "FrontEnd/AST.h"
#include "Interpreter/QvOperand.h"
#include "QvExport.h"
#include "Values/QvValue.h"

class QvCallSite;
class QvException;
class QvParser;

// The tree walker: one method per rule of the language, walking the trees the parser
// builds. Variables, interruption and error reporting are hooks that QvTreeEval
// supplies. A tree of an unexpected shape raises a "Runtime internal error: ..." error.
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
    QvOperand identifierExpression(AST* node);

    QvParser* session() const { return session_; }
    TreeEval* outer() const { return outer_; }
    bool catching() const { return catching_; }
    // A function called inside a catch leaves its errors to that catch.
    void setCatching(bool catching) { catching_ = catching; }
    // In a function's evaluator `return` stores its value here and ends the statements
    // around it one by one, which costs far less than a thrown signal; elsewhere it
    // throws QvReturnValue.
    void setReturnTarget(QvValueRef* target) {
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

protected:
    using Clock = std::chrono::steady_clock;

    // The evaluator that a `global` scope addresses.
    TreeEval& scope(bool global) { return global && outer_ ? *outer_ : *this; }

    QvParser* session_;
    TreeEval* outer_;
    bool catching_ = false;
    bool lvalue_ = false;
    QvValueRef* returnTarget_ = nullptr;
    bool returning_ = false;

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
    AST* child(AST* node);
    AST* operandAfter(AST* operand);
    AST* identifierOf(AST* scopeNode);
    static bool isWindowMarker(const AST* node);
    static bool isVariable(const AST* node);

    // Statements.
    void guardedStatement(AST* node);
    void runGuarded(AST* node);
    void assignment(AST* marker);
    void assignVariable(AST* target, AST* source, bool circular);
    void assignWindow(AST* marker, AST* source);
    void assignElement(AST* target, AST* source);
    void assignDoubleElement(AST* target, AST* source);
    void assignProperty(AST* target, AST* source);
    void assignFile(AST* target, AST* source);
    void inPlaceArithmetic(AST* node);
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
    LoopParts loopParts(AST* node, int operandCount);
    LoopState startLoop(const LoopParts& parts);
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
    QvValueRef variableValue(AST* scopeNode);
    QvValueRef windowValue(AST* marker);
    QvValueRef mathExpression(AST* node);
    QvValueRef indexingExpression(AST* node);
    QvValueRef externalValue(AST* node);
    QvValueRef booleanExpression(AST* node);
    QvValueRef relationExpression(AST* node);
    QvValueRef propertyExpression(AST* node);
    QvValueRef propertySetExpression(AST* node);
    QvValueRef coercionExpression(AST* node);
    QvValueRef postfixExpression(AST* node);
    QvValueRef functionElement(AST* node);
    QvValueRef pluginFunctionExpression(AST* node);
    void callArgument(QvCallSite& call, size_t index, AST* argument);
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
