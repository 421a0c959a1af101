#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "FrontEnd/AST.h"

class QvCallTarget;
class QvValue;
class QvParser;
class QvScopeLayout;

// The code of a script function that works on plain numbers only, decoded once into a
// compact form that runs without the tree walker: no variable maps and no value
// objects, the function's variables a frame of doubles on the stack. It covers the
// parameters (with their defaults) and the function's own variables, reading `global`
// ones, number literals, + - * / with negation and units, pow and the functions of one
// number (sqrt, abs, round, sin...), the six comparisons of numbers with `and`, `or`,
// `!`, `true` and `false`, blocks, `if` and `else`, `set`, in-place arithmetic, loops
// with `break`, `return`, and calls (as expressions or statements) of script functions
// whose code is of this kind too.
//
// A loop statement (`repeat N times`, `repeat while`, `repeat forever`, counting or
// not, with no `every`) built of the same parts has number code too, kept on its node;
// its frame holds copies of the variables of its scope that it names.
//
// Such code changes nothing but its own frames. So whenever anything out of the
// ordinary happens (an error such as a division by zero or a variable read before it
// is set, a stop request, a call whose target is not yet known or is another kind of
// function, recursion near the end of the stack) it gives up, and the walker runs the
// call from the start: to the same result, or to the same error reported the same way.
class QvNumberCode {
public:
    static constexpr size_t kMaxVariables = 32;
    static constexpr size_t kMaxArguments = 8;

    // The code of a function's body (its BEGIN node), whose variables `layout` lists
    // with the parameters first: those taken by reference have their bits set in
    // `referenceParameters`, those that may be left out their default expressions in
    // `defaults` (null for the others). Null when the body or a default uses anything
    // the code does not cover, or the function has more variables than a frame holds.
    static std::unique_ptr<QvNumberCode> compile(const AST* body, const QvScopeLayout& layout, size_t parameterCount,
                                                 uint32_t referenceParameters, const std::vector<const AST*>& defaults);

    // The code of the loop, made at its first run for the variables of `scope` (the
    // layout of the evaluator running it); null when the loop is not covered.
    static const QvNumberCode* ofLoop(AST* loop, const QvScopeLayout* scope);
    // A loop's frame holds variable k of its scope's layout at index k: a number, or for
    // a variable whose elements the loop reads, its value.
    size_t variableCount() const { return scopeSlots_.size(); }
    uint32_t scopeSlot(size_t k) const { return scopeSlots_[k]; }
    bool holdsValue(size_t k) const { return valueSlots_ >> k & 1u; }

    // A parameter taken by reference runs on a copy of the caller's variable, which the
    // caller writes back once the code has run (only from the walker: calls inside
    // number code pass values only).
    uint32_t referenceParameters() const { return referenceParameters_; }

    // One run's variables, the parameters first: the caller sets those it gives and
    // their bits in `set` (for a loop, the variables it copies in).
    struct Frame {
        double variables[kMaxVariables];
        const QvValue* const* values = nullptr;  // a loop's, for those it holds as values
        QvParser* session = nullptr;
        // A loop of the top level, or a variable passed by reference, holds copies of
        // variables of the top level, so those cannot be read where they live.
        bool globalsLent = false;
        uint32_t set = 0;  // a bit per variable that holds a number
        // The variables that came to hold a number here, in that order.
        uint8_t madeOrder[kMaxVariables];
        uint32_t made = 0;
        bool returned = false;
        double result = 0;

        void setNumber(uint16_t slot, double number) {
            variables[slot] = number;
            if (set >> slot & 1u) return;
            set |= 1u << slot;
            madeOrder[made++] = static_cast<uint8_t>(slot);
        }
    };

    enum class Outcome { Number, Nothing, NotRun, GaveUp, Stopped };
    // Runs the function, or the loop, in the frame: Number with the returned number in
    // `result`, Nothing when it ended without one (a loop always does); NotRun (when
    // number code is suspended or this code abandoned), GaveUp and Stopped (a stop was
    // requested; the frame holds the variables as they were then) leave it to the walker.
    Outcome run(QvParser* session, Frame& frame, double& result) const;
    static bool ran(Outcome outcome) { return outcome == Outcome::Number || outcome == Outcome::Nothing; }
    // False when run would answer NotRun whatever the arguments.
    bool runnable() const { return !suspended_ && !abandoned_.load(std::memory_order_relaxed); }

    // While one lives on a thread, no number code runs there. The walker runs a call
    // whose code gave up under one: it meets what made the code give up the same way,
    // and trying the code again at each level of a deep recursion on the way there would
    // cost time in proportion to the square of its depth.
    class Suspension {
    public:
        Suspension() : previous_(suspended_) { suspended_ = true; }
        ~Suspension() { suspended_ = previous_; }
        Suspension(const Suspension&) = delete;
        Suspension& operator=(const Suspension&) = delete;

    private:
        bool previous_;
    };

private:
    enum class Op : uint8_t {
        // Expressions.
        Constant, Parameter, Variable, Global, Element, Unary, Function, Add, Subtract, Multiply, Divide, Power, Call,
        // Conditions.
        Compare, And, Or, Not, Truth,
        // Statements.
        Block, If, IfElse, Set, InPlace, Times, While, Forever, Break, Return, ReturnNothing, CallStatement,
    };
    // One decoded node. Operands are indexes of other steps; a block's statements and a
    // call's arguments are `count` indexes in `lists_` from `first`.
    struct Step {
        Op op;
        // The variable of Parameter, Variable, Global (at the top level), Element, Set,
        // InPlace and a counting loop.
        uint16_t slot = 0;
        bool counts = false;  // a loop that increments its counter
        // The operator of Unary, Compare and InPlace; the QvNumberFunction of Function.
        int token = 0;
        uint32_t first = 0, second = 0, third = 0;
        uint32_t count = 0;
        double number = 0;    // Constant, Truth
        AST* call = nullptr;  // the call node of Call and CallStatement
    };
    enum class Flow { Next, Break, Return };
    class Compiler;
    struct GiveUp {
        bool stopped;
    };

    [[noreturn]] static void giveUp() { throw GiveUp{false}; }
    // Between calls and loop passes, as the walker does: a stop request gives up.
    static void poll(const Frame& frame);

    // Runs the body in a frame whose given parameters are set; true when it returned a
    // number.
    bool invoke(Frame& frame) const;
    // The parameters a call left out take their defaults, in order, after those it gave,
    // as the walker gives them.
    void giveDefaults(Frame& frame) const;
    double evaluate(uint32_t step, Frame& frame) const;
    double variable(uint32_t slot, const Frame& frame) const {
        if (!(frame.set >> slot & 1u)) giveUp();
        return frame.variables[slot];
    }
    // evaluate for an operand, with the leaves inline.
    [[gnu::always_inline]] double operand(uint32_t index, Frame& frame) const {
        const Step& step = steps_[index];
        if (step.op == Op::Parameter) return frame.variables[step.slot];
        if (step.op == Op::Variable) return variable(step.slot, frame);
        if (step.op == Op::Constant) return step.number;
        return evaluate(index, frame);
    }
    bool test(uint32_t step, Frame& frame) const;
    Flow execute(uint32_t step, Frame& frame) const;
    Flow block(const Step& step, Frame& frame) const {
        for (uint32_t i = 0; i < step.count; ++i) {
            Flow flow = execute(lists_[step.first + i], frame);
            if (flow != Flow::Next) return flow;
        }
        return Flow::Next;
    }
    Flow loop(const Step& step, Frame& frame) const;
    static const QvCallTarget& findTarget(const Step& step, QvParser* session);
    double global(uint32_t slot, const Frame& frame) const;
    // The call's result; false when the function returned nothing.
    bool call(const Step& step, Frame& frame, double& result) const;

    std::vector<Step> steps_;
    std::vector<uint32_t> lists_;
    uint32_t body_ = 0;
    size_t parameterCount_ = 0;
    uint32_t parameterBits_ = 0;  // the bits of `Frame::set` for the parameters
    uint32_t referenceParameters_ = 0;
    static constexpr uint32_t kNoDefault = UINT32_MAX;
    std::vector<uint32_t> defaults_;  // per parameter: its default's step, or kNoDefault
    // A loop's code: per frame index, the index of the variable in its scope's layout.
    bool loop_ = false;
    std::vector<uint32_t> scopeSlots_;
    uint32_t valueSlots_ = 0;
    // The layout of the top level, which `global` variables are read by.
    const QvScopeLayout* globalLayout_ = nullptr;
    // Set once a call in the body turned out to reach a function that has no number
    // code: the code would always give up there, so it is not tried any more.
    mutable std::atomic<bool> abandoned_{false};
    static __attribute__((tls_model("initial-exec"))) thread_local bool suspended_;
};
