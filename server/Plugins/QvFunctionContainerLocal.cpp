#include "Plugins/QvFunctionContainerLocal.h"

#include <optional>

#include "Errors/QvErrors.h"
#include "FrontEnd/QvTokens.h"
#include "FrontEnd/AST.h"
#include "Interpreter/QvTreeEval.h"
#include "Plugins/QvParameterBlock.h"
#include "Plugins/QvStackGuard.h"
#include "Session/QvParser.h"

namespace {
// A call's evaluator, borrowed from the run's top-level evaluator and handed back
// emptied, so that a call costs no evaluator construction.
class CallEvaluator {
public:
    explicit CallEvaluator(QvParser* session) : top_(session->getQvTreeEval()) {
        evaluator_ = top_ ? top_->takeCallEvaluator() : std::make_unique<QvTreeEval>(session);
    }
    ~CallEvaluator() {
        if (top_) top_->keepCallEvaluator(std::move(evaluator_));
    }
    CallEvaluator(const CallEvaluator&) = delete;
    CallEvaluator& operator=(const CallEvaluator&) = delete;
    QvTreeEval& evaluator() { return *evaluator_; }

private:
    QvTreeEval* top_;
    std::unique_ptr<QvTreeEval> evaluator_;
};

AST* defaultExpressionOf(AST* parameterNode) {
    for (AST* child = parameterNode->firstChild(); child; child = child->nextSibling())
        if (child->getType() == QV_TOK_PARAM_ASSIGN) return child->nextSibling();
    return nullptr;
}
}

QvFunctionContainerLocal::QvFunctionContainerLocal(AST* definition, bool hasNamespace) {
    AST* node = definition->firstChild();
    if (hasNamespace) node = node->nextSibling();
    for (node = node->nextSibling(); node && node->getType() == QV_TOK_IDENT; node = node->nextSibling()) {
        parameters_.push_back({node, defaultExpressionOf(node)});
        if (parameters_.back().defaultExpression) hasDefaults_ = true;
        node->bindSlot(&layout_, layout_.add(node->hash(), node->getText()));
    }
    for (; node; node = node->nextSibling())
        if (node->getType() == QV_TOK_BEGIN) body_ = node;
    definition->bindSlot(&layout_, 0);
}

QvValueRef QvFunctionContainerLocal::invoke(QvParameterBlock& block) {
    QvArgumentSlot* entries = block.entries();
    return run(block.session(), block.caller(), [entries](size_t i) -> QvArgumentSlot& { return entries[i]; })
        .takeValue();
}

QvArgumentSlot QvFunctionContainerLocal::call(QvParser* session, TreeEval* caller, QvArgumentSlot* given,
                                              const std::vector<int>& argumentOf) {
    QvArgumentSlot omitted;
    return run(session, caller, [given, &argumentOf, &omitted](size_t i) -> QvArgumentSlot& {
        return argumentOf[i] < 0 ? omitted : given[argumentOf[i]];
    });
}

void QvFunctionContainerLocal::makeNumberCode() {
    std::lock_guard<std::mutex> lock(numberCodeMaking_);
    if (numberCodeMade_.load(std::memory_order_relaxed)) return;
    // A parameter's node holds the types it accepts (the walker checks them before the
    // call), then `&` or a default.
    bool plainParameters = parameters_.size() <= QvNumberCode::kMaxVariables;
    uint32_t byReference = 0;
    std::vector<const AST*> defaults;
    for (size_t i = 0; plainParameters && i < parameters_.size(); ++i) {
        defaults.push_back(parameters_[i].defaultExpression);
        for (const AST* part = parameters_[i].name->firstChild(); part; part = part->nextSibling())
            if (part->getType() == QV_TOK_REF_PARAMETER) byReference |= 1u << i;
        if ((byReference >> i & 1u) && defaults.back()) plainParameters = false;
    }
    if (plainParameters)
        numberCode_ = QvNumberCode::compile(body_, layout_, parameters_.size(), byReference, defaults);
    numberCodeMade_.store(true, std::memory_order_release);
}

template <class Arguments>
QvNumberCode::Outcome QvFunctionContainerLocal::runNumberCode(QvParser* session, Arguments argument,
                                                              QvArgumentSlot& result) {
    const QvNumberCode* code = numberCode();
    if (!code || code->referenceParameters()) return QvNumberCode::Outcome::NotRun;
    QvNumberCode::Frame frame;
    for (size_t i = 0; i < parameters_.size(); ++i) {
        const QvArgumentSlot& given = argument(i);
        if (given.kind == QvArgumentSlot::Empty) continue;
        if (!given.holdsNumber(frame.variables[i])) return QvNumberCode::Outcome::NotRun;
        frame.set |= 1u << i;
    }
    const QvNumberCode::Outcome outcome = code->run(session, frame, result.number);
    if (outcome == QvNumberCode::Outcome::Number) result.kind = QvArgumentSlot::Number;
    return outcome;
}

template <class Arguments>
QvArgumentSlot QvFunctionContainerLocal::run(QvParser* session, TreeEval* caller, Arguments argument) {
    QvStackGuard::check();
    QvArgumentSlot result;
    const QvNumberCode::Outcome outcome = runNumberCode(session, argument, result);
    if (QvNumberCode::ran(outcome)) return result;
    std::optional<QvNumberCode::Suspension> suspension;
    if (outcome == QvNumberCode::Outcome::GaveUp) suspension.emplace();
    return walk(session, caller, argument);
}

template <class Arguments>
inline QvArgumentSlot QvFunctionContainerLocal::walk(QvParser* session, TreeEval* caller, Arguments argument) {
    CallEvaluator lease(session);
    QvTreeEval& evaluator = lease.evaluator();
    evaluator.useLayout(&layout_);
    if (caller) evaluator.setCatching(caller->catching());
    for (size_t i = 0; i < parameters_.size(); ++i) {
        const AST* name = parameters_[i].name;
        QvArgumentSlot& entry = argument(i);
        if (entry.kind == QvArgumentSlot::Number)
            evaluator.setParameterNumber(name, entry.number);
        else if (entry.kind == QvArgumentSlot::Value)
            evaluator.setParameter(name, std::move(entry.value));
        else if (entry.kind == QvArgumentSlot::Reference)
            evaluator.setReferenceParameter(name, entry.referee);
        else if (!parameters_[i].defaultExpression)
            QvError("Internal parameter problem in plug-in");
    }
    // Defaults come second, so that they may use the parameters given before them.
    for (size_t i = 0; hasDefaults_ && i < parameters_.size(); ++i) {
        if (argument(i).kind != QvArgumentSlot::Empty) continue;
        evaluator.setParameter(parameters_[i].name, evaluator.expression(parameters_[i].defaultExpression));
    }
    QvArgumentSlot result;
    evaluator.setReturnTarget(&result);
    if (body_) evaluator.statement(body_);
    return result;
}
