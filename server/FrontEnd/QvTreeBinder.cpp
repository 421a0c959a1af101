#include "FrontEnd/QvTokens.h"
#include "FrontEnd/QvTreeBinder.h"

#include <cstdlib>

#include "FrontEnd/AST.h"
#include "FrontEnd/QvScopeLayout.h"

namespace {
bool computesNumber(const AST* node) {
    QvNodeForm form = node ? node->form() : QvNodeForm::Other;
    return form == QvNodeForm::NumberLiteral || form == QvNodeForm::Variable || form == QvNodeForm::NumberArithmetic;
}

// The operands of a node that has exactly `count` children, all computing numbers.
bool numberOperands(const AST* node, int count) {
    int seen = 0;
    for (const AST* child = node->firstChild(); child; child = child->nextSibling())
        if (++seen > count || !computesNumber(child)) return false;
    return seen == count;
}
}

void QvTreeBinder::bindSiblings(AST* first, QvScopeLayout& local) {
    for (AST* node = first; node; node = node->nextSibling()) bindNode(node, local);
}

void QvTreeBinder::bindNode(AST* node, QvScopeLayout& local) {
    const int type = node->getType();
    if (type == QV_TOK_DEFINE) {
        QvScopeLayout* function = const_cast<QvScopeLayout*>(node->layout());
        if (function) bindSiblings(node->firstChild(), *function);
        return;
    }
    AST* identifier = node->firstChild();
    if ((type == QV_TOK_LOCAL || type == QV_TOK_GLOBAL) && identifier && identifier->getType() == QV_TOK_IDENT) {
        QvScopeLayout& scope = type == QV_TOK_GLOBAL ? topLevel_ : local;
        identifier->bindSlot(&scope, scope.add(identifier->hash(), identifier->getText()));
        node->setForm(QvNodeForm::Variable);
        return;
    }
    bindSiblings(identifier, local);
    markForm(node);
}

void QvTreeBinder::markForm(AST* node) {
    switch (node->getType()) {
    case QV_TOK_INT1: case QV_TOK_INT2: case QV_TOK_INT4: case QV_TOK_INT_TOK: case QV_TOK_FLOAT:
    case QV_TOK_EXP_NUM:
        node->setNumber(std::atof(node->getText()));
        node->setForm(QvNodeForm::NumberLiteral);
        return;
    case QV_TOK_PLUS: case QV_TOK_MINUS: case QV_TOK_MULT: case QV_TOK_DIV:
        if (numberOperands(node, 2)) node->setForm(QvNodeForm::NumberArithmetic);
        return;
    case QV_TOK_UNARY_MINUS: case QV_TOK_PERCENT: case QV_TOK_SECOND: case QV_TOK_MINUTE: case QV_TOK_HOUR:
    case QV_TOK_DAY: case QV_TOK_WEEK: case QV_TOK_YEAR:
        if (numberOperands(node, 1)) node->setForm(QvNodeForm::NumberArithmetic);
        return;
    case QV_TOK_EQUAL: case QV_TOK_NE: case QV_TOK_LT: case QV_TOK_LE: case QV_TOK_GT: case QV_TOK_GE:
        if (numberOperands(node, 2)) node->setForm(QvNodeForm::NumberComparison);
        return;
    default: return;
    }
}
