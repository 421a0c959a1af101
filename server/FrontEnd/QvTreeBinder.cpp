#include "FrontEnd/QvTokens.h"
#include "FrontEnd/QvTreeBinder.h"

#include <cstdlib>

#include "FrontEnd/AST.h"
#include "FrontEnd/QvScopeLayout.h"

namespace {
bool computesNumber(const AST* node) {
    QvNodeForm form = node ? node->form() : QvNodeForm::Other;
    return form == QvNodeForm::NumberLiteral || form == QvNodeForm::Variable || form == QvNodeForm::NumberArithmetic ||
           form == QvNodeForm::NumberElement;
}

// The operands of a node that has exactly `count` children, all computing numbers.
bool numberOperands(const AST* node, int count) {
    int seen = 0;
    for (const AST* child = node->firstChild(); child; child = child->nextSibling())
        if (++seen > count || !computesNumber(child)) return false;
    return seen == count;
}

bool reachedFromOutside(const AST* first);

// Whether the tree makes or passes references, shows variables in windows or deletes
// them: what lets code outside a function reach its variables.
bool reachesOut(const AST* node) {
    switch (node->getType()) {
    case QV_TOK_REFERENCE: case QV_TOK_REF_PARAMETER: case QV_TOK_LOCAL_WINDOW: case QV_TOK_GLOBAL_WINDOW:
    case QV_TOK_DELETE:
        return true;
    default: return reachedFromOutside(node->firstChild());
    }
}

// The same for the trees from `first` on.
bool reachedFromOutside(const AST* first) {
    for (const AST* node = first; node; node = node->nextSibling())
        if (reachesOut(node)) return true;
    return false;
}

// The same for a function's definition, whose parameters are its first identifiers. A
// parameter taken by reference refers out to the caller's variable, which lets nobody
// in: only its default expression counts.
bool functionReachedFromOutside(const AST* first) {
    for (const AST* node = first; node; node = node->nextSibling()) {
        if (node->getType() != QV_TOK_IDENT) return reachedFromOutside(node);
        for (const AST* part = node->firstChild(); part; part = part->nextSibling())
            if (part->getType() != QV_TOK_REF_PARAMETER && reachesOut(part)) return true;
    }
    return false;
}

QvNodeKind kindOf(int type) {
    switch (type) {
    case QV_TOK_BEGIN: return QvNodeKind::Block;
    case QV_TOK_CATCH: return QvNodeKind::Catch;
    case QV_TOK_DEFINE: return QvNodeKind::Define;
    case QV_CIRC_REF: case QV_NO_CIRC_REF: return QvNodeKind::Assignment;
    case QV_TOK_ADD: case QV_TOK_SUBTRACT: case QV_TOK_MULTIPLY: case QV_TOK_DIVIDE:
        return QvNodeKind::InPlaceArithmetic;
    case QV_TOK_APPEND: case QV_TOK_PREPEND: case QV_TOK_INSERT: return QvNodeKind::ListEdit;
    case QV_TOK_DELETE: return QvNodeKind::Delete;
    case QV_TOK_EXPR_STATEMENT: return QvNodeKind::ExpressionStatement;
    case QV_TOK_TIMES: return QvNodeKind::TimesLoop;
    case QV_TOK_FOREVER: return QvNodeKind::ForeverLoop;
    case QV_TOK_WHILE: return QvNodeKind::WhileLoop;
    case QV_TOK_UNTIL: case QV_TOK_FROM: return QvNodeKind::DateLoop;
    case QV_TOK_FOR: return QvNodeKind::ForLoop;
    case QV_TOK_IF: return QvNodeKind::If;
    case QV_TOK_ELSE: return QvNodeKind::IfElse;
    case QV_TOK_BREAK: return QvNodeKind::Break;
    case QV_TOK_WAIT: return QvNodeKind::Wait;
    case QV_TOK_PRINT: return QvNodeKind::Print;
    case QV_TOK_BEEP: return QvNodeKind::Beep;
    case QV_TOK_SCRIPT: return QvNodeKind::AppleScript;
    case QV_TOK_RETURN: return QvNodeKind::Return;
    case QV_TOK_LOCAL: case QV_TOK_GLOBAL: return QvNodeKind::Variable;
    case QV_TOK_INT1: case QV_TOK_INT2: case QV_TOK_INT4: case QV_TOK_INT_TOK: case QV_TOK_FLOAT:
    case QV_TOK_EXP_NUM: case QV_TOK_STRINGLIT: case QV_TOK_BADSTRING: case QV_TOK_TRUE: case QV_TOK_FALSE:
        return QvNodeKind::Literal;
    case QV_TOK_PLUS: case QV_TOK_MINUS: case QV_TOK_MULT: case QV_TOK_DIV: case QV_TOK_UNARY_MINUS:
        return QvNodeKind::Arithmetic;
    case QV_TOK_EQUAL: case QV_TOK_NE: case QV_TOK_LT: case QV_TOK_LE: case QV_TOK_GT: case QV_TOK_GE:
    case QV_TOK_NOT:
        return QvNodeKind::Comparison;
    case QV_TOK_AND: case QV_TOK_OR: return QvNodeKind::Logic;
    case QV_TOK_LINDEX: case QV_TOK_RINDEX: return QvNodeKind::Indexing;
    case QV_TOK_LOCAL_WINDOW: case QV_TOK_GLOBAL_WINDOW: return QvNodeKind::WindowValue;
    case QV_TOK_CLIPBOARD: case QV_TOK_FILE: case QV_TOK_URL: return QvNodeKind::External;
    case QV_TOK_OF: return QvNodeKind::Property;
    case QV_TOK_WITH: return QvNodeKind::PropertySet;
    case QV_TOK_AS: return QvNodeKind::Coercion;
    case QV_TOK_PERCENT: case QV_TOK_SECOND: case QV_TOK_MINUTE: case QV_TOK_HOUR: case QV_TOK_DAY:
    case QV_TOK_WEEK: case QV_TOK_YEAR:
        return QvNodeKind::Unit;
    case QV_TOK_DATETIME: return QvNodeKind::DateLiteral;
    case QV_TOK_LLIST: return QvNodeKind::ListLiteral;
    case QV_TOK_PLUGIN_FN: case QV_TOK_SIN: case QV_TOK_COS: case QV_TOK_TAN: case QV_TOK_ASIN:
    case QV_TOK_ACOS: case QV_TOK_ATAN: case QV_TOK_SQRT: case QV_TOK_EXP: case QV_TOK_LOG: case QV_TOK_LN:
    case QV_TOK_ROUND: case QV_TOK_FLOOR: case QV_TOK_CEIL: case QV_TOK_ABS: case QV_TOK_MAX: case QV_TOK_MIN:
    case QV_TOK_POW:
        return QvNodeKind::Call;
    case QV_TOK_NUMBER: case QV_TOK_BOOLEAN: case QV_TOK_VECTOR: case QV_TOK_COLOR: case QV_TOK_VIDEOSOURCE:
    case QV_TOK_MOVIE: case QV_TOK_TEXT: case QV_TOK_DATE: case QV_TOK_LIST: case QV_TOK_VIDEOOUTPUT:
    case QV_TOK_FRAME_MONO: case QV_TOK_FRAME: case QV_TOK_IMAGE_MONO: case QV_TOK_IMAGE:
        return QvNodeKind::TypeKeyword;
    default: return QvNodeKind::Unknown;
    }
}
}

void QvTreeBinder::bindSiblings(AST* first, QvScopeLayout& local) {
    for (AST* node = first; node; node = node->nextSibling()) bindNode(node, local);
}

void QvTreeBinder::bindNode(AST* node, QvScopeLayout& local) {
    const int type = node->getType();
    node->setKind(kindOf(type));
    if (type == QV_TOK_DEFINE) {
        QvScopeLayout* function = const_cast<QvScopeLayout*>(node->layout());
        if (!function) return;
        bindSiblings(node->firstChild(), *function);
        function->setEnclosed(!functionReachedFromOutside(node->firstChild()));
        return;
    }
    AST* identifier = node->firstChild();
    if ((type == QV_TOK_LOCAL || type == QV_TOK_GLOBAL) && identifier && identifier->getType() == QV_TOK_IDENT) {
        QvScopeLayout& scope = type == QV_TOK_GLOBAL ? topLevel_ : local;
        identifier->bindSlot(&scope, scope.add(identifier->hash(), identifier->getText()));
        // The scope node carries the binding too, which spares the walker a step.
        node->bindSlot(identifier->layout(), identifier->slot());
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
    case QV_TOK_LINDEX:
        if (numberOperands(node, 2) && node->firstChild()->form() == QvNodeForm::Variable)
            node->setForm(QvNodeForm::NumberElement);
        return;
    default: return;
    }
}
