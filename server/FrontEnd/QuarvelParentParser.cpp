#include "FrontEnd/QuarvelParentParser.h"

#include <cstdlib>

#include "Errors/QvException.h"
#include "Plugins/QvFunctionContainerLocal.h"
#include "Plugins/QvPluginRegistry.h"
#include "Session/ParseError.h"
#include "Session/QvParser.h"
#include "Values/QvDateTimeValue.h"

const char* const QuarvelParentParser::kGlobalContext = "QvGlobalContext";

namespace {
// Maps a type-name token to its type code; video_track names no value type.
bool typeOfToken(int tokenType, QvTypeEnum& type) {
    switch (tokenType) {
    case QV_TOK_FRAME_MONO: type = QV_FRAME_MONO; return true;
    case QV_TOK_FRAME: type = QV_FRAME; return true;
    case QV_TOK_IMAGE_MONO: type = QV_IMAGE_MONO; return true;
    case QV_TOK_IMAGE: type = QV_IMAGE; return true;
    case QV_TOK_LIST: type = QV_LIST; return true;
    case QV_TOK_TEXT: type = QV_TEXT; return true;
    case QV_TOK_DATE: type = QV_DATE; return true;
    case QV_TOK_NUMBER: type = QV_NUMBER; return true;
    case QV_TOK_BOOLEAN: type = QV_BOOLEAN; return true;
    case QV_TOK_VECTOR: type = QV_VECTOR; return true;
    case QV_TOK_COLOR: type = QV_COLOR; return true;
    case QV_TOK_MOVIE: type = QV_MOVIE; return true;
    case QV_TOK_VIDEOSOURCE: type = QV_VIDEOSOURCE; return true;
    case QV_TOK_VIDEOOUTPUT: type = QV_VIDEO_OUTPUT; return true;
    default: return false;
    }
}

bool isTypeSpecToken(int tokenType) {
    QvTypeEnum ignored;
    return tokenType == QV_TOK_ANY || tokenType == QV_TOK_NONE || tokenType == QV_TOK_VIDEOTRACK ||
           typeOfToken(tokenType, ignored);
}

// The set of types a run of type-name nodes names; no nodes at all means any type.
QvType typeSetOf(AST* first, AST* end) {
    if (first == end) return QvType::QvTypeAny();
    QvType set;
    for (AST* node = first; node != end; node = node->nextSibling()) {
        QvTypeEnum type;
        if (node->getType() == QV_TOK_ANY) return QvType::QvTypeAny();
        if (typeOfToken(node->getType(), type)) set = set | type;
    }
    return set;
}

// The identifier inside a variable target (#(LOCAL, x), #(GLOBAL, x), possibly indexed).
const char* targetName(AST* target) {
    while (target && (target->getType() == QV_TOK_LINDEX || target->getType() == QV_TOK_RINDEX))
        target = target->firstChild();
    if (!target) return nullptr;
    int type = target->getType();
    if ((type == QV_TOK_LOCAL || type == QV_TOK_GLOBAL) && target->firstChild())
        return target->firstChild()->getText();
    return nullptr;
}
}

QuarvelParentParser::QuarvelParentParser(ANTLRTokenBuffer* input, QvParser* session)
    : QuarvelParser(input), session_(session), contexts_{kGlobalContext},
      currentNames_(&namesOf(kGlobalContext)) {}

void QuarvelParentParser::addError(int expandedLine, const std::string& text, int tokenType,
                                   const std::string& message) {
    session_->setParseErrorFlag(true);
    QvSourceMap::Position position = session_->sourceMap().mapLine(expandedLine);
    session_->getParseErrors().push_back(
        new ParseError(session_, position.line, position.fileIndex, text, tokenType, message));
    session_->releaseParseErrors();
}

void QuarvelParentParser::reportSyntaxError(const char* message) {
    reportSyntaxErrorAtToken(LT(1), message);
}

void QuarvelParentParser::reportSyntaxErrorAtToken(ANTLRTokenPtr token, const char* message) {
    addError(token->getLine(), token->getText(), token->getType(),
             std::string("Syntax Error: ") + message);
}

void QuarvelParentParser::reportSyntaxErrorAt(const char* text, const char* message) {
    ANTLRTokenPtr next = LT(1);
    addError(next->getLine(), text, next->getType(), std::string("Syntax Error: ") + message);
}

void QuarvelParentParser::reportAppleScriptError(const char* text, const char* message) {
    session_->setParseErrorFlag(true);
    session_->getParseErrors().push_back(new ParseError(
        session_, -1, QvSourceMap::kMainFile, text, 0, std::string("AppleScript Error: ") + message));
    session_->releaseParseErrors();
}

void QuarvelParentParser::appendToLastError(const char* text) {
    std::list<ParseError*>& errors = session_->getParseErrors();
    if (errors.empty()) {
        session_->releaseParseErrors();
        reportSyntaxError(text);
        return;
    }
    errors.back()->appendLine(text);
    session_->releaseParseErrors();
}

bool QuarvelParentParser::reportFailure(const char* message) {
    if (statementFailed_) return false;
    statementFailed_ = true;
    reportSyntaxError(message);
    return true;
}

void QuarvelParentParser::enterNesting() {
    if (++nesting_ <= kMaxNesting) return;
    statementFailed_ = false;
    reportFailure("Statements or expressions are nested too deeply.");
    throw QvParseAbort();
}

bool QuarvelParentParser::checkTreeDepth(AST* statements) {
    std::vector<std::pair<AST*, int>> pending;
    for (AST* statement = statements; statement; statement = statement->nextSibling()) {
        pending.assign(1, {statement, 1});
        while (!pending.empty()) {
            auto [node, depth] = pending.back();
            pending.pop_back();
            if (depth > kMaxTreeDepth) {
                addError(node->getLine(), node->getText(), node->getType(),
                         "Syntax Error: Statements or expressions are nested too deeply.");
                return false;
            }
            for (AST* child = node->firstChild(); child; child = child->nextSibling())
                pending.push_back({child, depth + 1});
        }
    }
    return true;
}

void QuarvelParentParser::skipPastSemicolon() {
    consumeUntilToken(QV_TOK_SEMI);
    if (LA(1) == QV_TOK_SEMI) consume();
}

void QuarvelParentParser::declare(const char* name) { currentNames_->insert(name); }

void QuarvelParentParser::declareGlobal(const char* name) { namesOf(kGlobalContext).insert(name); }

bool QuarvelParentParser::isDeclared(std::string_view name) const { return currentNames_->count(name) != 0; }

void QuarvelParentParser::useIdentifier(ANTLRTokenPtr identifier, bool mustBeDeclared) {
    const char* name = identifier->getText();
    if (recordingSetValue_) setValueIdentifiers_.push_back(name);
    if (mustBeDeclared && !isDeclared(name)) {
        reportSyntaxErrorAtToken(identifier, "Identifier has not been initialized.");
        appendToLastError(name);
    }
}

bool QuarvelParentParser::canBeginExpression(int tokenType) {
    switch (tokenType) {
    case QV_TOK_FLOAT: case QV_TOK_INT_TOK: case QV_TOK_INT4: case QV_TOK_EXP_NUM:
    case QV_TOK_INT1: case QV_TOK_INT2: case QV_TOK_TRUE: case QV_TOK_FALSE:
    case QV_TOK_STRINGLIT: case QV_TOK_BADSTRING: case QV_TOK_LLIST: case QV_TOK_CLIPBOARD:
    case QV_TOK_LPAREN: case QV_TOK_IDENT: case QV_TOK_LOCAL: case QV_TOK_GLOBAL:
    case QV_TOK_WINDOW: case QV_TOK_URL: case QV_TOK_FILE: case QV_TOK_PLUS: case QV_TOK_MINUS:
    case QV_TOK_NOT: case QV_TOK_POW: case QV_TOK_MAX: case QV_TOK_MIN: case QV_TOK_SIN:
    case QV_TOK_COS: case QV_TOK_TAN: case QV_TOK_ASIN: case QV_TOK_ACOS: case QV_TOK_ATAN:
    case QV_TOK_SQRT: case QV_TOK_LOG: case QV_TOK_EXP: case QV_TOK_LN: case QV_TOK_ROUND:
    case QV_TOK_FLOOR: case QV_TOK_CEIL: case QV_TOK_ABS: case QV_TOK_SECOND:
    case QV_TOK_MINUTE: case QV_TOK_HOUR: case QV_TOK_WEEK: case QV_TOK_YEAR:
        return true;
    default:
        QvTypeEnum ignored;
        return typeOfToken(tokenType, ignored) || tokenType == QV_TOK_VIDEOTRACK;
    }
}

bool QuarvelParentParser::windowTargetIsVariable() {
    if (LA(1) == QV_TOK_LOCAL || LA(1) == QV_TOK_GLOBAL) return LA(2) == QV_TOK_IDENT;
    return LA(1) == QV_TOK_IDENT && LA(2) != QV_TOK_DOT && LA(2) != QV_TOK_LPAREN && LA(2) != QV_TOK_OF;
}

void QuarvelParentParser::enterContext(const char* name) {
    contexts_.push_back(name);
    currentNames_ = &namesOf(contexts_.back());
}

void QuarvelParentParser::leaveContext(const char* name) {
    if (contexts_.size() < 2 || contexts_.back() != name)
        throw new QvException("Whoa, can't leave a context that you're not in...");
    contexts_.pop_back();
    currentNames_ = &namesOf(contexts_.back());
}

void QuarvelParentParser::startSetValue() {
    recordingSetValue_ = true;
    setValueIdentifiers_.clear();
}

bool QuarvelParentParser::endSetValueUses(AST* target) {
    recordingSetValue_ = false;
    const char* name = targetName(target);
    if (!name) return false;
    for (const std::string& used : setValueIdentifiers_)
        if (used == name) return true;
    return false;
}

void QuarvelParentParser::recordPluginCall(int line, const char* nameSpace, const char* function) {
    session_->recordPluginCall(line, nameSpace, function);
}

// Files a script function in the session registry under its namespace (or the
// internal one) with a signature read from its parameter nodes; a parameter with a
// default is computed at call time from its default expression.
void QuarvelParentParser::registerFunction(AST* definition, bool hasNamespace) {
    AST* first = definition->firstChild();
    const char* nameSpace = hasNamespace ? first->getText() : QvPluginRegistry::kInternalNamespace;
    AST* nameNode = hasNamespace ? first->nextSibling() : first;

    std::vector<AST*> parameters;
    AST* node = nameNode->nextSibling();
    for (; node && node->getType() == QV_TOK_IDENT; node = node->nextSibling()) parameters.push_back(node);
    AST* returnTypesBegin = node;
    while (node && isTypeSpecToken(node->getType())) node = node->nextSibling();
    QvType returnType = typeSetOf(returnTypesBegin, node);

    auto signature = std::make_unique<QvPluginSignature>(
        static_cast<uint32_t>(parameters.size()), returnType,
        std::make_unique<QvFunctionContainerLocal>(definition, hasNamespace));
    for (AST* parameterNode : parameters) {
        QvPluginParameter* parameter = signature->nextParameter();
        AST* typesBegin = parameterNode->firstChild();
        AST* child = typesBegin;
        while (child && isTypeSpecToken(child->getType())) child = child->nextSibling();
        parameter->acceptedTypes = typeSetOf(typesBegin, child);
        parameter->name = parameterNode->getText();
        parameter->unnamed = false;
        parameter->isConst = false;
        parameter->byReference = child && child->getType() == QV_TOK_REF_PARAMETER;
        parameter->acceptedTypes.setReferenceFlag(parameter->byReference);
        if (parameter->byReference) child = child->nextSibling();
        bool hasDefault = child && child->getType() == QV_TOK_PARAM_ASSIGN;
        parameter->required = !hasDefault;
        parameter->dynamic = hasDefault;
    }
    session_->registry().addSignature(nameSpace, nameNode->getText(), std::move(signature));
}

// The DATETIME node's children are the literal's number and month tokens; they become
// the node's calendar record.
void QuarvelParentParser::setDateFields(AST* dateNode) {
    std::vector<AST*> fields;
    for (AST* child = dateNode->firstChild(); child; child = child->nextSibling()) fields.push_back(child);
    QvDateFields date;
    auto number = [&](size_t i) { return i < fields.size() ? std::atoi(fields[i]->getText()) : 0; };
    date.hasDate = fields.size() >= 3 && fields[1]->getType() >= QV_TOK_JAN &&
                   fields[1]->getType() <= QV_TOK_DEC;
    if (date.hasDate) {
        date.day = number(0);
        date.month = fields[1]->getType() - QV_TOK_JAN + 1;
        date.year = number(2);
        date.hour = number(3);
        date.minute = number(4);
        date.second = number(5);
    } else {
        date.hour = number(0);
        date.minute = number(1);
        date.second = number(2);
    }
    dateNode->setDateFields(date);
    dateNode->setValue(QvDateTimeValue::fromLiteral(date));
    dateNode->setDown(nullptr);
}
