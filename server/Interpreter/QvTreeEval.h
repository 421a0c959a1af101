#pragma once
#include <memory>
#include <vector>

#include "Interpreter/QvValueMap.h"
#include "Interpreter/TreeEval.h"

// The evaluator of one run (or of one user-function call, whose outer evaluator is the
// run's): the variables of its scope in two maps, ordinary and window variables, and
// the rules that turn errors into the session's run-time error records.
class QV_EXPORT QvTreeEval final : public TreeEval {
public:
    // A top-level evaluator (no outer one) files its variables by the layout of the
    // session's top level; a call's evaluator is given its function's (useLayout).
    QvTreeEval(QvParser* session, QvTreeEval* outer = nullptr);
    ~QvTreeEval() override;

    QvValueContainer* getContainerCreate(unsigned hash, const char* name, bool circular) override;
    QvValueContainer* getContainer(unsigned hash, const char* name) override;
    void incrementVariable(bool global, unsigned hash, const char* name) override;
    void notifyHolders(QvValue* value) override;
    void notifyVariable(unsigned hash, const char* name) override;
    QvValueRef getValue(unsigned hash, const char* name, bool& writable) override;
    bool hasVariable(unsigned hash, const char* name) override;
    QvValueRef getWindowValue(unsigned hash, const char* name, bool& writable) override;
    void setVariable(unsigned hash, const char* name, QvValueRef value) override;
    // setVariable and setReference (read-write) for a parameter of a script function.
    void setParameter(const AST* identifier, QvValueRef value);
    void setParameterNumber(const AST* identifier, double number) {
        if (QvValueContainer* container = values_.find(identifier))
            container->setNumber(number);
        else if (values_.residesHere(identifier))
            values_.addResidentNumber(identifier, number, session_);
        else
            setParameter(identifier, new QvNumberValue(number));
    }
    void setReferenceParameter(const AST* identifier, QvValueContainer* container);
    void setWindowReference(unsigned hash, const char* name, QvValueContainer* container) override;
    void setWindowVariable(unsigned hash, const char* name, QvValueRef value) override;
    void deleteVariable(unsigned hash, const char* name) override;
    void deleteWindowVariable(unsigned hash, const char* name) override;
    void checkWritable(bool writable) override;
    void checkInterrupt() override;
    [[noreturn]] void handleError(AST* node, QvException* error) override;
    void setReference(unsigned hash, const char* name, QvValueContainer* container, bool writable) override;
    void setWindowPosition(unsigned hash, const char* name, double x, double y) override;
    void printValueMaps() override;
    QvValueContainer* getWindowContainer(unsigned hash, const char* name) override;

    // Only while the evaluator holds no variables.
    void useLayout(const QvScopeLayout* layout) { values_.useLayout(layout); }

    // Records one run-time error at the node's line in the session's error list.
    void reportRuntimeError(AST* node, const std::string& message);

    // Function calls borrow their evaluators from the run's top-level evaluator: a
    // finished call's evaluator is emptied and kept for the next call.
    std::unique_ptr<QvTreeEval> takeCallEvaluator() {
        if (spareCallEvaluators_.empty()) return std::make_unique<QvTreeEval>(session_, this);
        std::unique_ptr<QvTreeEval> evaluator = std::move(spareCallEvaluators_.back());
        spareCallEvaluators_.pop_back();
        return evaluator;
    }
    void keepCallEvaluator(std::unique_ptr<QvTreeEval> evaluator) {
        evaluator->recycle();
        if (spareCallEvaluators_.size() < kSpareCallEvaluators) spareCallEvaluators_.push_back(std::move(evaluator));
    }


private:
    QvTreeEval* outerEvaluator() const { return static_cast<QvTreeEval*>(outer_); }

    // Drops the entries that refer to nothing any more, here and in the outer evaluator.
    void purge();
    void purgeOwnMaps();
    // Variables of the outer evaluator that referred to removed ones are emptied, and
    // leave its maps.
    void removeAllVariables() {
        bool emptiedOthers = values_.clear();
        if (windows_.clear()) emptiedOthers = true;
        QvTreeEval* outer = outerEvaluator();
        if (emptiedOthers && outer) outer->purgeOwnMaps();
    }
    // Forgets every variable and all state, as if just made.
    void recycle() {
        removeAllVariables();
        catching_ = false;
        lvalue_ = false;
        setReturnTarget(nullptr);
    }
    void deleteEntriesFor(const QvValueContainer* container);

    static constexpr size_t kSpareCallEvaluators = 64;

    std::vector<std::unique_ptr<QvTreeEval>> spareCallEvaluators_;
};
