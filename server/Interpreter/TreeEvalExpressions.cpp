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
    if (node->form() == QvNodeForm::NumberArithmetic || node->form() == QvNodeForm::NumberElement) {
        double number;
        if (numberOf(node, number)) return new QvNumberValue(number);
    } else if (node->form() == QvNodeForm::NumberComparison) {
        int flag = numberComparison(node);
        if (flag >= 0) return booleanValue(flag);
    }
    switch (node->kind()) {
    case QvNodeKind::Variable: return variableValue(node);
    case QvNodeKind::Literal: return literal(node);
    case QvNodeKind::Arithmetic: return mathExpression(node);
    case QvNodeKind::Comparison: return booleanExpression(node);
    case QvNodeKind::Logic: return relationExpression(node);
    case QvNodeKind::Indexing: return indexingExpression(node);
    case QvNodeKind::WindowValue: return windowValue(node);
    case QvNodeKind::External: return externalValue(node);
    case QvNodeKind::Property: return propertyExpression(node);
    case QvNodeKind::PropertySet: return propertySetExpression(node);
    case QvNodeKind::Coercion: return coercionExpression(node);
    case QvNodeKind::Unit: return postfixExpression(node);
    case QvNodeKind::DateLiteral: return dateLiteral(node);
    case QvNodeKind::ListLiteral: return listLiteral(node);
    case QvNodeKind::Call: return requiredResult(node, functionElement(node));
    case QvNodeKind::TypeKeyword: return initializeExpression(node);
    default: noViableAlternative("expression", node);
    }
}

QvValueRef TreeEval::requiredResult(AST* node, QvValueRef result) {
    if (!result || (!result->isNumberClass() && result->GetType() == QV_UNDEFINED))
        handleError(node, new QvException("Function returned no result."));
    return result;
}

bool TreeEval::arithmeticNumber(AST* node, double& result) {
    AST* leftNode = node->firstChild();
    double left;
    if (!numberOf(leftNode, left)) return false;
    const int type = node->getType();
    if (leftNode->nextSibling() == nullptr) {
        result = QvNumberRules::applyUnary(type, left);
        return true;
    }
    double right;
    if (!numberOf(leftNode->nextSibling(), right)) return false;
    result = QvNumberValue::apply(QvNumberRules::arithmeticOp(type), left, right);
    return true;
}

// Indexing for an element assignment's target wants live elements: not plain numbers.
bool TreeEval::elementNumber(AST* node, double& result) {
    if (lvalue_) return false;
    AST* base = node->firstChild();
    const QvValue* value = readVariable(base)->getValue().get();
    requireValue(value);
    double index;
    return numberOf(base->nextSibling(), index) && value->NumberAt(index, result);
}

int TreeEval::numberComparison(AST* node) {
    AST* leftNode = node->firstChild();
    double left, right;
    if (!numberOf(leftNode, left) || !numberOf(leftNode->nextSibling(), right)) return -1;
    return QvNumberRules::compare(node->getType(), left, right);
}

bool TreeEval::condition(AST* node) {
    if (node && node->form() == QvNodeForm::NumberComparison) {
        int flag = numberComparison(node);
        if (flag >= 0) return flag;
    }
    return expression(node)->AsBoolean();
}

QvValueRef TreeEval::variableValue(AST* scopeNode) {
    QvValueRef value = readVariable(scopeNode)->getValue();
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

QvOperand TreeEval::identifierExpression(AST* node, QvOperand::Hold hold) {
    switch (node->getType()) {
    case QV_TOK_LOCAL: case QV_TOK_GLOBAL: {
        QvValueContainer* variable = readVariable(node);
        return QvOperand(variable, variable->isWritable(), hold);
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

// Results of script functions, number properties, and arithmetic on them, stay plain
// numbers until a value is needed.
QvArgumentSlot TreeEval::operand(AST* node) {
    QvArgumentSlot result;
    if (node->form() != QvNodeForm::Other && numberOf(node, result.number)) {
        result.kind = QvArgumentSlot::Number;
        return result;
    }
    if (node->kind() == QvNodeKind::Arithmetic) return arithmetic(node);
    if (node->kind() == QvNodeKind::Property) return property(node);
    if (node->getType() != QV_TOK_PLUGIN_FN || !directScriptCall(node, result))
        result.value = expression(node);
    else if (result.kind != QvArgumentSlot::Number)
        result.value = requiredResult(node, std::move(result.value));
    else
        return result;
    result.kind = QvArgumentSlot::Value;
    return result;
}

QvValueRef TreeEval::mathExpression(AST* node) { return arithmetic(node).takeValue(); }

// Two numbers give a plain number, kept in an operand's value when nobody else holds
// that.
QvArgumentSlot TreeEval::arithmetic(AST* node) {
    AST* leftNode = child(node);
    QvArgumentSlot leftOperand = operand(leftNode);
    QvArgumentSlot result;
    result.kind = QvArgumentSlot::Value;
    if (node->getType() == QV_TOK_UNARY_MINUS) {
        result.value = leftOperand.takeValue()->Negate();
        return result;
    }
    QvArgumentSlot rightOperand = operand(operandAfter(leftNode));
    double leftNumber, rightNumber;
    if (leftOperand.holdsNumber(leftNumber) && rightOperand.holdsNumber(rightNumber)) {
        double number = QvNumberValue::apply(QvNumberRules::arithmeticOp(node->getType()), leftNumber, rightNumber);
        for (QvValueRef* held : {&leftOperand.value, &rightOperand.value})
            if (QvNumberValue* reusable = QvNumberValue::unshared(*held)) {
                reusable->setValue(number);
                result.value = std::move(*held);
                return result;
            }
        result.number = number;
        result.kind = QvArgumentSlot::Number;
        return result;
    }
    QvValueRef left = leftOperand.takeValue();
    QvValueRef right = rightOperand.takeValue();
    switch (node->getType()) {
    case QV_TOK_PLUS: QvArithmetic::Add(result.value, left, right, false); break;
    case QV_TOK_MINUS: QvArithmetic::Subtract(result.value, left, right, false); break;
    case QV_TOK_MULT: QvArithmetic::Multiply(result.value, left, right, false); break;
    default: QvArithmetic::Divide(result.value, left, right, false);
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

// A variable's value read without a count change: it stays alive as long as no code
// runs that could change the variable. Anything else is evaluated into `kept`.
QvValue* TreeEval::borrowedValue(AST* node, QvValueRef& kept) {
    if (node->form() != QvNodeForm::Variable) {
        kept = expression(node);
        return kept.get();
    }
    QvValue* value = readVariable(node)->getValue().get();
    requireValue(value);
    return value;
}

// The base is borrowed when the index runs no code (it only computes a number).
QvValueRef TreeEval::indexingExpression(AST* node) {
    QvValueRef result;
    if (node->getType() == QV_TOK_LINDEX) {
        AST* base = child(node);
        AST* indexNode = operandAfter(base);
        QvValueRef keptValue, keptIndex;
        QvValue* value = indexNode->form() != QvNodeForm::Other ? borrowedValue(base, keptValue)
                                                                 : (keptValue = expression(base)).get();
        QvValue* index = borrowedValue(indexNode, keptIndex);
        value->GetIndexed(result, index, lvalue_);
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

QvValueRef TreeEval::propertyExpression(AST* node) { return property(node).takeValue(); }

// A property that is a number comes as a plain number.
QvArgumentSlot TreeEval::property(AST* node) {
    AST* name = child(node);
    QvValueRef kept;
    QvValue* object = borrowedValue(operandAfter(name), kept);
    QvPropertyId id = propertyId(name, object);
    QvArgumentSlot result;
    if (object->NumberProperty(id, result.number)) {
        result.kind = QvArgumentSlot::Number;
    } else {
        result.value = object->GetProperty(id);
        result.kind = QvArgumentSlot::Value;
    }
    return result;
}

namespace {
// The last answer of a property name node: each value class maps names to numbers the
// same way for all its values, so the answer holds while the values are of one type.
struct KnownProperty : QvNodeObject {
    KnownProperty(QvTypeEnum type, QvPropertyId id) : type(type), id(id) {}
    QvTypeEnum type;
    QvPropertyId id;
};
}

QvPropertyId TreeEval::propertyId(AST* property, const QvValue* object) {
    const QvTypeEnum type = object->GetType();
    auto* known = static_cast<KnownProperty*>(property->evaluatorObject().get());
    if (known && known->type == type) return known->id;
    QvPropertyId id = object->PropertyId(property->getText());
    property->evaluatorObject() = std::make_unique<KnownProperty>(type, id);
    return id;
}

QvValueRef TreeEval::propertySetExpression(AST* node) {
    AST* objectNode = child(node);
    AST* property = operandAfter(objectNode);
    QvValueRef object = expression(objectNode);
    QvValueRef value = expression(operandAfter(property));
    QvValueRef copy = object->Clone();
    copy->SetProperty(propertyId(property, copy.get()), value.get());
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
    if (!node->value()) node->setValue(new QvNumberValue(QvNumberRules::unitFactor(node->getType())));
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
