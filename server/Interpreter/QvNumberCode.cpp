#include "Interpreter/QvNumberCode.h"

#include <algorithm>
#include <cmath>

#include "Errors/QvYieldState.h"
#include "FrontEnd/AST.h"
#include "FrontEnd/QvScopeLayout.h"
#include "Interpreter/QvNumberRules.h"
#include "Plugins/QvCallSite.h"
#include "Plugins/QvCallTarget.h"
#include "Plugins/QvFunctionContainerLocal.h"
#include "Plugins/QvPluginSignature.h"
#include "Plugins/QvStackGuard.h"
#include "Session/QvParser.h"

// Decodes a body into steps, or finds a node the code does not cover.
class QvNumberCode::Compiler {
public:
    Compiler(QvNumberCode& code, const QvScopeLayout& layout) : code_(code), layout_(layout) {}

    struct NotCovered {};

    uint32_t statement(const AST* node) {
        switch (node->kind()) {
        case QvNodeKind::Block: return add(listStep(Op::Block, statements(node->firstChild())));
        case QvNodeKind::Assignment: return assignment(node);
        case QvNodeKind::InPlaceArithmetic: return inPlace(node);
        case QvNodeKind::ExpressionStatement: {
            Step step = call(only(node, 1));
            step.op = Op::CallStatement;
            return add(step);
        }
        case QvNodeKind::TimesLoop: return loop(Op::Times, node);
        case QvNodeKind::WhileLoop: return loop(Op::While, node);
        case QvNodeKind::ForeverLoop: return loop(Op::Forever, node);
        case QvNodeKind::If: return ifStep(node, Op::If);
        case QvNodeKind::IfElse: {
            const AST* ifNode = only(node, 2);
            if (ifNode->getType() != QV_TOK_IF) notCovered();
            uint32_t index = ifStep(ifNode, Op::IfElse);
            code_.steps_[index].third = statement(ifNode->nextSibling());
            return index;
        }
        case QvNodeKind::Break:
            if (loops_ == 0) notCovered();
            return add(Step{Op::Break});
        case QvNodeKind::Return: {
            if (code_.loop_) notCovered();
            const AST* result = node->firstChild();
            if (!result) return add(Step{Op::ReturnNothing});
            Step step{Op::Return};
            step.first = expression(only(node, 1));
            return add(step);
        }
        default: notCovered();
        }
    }

private:
    [[noreturn]] static void notCovered() { throw NotCovered{}; }

    uint32_t add(const Step& step) {
        code_.steps_.push_back(step);
        return static_cast<uint32_t>(code_.steps_.size() - 1);
    }
    // The first child of a node that has exactly `count` children.
    static const AST* only(const AST* node, int count) {
        if (node->childCount() != count) notCovered();
        return node->firstChild();
    }
    // A step over the items, which go to the lists together.
    Step listStep(Op op, const std::vector<uint32_t>& items) {
        Step step{op};
        step.first = static_cast<uint32_t>(code_.lists_.size());
        step.count = static_cast<uint32_t>(items.size());
        code_.lists_.insert(code_.lists_.end(), items.begin(), items.end());
        return step;
    }
    std::vector<uint32_t> statements(const AST* first) {
        std::vector<uint32_t> items;
        for (const AST* node = first; node; node = node->nextSibling()) items.push_back(statement(node));
        return items;
    }

    // #(IF, condition, statement)
    uint32_t ifStep(const AST* node, Op op) {
        const AST* test = only(node, 2);
        Step step{op};
        step.first = condition(test);
        step.second = statement(test->nextSibling());
        return add(step);
    }
    // #(TIMES, count, [INCREMENT, variable,] body), the same with WHILE and a condition,
    // or FOREVER with no operand; no `every`.
    uint32_t loop(Op op, const AST* node) {
        Step step{op};
        const AST* part = node->firstChild();
        if (op != Op::Forever) {
            if (!part) notCovered();
            step.first = op == Op::While ? condition(part) : expression(part);
            part = part->nextSibling();
        }
        if (part && part->getType() == QV_TOK_INCREMENT) {
            part = part->nextSibling();
            if (!part) notCovered();
            step.slot = variableSlot(part);
            step.counts = true;
            part = part->nextSibling();
        }
        if (!part || part->nextSibling()) notCovered();
        ++loops_;
        step.second = statement(part);
        --loops_;
        return add(step);
    }
    // #(NO_CIRC_REF, #(SET, #(LOCAL, name), source))
    uint32_t assignment(const AST* node) {
        const AST* set = only(node, 1);
        if (set->getType() != QV_TOK_SET) notCovered();
        const AST* target = only(set, 2);
        Step step{Op::Set};
        step.slot = variableSlot(target);
        step.first = expression(target->nextSibling());
        return add(step);
    }
    // #(ADD, amount, target), #(SUBTRACT, amount, target), #(MULTIPLY, target, amount),
    // #(DIVIDE, target, amount), with an amount that computes a number without a call.
    uint32_t inPlace(const AST* node) {
        const AST* first = only(node, 2);
        const bool amountFirst = node->getType() == QV_TOK_ADD || node->getType() == QV_TOK_SUBTRACT;
        const AST* target = amountFirst ? first->nextSibling() : first;
        const AST* amount = amountFirst ? first : first->nextSibling();
        if (amount->form() == QvNodeForm::Other) notCovered();
        Step step{Op::InPlace};
        step.token = node->getType();
        step.slot = variableSlot(target);
        step.first = expression(amount);
        return add(step);
    }

    uint32_t expression(const AST* node) {
        Step step{Op::Constant};
        QvNumberFunction function;
        if (node->form() == QvNodeForm::NumberLiteral) {
            step.number = node->number();
        } else if (node->getType() == QV_TOK_LOCAL) {
            step.slot = variableSlot(node);
            step.op = step.slot < code_.parameterCount_ ? Op::Parameter : Op::Variable;
        } else if (node->getType() == QV_TOK_PLUGIN_FN) {
            step = call(node);
        } else if (node->form() == QvNodeForm::NumberElement && code_.loop_) {
            step.op = Op::Element;
            step.slot = variableSlot(node->firstChild(), Use::Value);
            step.first = expression(node->firstChild()->nextSibling());
        } else if (QvNumberRules::numberFunction(node->getType(), function) && node->childCount() == 1) {
            step.op = Op::Function;
            step.token = static_cast<int>(function);
            step.first = expression(node->firstChild());
        } else if (node->form() == QvNodeForm::NumberArithmetic && node->childCount() == 1) {
            step.op = Op::Unary;
            step.token = node->getType();
            step.first = expression(node->firstChild());
        } else {
            step.op = binaryOp(node);
            const AST* left = only(node, 2);
            step.first = expression(left);
            step.second = expression(left->nextSibling());
        }
        return add(step);
    }
    static Op binaryOp(const AST* node) {
        switch (node->getType()) {
        case QV_TOK_PLUS: return Op::Add;
        case QV_TOK_MINUS: return Op::Subtract;
        case QV_TOK_MULT: return Op::Multiply;
        case QV_TOK_DIV: return Op::Divide;
        case QV_TOK_POW: return Op::Power;
        default: notCovered();
        }
    }
    // Comparisons of two operands that compute numbers without calls, with `and`, `or`
    // (both sides evaluated, as the walker does) and `not`, or `true` or `false`.
    uint32_t condition(const AST* node) {
        Step step{Op::Compare};
        switch (node->getType()) {
        case QV_TOK_TRUE: case QV_TOK_FALSE:
            step.op = Op::Truth;
            step.number = node->getType() == QV_TOK_TRUE;
            break;
        case QV_TOK_NOT:
            step.op = Op::Not;
            step.first = condition(only(node, 1));
            break;
        case QV_TOK_AND: case QV_TOK_OR: {
            step.op = node->getType() == QV_TOK_AND ? Op::And : Op::Or;
            const AST* left = only(node, 2);
            step.first = condition(left);
            step.second = condition(left->nextSibling());
            break;
        }
        default: {
            if (node->form() != QvNodeForm::NumberComparison) notCovered();
            step.token = node->getType();
            const AST* left = only(node, 2);
            step.first = expression(left);
            step.second = expression(left->nextSibling());
        }
        }
        return add(step);
    }
    // #(PLUGIN_FN, namespace, name, argument...), every argument passed by value.
    Step call(const AST* node) {
        if (node->getType() != QV_TOK_PLUGIN_FN || node->childCount() < 2) notCovered();
        std::vector<uint32_t> arguments;
        for (const AST* argument = node->firstChild()->nextSibling()->nextSibling(); argument;
             argument = argument->nextSibling()) {
            const AST* passed = argument->getType() == QV_TOK_PARAM_ASSIGN ? only(argument, 2)->nextSibling() : argument;
            if (passed->getType() != QV_TOK_NO_REF_PARAMETER) notCovered();
            arguments.push_back(expression(only(passed, 1)));
        }
        if (arguments.size() > kMaxArguments) notCovered();
        Step step = listStep(Op::Call, arguments);
        step.call = const_cast<AST*>(node);
        return step;
    }
    // How code uses a variable: one whose elements it reads holds the same value
    // throughout, and is used no other way.
    enum class Use : uint8_t { None, Number, Value };

    // The frame index of a variable of the scope: a function's variables keep their
    // indexes, a loop's get the next free ones.
    uint16_t variableSlot(const AST* scopeNode, Use use = Use::Number) {
        if (scopeNode->getType() != QV_TOK_LOCAL || scopeNode->form() != QvNodeForm::Variable ||
            scopeNode->layout() != &layout_)
            notCovered();
        uint32_t slot = scopeNode->slot();
        if (code_.loop_) {
            std::vector<uint32_t>& slots = code_.scopeSlots_;
            auto found = std::find(slots.begin(), slots.end(), slot);
            slot = static_cast<uint32_t>(found - slots.begin());
            if (found == slots.end()) slots.push_back(scopeNode->slot());
        }
        if (slot >= kMaxVariables) notCovered();
        if (uses_[slot] != Use::None && uses_[slot] != use) notCovered();
        uses_[slot] = use;
        if (use == Use::Value) code_.valueSlots_ |= 1u << slot;
        return static_cast<uint16_t>(slot);
    }

    QvNumberCode& code_;
    const QvScopeLayout& layout_;
    int loops_ = 0;
    Use uses_[kMaxVariables] = {};
};

std::unique_ptr<QvNumberCode> QvNumberCode::compile(const AST* body, const QvScopeLayout& layout,
                                                    size_t parameterCount, uint32_t referenceParameters) {
    if (!body || body->kind() != QvNodeKind::Block || layout.size() > kMaxVariables || parameterCount > layout.size())
        return nullptr;
    auto code = std::unique_ptr<QvNumberCode>(new QvNumberCode);
    code->parameterCount_ = parameterCount;
    code->parameterBits_ = parameterCount == 0 ? 0 : ~0u >> (kMaxVariables - parameterCount);
    code->referenceParameters_ = referenceParameters;
    try {
        code->body_ = Compiler(*code, layout).statement(body);
    } catch (const Compiler::NotCovered&) {
        return nullptr;
    }
    return code;
}

__attribute__((tls_model("initial-exec"))) thread_local bool QvNumberCode::suspended_ = false;

namespace {
// What a loop's node keeps: its code for one scope, or none when it is not covered.
struct LoopCode : QvNodeObject {
    const QvScopeLayout* scope;
    std::unique_ptr<QvNumberCode> code;
};
}

const QvNumberCode* QvNumberCode::ofLoop(AST* loop, const QvScopeLayout* scope) {
    std::unique_ptr<QvNodeObject>& kept = loop->evaluatorObject();
    if (!kept && scope) {
        auto made = std::make_unique<LoopCode>();
        made->scope = scope;
        made->code.reset(new QvNumberCode);
        made->code->loop_ = true;
        try {
            made->code->body_ = Compiler(*made->code, *scope).statement(loop);
        } catch (const Compiler::NotCovered&) {
            made->code.reset();
        }
        kept = std::move(made);
    }
    auto* loopCode = static_cast<const LoopCode*>(kept.get());
    return loopCode && loopCode->scope == scope ? loopCode->code.get() : nullptr;
}

QvNumberCode::Outcome QvNumberCode::run(QvParser* session, Frame& frame, double& result) const {
    if (!runnable()) return Outcome::NotRun;
    frame.session = session;
    try {
        if (loop_) {
            execute(body_, frame);
            return Outcome::Nothing;
        }
        if (!invoke(frame)) return Outcome::Nothing;
    } catch (const GiveUp& giveUp) {
        return giveUp.stopped ? Outcome::Stopped : Outcome::GaveUp;
    }
    result = frame.result;
    return Outcome::Number;
}

void QvNumberCode::poll(const Frame& frame) {
    if (QvYieldState::raised() || frame.session->getInterruptedFlag()) throw GiveUp{true};
}

bool QvNumberCode::invoke(Frame& frame) const {
    if (QvStackGuard::exhausted()) giveUp();
    poll(frame);
    frame.set = parameterBits_;
    frame.made = 0;
    frame.returned = false;
    block(steps_[body_], frame);
    return frame.returned;
}

double QvNumberCode::evaluate(uint32_t index, Frame& frame) const {
    const Step& step = steps_[index];
    switch (step.op) {
    case Op::Constant: return step.number;
    case Op::Parameter: return frame.variables[step.slot];
    case Op::Variable: return variable(step.slot, frame);
    case Op::Unary: return QvNumberRules::applyUnary(step.token, operand(step.first, frame));
    case Op::Function:
        return QvNumberValue::apply(static_cast<QvNumberFunction>(step.token), operand(step.first, frame));
    case Op::Add: {
        double left = operand(step.first, frame);
        return QvNumberValue::apply(QvArithmeticOp::Add, left, operand(step.second, frame));
    }
    case Op::Subtract: {
        double left = operand(step.first, frame);
        return QvNumberValue::apply(QvArithmeticOp::Subtract, left, operand(step.second, frame));
    }
    case Op::Multiply: {
        double left = operand(step.first, frame);
        return QvNumberValue::apply(QvArithmeticOp::Multiply, left, operand(step.second, frame));
    }
    case Op::Divide: {
        double left = operand(step.first, frame);
        double right = operand(step.second, frame);
        if (right == 0) giveUp();
        return QvNumberValue::apply(QvArithmeticOp::Divide, left, right);
    }
    case Op::Power: {
        double base = operand(step.first, frame);
        return std::pow(base, operand(step.second, frame));
    }
    case Op::Call: {
        double result;
        if (!call(step, frame, result)) giveUp();
        return result;
    }
    case Op::Element: {
        double element;
        if (!frame.values[step.slot]->NumberAt(operand(step.first, frame), element)) giveUp();
        return element;
    }
    default: giveUp();
    }
}

bool QvNumberCode::test(uint32_t index, Frame& frame) const {
    const Step& step = steps_[index];
    switch (step.op) {
    case Op::Truth: return step.number != 0;
    case Op::Not: return !test(step.first, frame);
    case Op::And: {
        const bool left = test(step.first, frame);
        return test(step.second, frame) && left;
    }
    case Op::Or: {
        const bool left = test(step.first, frame);
        return test(step.second, frame) || left;
    }
    default: {
        double left = operand(step.first, frame);
        return QvNumberRules::compare(step.token, left, operand(step.second, frame));
    }
    }
}

QvNumberCode::Flow QvNumberCode::execute(uint32_t index, Frame& frame) const {
    const Step& step = steps_[index];
    switch (step.op) {
    case Op::Block: return block(step, frame);
    case Op::If: return test(step.first, frame) ? execute(step.second, frame) : Flow::Next;
    case Op::IfElse: return execute(test(step.first, frame) ? step.second : step.third, frame);
    case Op::Set: frame.setNumber(step.slot, operand(step.first, frame)); return Flow::Next;
    case Op::InPlace: {
        const double amount = operand(step.first, frame);
        const QvArithmeticOp op = QvNumberRules::arithmeticOp(step.token);
        if (op == QvArithmeticOp::Divide && amount == 0) giveUp();
        frame.variables[step.slot] = QvNumberValue::apply(op, variable(step.slot, frame), amount);
        return Flow::Next;
    }
    case Op::Times: case Op::While: case Op::Forever: return loop(step, frame);
    case Op::Break: return Flow::Break;
    case Op::Return:
        frame.result = operand(step.first, frame);
        frame.returned = true;
        return Flow::Return;
    case Op::ReturnNothing: return Flow::Return;
    case Op::CallStatement: {
        double dropped;
        call(step, frame, dropped);
        return Flow::Next;
    }
    default: giveUp();
    }
}

// The count or the first condition comes before the counter, which a loop makes,
// holding 0, when there is none yet; 1 is added to it after every pass that does not
// break.
QvNumberCode::Flow QvNumberCode::loop(const Step& step, Frame& frame) const {
    const bool times = step.op == Op::Times;
    const double count = times ? std::trunc(operand(step.first, frame)) : 0;
    bool going = times ? 0 < count : step.op == Op::Forever || test(step.first, frame);
    if (step.counts && !(frame.set >> step.slot & 1u)) frame.setNumber(step.slot, 0);
    for (double pass = 1; going; ++pass) {
        poll(frame);
        Flow flow = execute(step.second, frame);
        if (flow == Flow::Break) break;
        if (flow == Flow::Return) return flow;
        if (step.counts) frame.variables[step.slot] += 1.0;
        going = times ? pass < count : step.op == Op::Forever || test(step.first, frame);
    }
    return Flow::Next;
}

// What the walker would find for the call, passing every argument as a value, when the
// call's node does not keep it yet.
const QvCallTarget& QvNumberCode::findTarget(const Step& step, QvParser* session) {
    QvCallSite site(step.call, step.count, session, nullptr);
    for (size_t i = 0; i < step.count; ++i) site.argument(i).kind = QvArgumentSlot::Value;
    return QvCallTarget::of(step.call, site);
}

bool QvNumberCode::call(const Step& step, Frame& frame, double& result) const {
    const QvCallTarget* kept = QvCallTarget::kept(step.call);
    const QvCallTarget::Overload* overload = (kept ? *kept : findTarget(step, frame.session)).scriptCall();
    const QvNumberCode* callee = overload ? overload->scriptFunction->numberCode() : nullptr;
    if (!callee || callee->referenceParameters_ || callee->abandoned_.load(std::memory_order_relaxed)) {
        abandoned_.store(true, std::memory_order_relaxed);
        giveUp();
    }
    double arguments[kMaxArguments];
    for (uint32_t i = 0; i < step.count; ++i) arguments[i] = operand(lists_[step.first + i], frame);
    Frame inner;
    inner.session = frame.session;
    for (size_t p = 0; p < callee->parameterCount_; ++p) {
        const int argument = overload->argumentOf[p];
        if (argument < 0) giveUp();
        inner.variables[p] = arguments[argument];
    }
    if (!callee->invoke(inner)) return false;
    if (!overload->anyResult && !overload->signature->returnType().contains(QV_NUMBER)) giveUp();
    result = inner.result;
    return true;
}
