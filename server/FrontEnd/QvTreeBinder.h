#pragma once

class AST;
class QvScopeLayout;

// Prepares a parsed tree for the evaluator, once: every node gets the kind of rule
// the evaluator applies to it, every identifier of a variable is bound to the layout
// of the scope it addresses and to its index there, and nodes whose value the
// evaluator can compute as a plain number are marked with their form.
// `local` names a variable of the scope being bound: the run's top level, or a script
// function whose definition node carries the function's layout (the parser gave it
// one when it registered the function). `global` always names the top level. A
// definition that was never registered is left unbound; it never runs.
class QvTreeBinder {
public:
    explicit QvTreeBinder(QvScopeLayout& topLevel) : topLevel_(topLevel) {}

    // Binds the statements from `first` on, with their siblings.
    void bind(AST* first) { bindSiblings(first, topLevel_); }

private:
    void bindSiblings(AST* first, QvScopeLayout& local);
    void bindNode(AST* node, QvScopeLayout& local);
    static void markForm(AST* node);

    QvScopeLayout& topLevel_;
};
