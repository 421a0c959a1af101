#include "Interpreter/QvNumberCode.h"

#include <cmath>

#include "Errors/QvYieldState.h"
#include "Interpreter/QvNumberRules.h"
#include "Interpreter/QvTreeEval.h"
#include "Plugins/QvCallSite.h"
#include "Plugins/QvCallTarget.h"
#include "Plugins/QvFunctionContainerLocal.h"
#include "Plugins/QvPluginSignature.h"
#include "Plugins/QvStackGuard.h"
#include "Session/QvParser.h"

__attribute__((tls_model("initial-exec"))) thread_local bool QvNumberCode::suspended_ = false;

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

void QvNumberCode::giveDefaults(Frame& frame) const {
    for (size_t p = 0; p < parameterCount_; ++p) {
        if (frame.set >> p & 1u) continue;
        if (defaults_[p] == kNoDefault) giveUp();
        frame.setNumber(static_cast<uint16_t>(p), operand(defaults_[p], frame));
    }
}

// Only while no loop holds copies of them.
double QvNumberCode::global(uint32_t slot, const Frame& frame) const {
    const QvTreeEval* top = frame.session->getQvTreeEval();
    if (frame.globalsLent || !top || top->valueMap().layout() != globalLayout_) giveUp();
    const QvValueContainer* variable = top->valueMap().atSlot(slot);
    const QvValue* value = variable ? variable->getValue().get() : nullptr;
    if (!QvNumberValue::isNumber(value)) giveUp();
    return QvNumberValue::numberIn(value);
}

void QvNumberCode::poll(const Frame& frame) {
    if (QvYieldState::raised() || frame.session->getInterruptedFlag()) throw GiveUp{true};
}

bool QvNumberCode::invoke(Frame& frame) const {
    if (QvStackGuard::exhausted()) giveUp();
    poll(frame);
    frame.made = 0;
    if (frame.set != parameterBits_) giveDefaults(frame);
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
    const QvCallTarget::Overload* overload = (kept ? *kept : findTarget(step, frame.session)).numberCall();
    const QvNumberCode* callee = overload ? overload->scriptFunction->numberCode() : nullptr;
    if (!callee || callee->referenceParameters_ || callee->abandoned_.load(std::memory_order_relaxed)) {
        abandoned_.store(true, std::memory_order_relaxed);
        giveUp();
    }
    double arguments[kMaxArguments];
    for (uint32_t i = 0; i < step.count; ++i) arguments[i] = operand(lists_[step.first + i], frame);
    Frame inner;
    inner.session = frame.session;
    inner.globalsLent = frame.globalsLent;
    for (size_t p = 0; p < callee->parameterCount_; ++p) {
        const int argument = overload->argumentOf[p];
        if (argument < 0) continue;
        inner.variables[p] = arguments[argument];
        inner.set |= 1u << p;
    }
    if (!callee->invoke(inner)) return false;
    if (!overload->anyResult && !overload->signature->returnType().contains(QV_NUMBER)) giveUp();
    result = inner.result;
    return true;
}
