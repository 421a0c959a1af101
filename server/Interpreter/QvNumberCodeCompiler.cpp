#include "Interpreter/QvNumberCode.h"

#include <algorithm>

#include "FrontEnd/AST.h"
#include "FrontEnd/QvScopeLayout.h"
#include "Interpreter/QvNumberRules.h"

// Decodes a body into steps, or finds a node the code does not cover.
class QvNumberCode::Compiler {
public:
    Compiler(QvNumberCode& code, const QvScopeLayout& layout) : code_(code), layout_(layout) {}

    struct NotCovered {};

    // A parameter's default, which may read the parameters before it only once they
    // are set.
    uint32_t defaultValue(const AST* expression) {
        defaulting_ = true;
        const uint32_t step = this->expression(expression);
        defaulting_ = false;
        return step;
    }

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
        } else if (node->getType() == QV_TOK_GLOBAL && node->layout() != &layout_) {
            if (node->form() != QvNodeForm::Variable || node->slot() > UINT16_MAX) notCovered();
            step.op = Op::Global;
            step.slot = static_cast<uint16_t>(node->slot());
            code_.globalLayout_ = node->layout();
        } else if (node->getType() == QV_TOK_LOCAL || node->getType() == QV_TOK_GLOBAL) {
            step.slot = variableSlot(node);
            step.op = step.slot < code_.parameterCount_ && !defaulting_ ? Op::Parameter : Op::Variable;
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
            const bool named = argument->getType() == QV_TOK_PARAM_ASSIGN;
            const AST* passed = named ? only(argument, 2)->nextSibling() : argument;
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

    // The frame index of a variable of the scope (`global` names the scope's own at the
    // top level): a function's variables keep their indexes, a loop's get the next free
    // ones.
    uint16_t variableSlot(const AST* scopeNode, Use use = Use::Number) {
        const bool named = scopeNode->getType() == QV_TOK_LOCAL || scopeNode->getType() == QV_TOK_GLOBAL;
        if (!named || scopeNode->form() != QvNodeForm::Variable || scopeNode->layout() != &layout_) notCovered();
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
    bool defaulting_ = false;
    Use uses_[kMaxVariables] = {};
};

std::unique_ptr<QvNumberCode> QvNumberCode::compile(const AST* body, const QvScopeLayout& layout,
                                                    size_t parameterCount, uint32_t referenceParameters,
                                                    const std::vector<const AST*>& defaults) {
    if (!body || body->kind() != QvNodeKind::Block || layout.size() > kMaxVariables || parameterCount > layout.size())
        return nullptr;
    auto code = std::unique_ptr<QvNumberCode>(new QvNumberCode);
    code->parameterCount_ = parameterCount;
    code->parameterBits_ = parameterCount == 0 ? 0 : ~0u >> (kMaxVariables - parameterCount);
    code->referenceParameters_ = referenceParameters;
    try {
        Compiler compiler(*code, layout);
        for (const AST* expression : defaults)
            code->defaults_.push_back(expression ? compiler.defaultValue(expression) : kNoDefault);
        code->body_ = compiler.statement(body);
    } catch (const Compiler::NotCovered&) {
        return nullptr;
    }
    return code;
}

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
