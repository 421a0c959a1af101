// The expression rules of the tree walker.
#include <cstdlib>

#include "Errors/QvErrors.h"
#include "Errors/QvException.h"
#include "FrontEnd/QvTokens.h"
#include "HostServices/QvHostServices.h"
#include "Images/Qv2DValue.h"
#include "Interpreter/TreeEval.h"
#include "Movie/QvMovieValue.h"
#include "VideoOutput/QvVideoOutputValue.h"
#include "VideoSource/QvVideoSourceValue.h"
#include "Values/QvArithmetic.h"
#include "Values/QvBooleanValue.h"
#include "Values/QvColorValue.h"
#include "Values/QvDateTimeValue.h"
#include "Values/QvListLiteral.h"
#include "Values/QvListValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"
#include "Values/QvVectorValue.h"
#include "Values/QvValueFile.h"

namespace {
using Comparison = bool (QvValue::*)(QvValue*) const;
using Function = QvValue* (QvValue::*)() const;

Comparison comparisonFor(int type) {
    switch (type) {
    case QV_TOK_EQUAL: return &QvValue::Equal;
    case QV_TOK_LT: return &QvValue::Less;
    case QV_TOK_LE: return &QvValue::LessOrEqual;
    case QV_TOK_GT: return &QvValue::Greater;
    case QV_TOK_GE: return &QvValue::GreaterOrEqual;
    case QV_TOK_NE: return &QvValue::NotEqual;
    case QV_TOK_AND: return &QvValue::And;
    default: return &QvValue::Or;
    }
}

Function functionFor(int type) {
    switch (type) {
    case QV_TOK_MAX: return &QvValue::Max;
    case QV_TOK_MIN: return &QvValue::Min;
    case QV_TOK_SIN: return &QvValue::Sin;
    case QV_TOK_COS: return &QvValue::Cos;
    case QV_TOK_TAN: return &QvValue::Tan;
    case QV_TOK_ASIN: return &QvValue::Asin;
    case QV_TOK_ACOS: return &QvValue::Acos;
    case QV_TOK_ATAN: return &QvValue::Atan;
    case QV_TOK_SQRT: return &QvValue::Sqrt;
    case QV_TOK_EXP: return &QvValue::Exp;
    case QV_TOK_LOG: return &QvValue::Log;
    case QV_TOK_LN: return &QvValue::Ln;
    case QV_TOK_ROUND: return &QvValue::Round;
    case QV_TOK_FLOOR: return &QvValue::Floor;
    case QV_TOK_CEIL: return &QvValue::Ceil;
    default: return &QvValue::Abs;
    }
}

// Seconds per unit; the percent sign divides by 100 instead.
double unitFactor(int type) {
    switch (type) {
    case QV_TOK_MINUTE: return 60;
    case QV_TOK_HOUR: return 3600;
    case QV_TOK_DAY: return 86400;
    case QV_TOK_WEEK: return 604800;
    case QV_TOK_YEAR: return 31557600;
    case QV_TOK_PERCENT: return 100;
    default: return 1;
    }
}

QvTypeEnum typeOfKeyword(int type) {
    switch (type) {
    case QV_TOK_NUMBER: return QV_NUMBER;
    case QV_TOK_BOOLEAN: return QV_BOOLEAN;
    case QV_TOK_VECTOR: return QV_VECTOR;
    case QV_TOK_COLOR: return QV_COLOR;
    case QV_TOK_VIDEOSOURCE: return QV_VIDEOSOURCE;
    case QV_TOK_MOVIE: return QV_MOVIE;
    case QV_TOK_TEXT: return QV_TEXT;
    case QV_TOK_DATE: return QV_DATE;
    case QV_TOK_LIST: return QV_LIST;
    case QV_TOK_VIDEOOUTPUT: return QV_VIDEO_OUTPUT;
    case QV_TOK_FRAME_MONO: return QV_FRAME_MONO;
    case QV_TOK_FRAME: return QV_FRAME;
    case QV_TOK_IMAGE_MONO: return QV_IMAGE_MONO;
    case QV_TOK_IMAGE: return QV_IMAGE;
    default: return QV_UNDEFINED;
    }
}
}

QvValueRef TreeEval::expression(AST* node) {
    if (!node) missingTree();
    switch (node->getType()) {
    case QV_TOK_LOCAL: case QV_TOK_GLOBAL: return variableValue(node);
    case QV_TOK_INT1: case QV_TOK_INT2: case QV_TOK_INT4: case QV_TOK_INT_TOK: case QV_TOK_FLOAT:
    case QV_TOK_EXP_NUM: case QV_TOK_STRINGLIT: case QV_TOK_BADSTRING: case QV_TOK_TRUE: case QV_TOK_FALSE:
        return literal(node);
    case QV_TOK_PLUS: case QV_TOK_MINUS: case QV_TOK_MULT: case QV_TOK_DIV: case QV_TOK_UNARY_MINUS:
        return mathExpression(node);
    case QV_TOK_EQUAL: case QV_TOK_NE: case QV_TOK_LT: case QV_TOK_LE: case QV_TOK_GT: case QV_TOK_GE:
    case QV_TOK_NOT:
        return booleanExpression(node);
    case QV_TOK_AND: case QV_TOK_OR: return relationExpression(node);
    case QV_TOK_LINDEX: case QV_TOK_RINDEX: return indexingExpression(node);
    case QV_TOK_LOCAL_WINDOW: case QV_TOK_GLOBAL_WINDOW: return windowValue(node);
    case QV_TOK_CLIPBOARD: case QV_TOK_FILE: case QV_TOK_URL: return externalValue(node);
    case QV_TOK_OF: return propertyExpression(node);
    case QV_TOK_WITH: return propertySetExpression(node);
    case QV_TOK_AS: return coercionExpression(node);
    case QV_TOK_PERCENT: case QV_TOK_SECOND: case QV_TOK_MINUTE: case QV_TOK_HOUR: case QV_TOK_DAY:
    case QV_TOK_WEEK: case QV_TOK_YEAR:
        return postfixExpression(node);
    case QV_TOK_DATETIME: return dateLiteral(node);
    case QV_TOK_LLIST: return listLiteral(node);
    case QV_TOK_PLUGIN_FN: case QV_TOK_SIN: case QV_TOK_COS: case QV_TOK_TAN: case QV_TOK_ASIN:
    case QV_TOK_ACOS: case QV_TOK_ATAN: case QV_TOK_SQRT: case QV_TOK_EXP: case QV_TOK_LOG: case QV_TOK_LN:
    case QV_TOK_ROUND: case QV_TOK_FLOOR: case QV_TOK_CEIL: case QV_TOK_ABS: case QV_TOK_MAX: case QV_TOK_MIN:
    case QV_TOK_POW: {
        QvValueRef result = functionElement(node);
        if (result->GetType() == QV_UNDEFINED) handleError(node, new QvException("Function returned no result."));
        return result;
    }
    default:
        if (typeOfKeyword(node->getType()) != QV_UNDEFINED) return initializeExpression(node);
        noViableAlternative("expression", node);
    }
}

QvValueRef TreeEval::variableValue(AST* scopeNode) {
    AST* name = identifierOf(scopeNode);
    bool writable;
    QvValueRef value = scope(scopeNode->getType() == QV_TOK_GLOBAL).getValue(name->hash(), name->getText(), writable);
    requireValue(value.get());
    return value;
}

QvValueRef TreeEval::windowValue(AST* marker) {
    std::string name = windowName(marker->nextSibling());
    bool writable;
    QvValueRef value = scope(marker->getType() == QV_TOK_GLOBAL_WINDOW)
                           .getWindowValue(AST::hashOf(name.c_str()), name.c_str(), writable);
    requireValue(value.get());
    return value;
}

QvOperand TreeEval::identifierExpression(AST* node) {
    switch (node->getType()) {
    case QV_TOK_LOCAL: case QV_TOK_GLOBAL: {
        AST* name = identifierOf(node);
        TreeEval& where = scope(node->getType() == QV_TOK_GLOBAL);
        QvYield();
        checkInterrupt();
        QvValueContainer* variable = where.getContainer(name->hash(), name->getText());
        return QvOperand(variable, variable->isWritable());
    }
    case QV_TOK_LOCAL_WINDOW: case QV_TOK_GLOBAL_WINDOW: {
        std::string name = windowName(node->nextSibling());
        TreeEval& where = scope(node->getType() == QV_TOK_GLOBAL_WINDOW);
        QvValueContainer* variable = where.getWindowContainer(AST::hashOf(name.c_str()), name.c_str());
        return QvOperand(variable, variable->isWritable());
    }
    case QV_TOK_CLIPBOARD: case QV_TOK_FILE: case QV_TOK_URL: return QvOperand(externalValue(node));
    default: noViableAlternative("identifierExpression", node);
    }
}

QvValueRef TreeEval::externalValue(AST* node) {
    if (node->getType() == QV_TOK_CLIPBOARD) {
        std::string text = QvGetHostServices()->clipboardText();
        if (!text.empty()) return new QvTextValue(std::move(text));
        if (QvGWorld* picture = QvGetHostServices()->clipboardPicture()) return QvFrameFromGWorld(picture);
        QvError("Scrap is empty");
    }
    std::string written = expression(child(node))->AsText();
    if (node->getType() == QV_TOK_URL) return QvOpenURL(written);
    return QvValueFile::load(resolvePath(written), written);
}

QvValueRef TreeEval::literal(AST* node) {
    if (!node->value()) {
        switch (node->getType()) {
        case QV_TOK_TRUE: return trueValue_;
        case QV_TOK_FALSE: return falseValue_;
        case QV_TOK_STRINGLIT: case QV_TOK_BADSTRING: node->setValue(new QvTextValue(node->getText())); break;
        default: node->setValue(new QvNumberValue(std::atof(node->getText())));
        }
    }
    return node->value();
}

// The parser made the literal's value; a tree without one was not built by it.
QvValueRef TreeEval::dateLiteral(AST* node) {
    if (!node->value()) missingTree();
    return node->value();
}

QvValueRef TreeEval::listLiteral(AST* node) {
    std::vector<QvValueRef> elements;
    for (AST* element = node->firstChild(); element; element = element->nextSibling())
        elements.push_back(expression(element));
    return QvMakeListLiteral(std::move(elements));
}

QvValueRef TreeEval::initializeExpression(AST* node) {
    switch (node->getType()) {
    case QV_TOK_NUMBER: return new QvNumberValue;
    case QV_TOK_BOOLEAN: return new QvBooleanValue;
    case QV_TOK_TEXT: return new QvTextValue;
    case QV_TOK_VECTOR: return new QvVectorValue;
    case QV_TOK_COLOR: return new QvColorValue;
    case QV_TOK_LIST: return new QvListValue;
    case QV_TOK_DATE: return new QvDateTimeValue;
    case QV_TOK_FRAME_MONO: case QV_TOK_FRAME: case QV_TOK_IMAGE_MONO: case QV_TOK_IMAGE:
        return QvNewPicture(typeOfKeyword(node->getType()), 0, 0);
    case QV_TOK_MOVIE: return new QvMovieValue;
    case QV_TOK_VIDEOSOURCE: return new QvVideoSourceValue;
    case QV_TOK_VIDEOOUTPUT: return new QvVideoOutputValue;
    default: unavailable(QvTypeName(typeOfKeyword(node->getType())));
    }
}

QvValueRef TreeEval::mathExpression(AST* node) {
    AST* leftNode = child(node);
    QvValueRef left = expression(leftNode);
    if (node->getType() == QV_TOK_UNARY_MINUS) return left->Negate();
    QvValueRef right = expression(operandAfter(leftNode));
    QvValueRef result;
    switch (node->getType()) {
    case QV_TOK_PLUS: QvArithmetic::Add(result, left, right, false); break;
    case QV_TOK_MINUS: QvArithmetic::Subtract(result, left, right, false); break;
    case QV_TOK_MULT: QvArithmetic::Multiply(result, left, right, false); break;
    default: QvArithmetic::Divide(result, left, right, false);
    }
    return result;
}

QvValueRef TreeEval::booleanExpression(AST* node) {
    AST* leftNode = child(node);
    QvValueRef left = expression(leftNode);
    if (node->getType() == QV_TOK_NOT) return booleanValue(left->Not());
    QvValueRef right = expression(operandAfter(leftNode));
    return booleanValue((left.get()->*comparisonFor(node->getType()))(right.get()));
}

// Both operands are always evaluated: no short cut.
QvValueRef TreeEval::relationExpression(AST* node) { return booleanExpression(node); }

QvValueRef TreeEval::indexingExpression(AST* node) {
    QvValueRef result;
    if (node->getType() == QV_TOK_LINDEX) {
        AST* base = child(node);
        QvValueRef value = expression(base);
        QvValueRef index = expression(operandAfter(base));
        value->GetIndexed(result, index.get(), lvalue_);
        return result;
    }
    AST* indexed = child(node);
    AST* base = child(indexed);
    QvValueRef value = expression(base);
    AST* first = operandAfter(base);
    AST* comma = first->nextSibling();
    if (!comma) missingTree();
    QvValueRef i = expression(first);
    QvValueRef j = expression(operandAfter(comma));
    value->GetDoubleIndexed(result, i.get(), j.get());
    return result;
}

QvValueRef TreeEval::propertyExpression(AST* node) {
    AST* property = child(node);
    QvValueRef object = expression(operandAfter(property));
    return object->GetProperty(object->PropertyId(property->getText()));
}

QvValueRef TreeEval::propertySetExpression(AST* node) {
    AST* objectNode = child(node);
    AST* property = operandAfter(objectNode);
    QvValueRef object = expression(objectNode);
    QvValueRef value = expression(operandAfter(property));
    QvValueRef copy = object->Clone();
    copy->SetProperty(copy->PropertyId(property->getText()), value.get());
    return copy;
}

QvValueRef TreeEval::coercionExpression(AST* node) {
    AST* valueNode = child(node);
    QvValueRef value = expression(valueNode);
    AST* typeNode = operandAfter(valueNode);
    QvValueRef result;
    value->CoerceTo(result, typeOfKeyword(typeNode->getType()));
    return result;
}

// The factor is a number kept on the node, made once.
QvValueRef TreeEval::postfixExpression(AST* node) {
    QvValueRef value = expression(child(node));
    if (!node->value()) node->setValue(new QvNumberValue(unitFactor(node->getType())));
    QvValueRef factor = node->value();
    QvValueRef result;
    if (node->getType() == QV_TOK_PERCENT)
        QvArithmetic::Divide(result, value, factor, false);
    else
        QvArithmetic::Multiply(result, value, factor, false);
    return result;
}

QvValueRef TreeEval::functionElement(AST* node) {
    if (node->getType() == QV_TOK_PLUGIN_FN) return pluginFunctionExpression(node);
    AST* argument = child(node);
    QvValueRef value = expression(argument);
    if (node->getType() == QV_TOK_POW) {
        QvValueRef exponent = expression(operandAfter(argument));
        return value->Pow(exponent.get());
    }
    return (value.get()->*functionFor(node->getType()))();
}
