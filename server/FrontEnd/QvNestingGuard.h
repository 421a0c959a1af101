#pragma once

// Counts how deeply statements and expressions nest while a rule runs, so that a
// pathological script is refused before the parser's recursion exhausts the stack.
template <class Parser>
class QvNestingGuard {
public:
    explicit QvNestingGuard(Parser& parser) : parser_(parser) { parser_.enterNesting(); }
    ~QvNestingGuard() { parser_.leaveNesting(); }
    QvNestingGuard(const QvNestingGuard&) = delete;
    QvNestingGuard& operator=(const QvNestingGuard&) = delete;

private:
    Parser& parser_;
};
