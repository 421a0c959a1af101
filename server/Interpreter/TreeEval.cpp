#include "Interpreter/TreeEval.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <sstream>
#include <thread>

#include "Errors/QvControlSignals.h"
#include "Errors/QvException.h"
#include "Errors/QvExceptions.h"
#include "Errors/QvYieldState.h"
#include "Files/QvFile.h"
#include "FrontEnd/QvTokens.h"
#include "HostServices/QvHostServices.h"
#include "Session/QvParser.h"
#include "Values/QvArithmetic.h"
#include "Values/QvBooleanValue.h"
#include "Values/QvDateTimeValue.h"
#include "Values/QvNumberValue.h"

TreeEval::TreeEval(QvParser* session, TreeEval* outer)
    : session_(session),
      outer_(outer),
      trueValue_(new QvBooleanValue(true)),
      falseValue_(new QvBooleanValue(false)) {}

TreeEval::~TreeEval() = default;

// ---- Unexpected trees -------------------------------------------------------------

namespace {
[[noreturn]] void raiseInternal(const std::string& detail) {
    throw new QvException("Runtime internal error: parse error: " + detail + "\n");
}

std::string found(AST* node) {
    return node ? " found token " + std::to_string(node->getType()) : " found NULL tree";
}
}

void TreeEval::mismatchedRange(int low, int high, AST* node) {
    raiseInternal("expected token range " + std::to_string(low) + ".." + std::to_string(high) + found(node));
}

void TreeEval::missingTree() {
    throw new QvException(
        "Runtime internal error: parse error: expected any token/tree found found NULL tree.Unknown line\n");
}

void TreeEval::mismatchedToken(int expected, AST* node) {
    raiseInternal("expected token " + std::to_string(expected) + found(node));
}

void TreeEval::noViableAlternative(const char* rule, AST* node) {
    raiseInternal(std::string("in rule ") + rule +
                  (node ? ", no viable alternative for tree" : ", no viable alternative for NULL tree"));
}

void TreeEval::unavailable(const char* typeName) {
    throw new QvException(std::string("Values of type ") + typeName + " are not available in this version.");
}

// A target whose reference chain ends in an emptied variable has no value to change.
void TreeEval::requireValue(const QvValue* value) {
    if (!value) QvError("Reference to an invalid variable.");
}

// ---- Variables --------------------------------------------------------------------

QvValueContainer* TreeEval::createVariable(unsigned hash, const char* name) {
    return values_.insert(hash, new QvValueContainer(QvValueRef(), name, QV_CONTAINER_VARIABLE, session_));
}

QvValueContainer* TreeEval::createVariable(const AST* identifier) {
    if (values_.residesHere(identifier)) return values_.addResident(identifier, QvValueRef(), session_);
    return values_.insert(identifier, newVariable(identifier, QvValueRef()));
}

QvValueMap::ContainerRef TreeEval::newVariable(const AST* identifier, QvValueRef value) {
    QvValueMap::ContainerRef variable = values_.takeSpare(identifier);
    if (variable)
        variable->holdFirstValue(std::move(value));
    else
        variable = new QvValueContainer(std::move(value), identifier->getText(), QV_CONTAINER_VARIABLE, session_);
    return variable;
}

void TreeEval::raiseReadOnly() { QvError("Attempted to modify a read-only value."); }

void TreeEval::raiseCircular() {
    QvError("Illegal attempt to overwrite a reference with expression containing that reference.");
}

void TreeEval::raiseUnknown(const char* name) { throw new QvIdentifierException(name); }

void TreeEval::raiseTerminated() { QvError("Execution Terminated by User."); }

// ---- Statements -------------------------------------------------------------------

void TreeEval::programme(AST* root) {
    try {
        for (AST* s = root; s; s = s->nextSibling()) statement(s);
    } catch (QvBreakException* signal) {
        delete signal;
    }
}

// Blocks, catch and definitions run unguarded. Every error of any other statement is
// reported by its guard, once, unless an inner statement already did; control signals
// pass through untouched.
void TreeEval::statement(AST* node) {
    switch (node->kind()) {
    case QvNodeKind::Block: codeBlock(node); return;
    case QvNodeKind::Catch: catchStatement(node); return;
    case QvNodeKind::Define: return;
    default: break;
    }
    if (node->kind() < QvNodeKind::Assignment || node->kind() > QvNodeKind::Return)
        handleError(node, new QvException("Interpreter Error: Unrecognised command."));
    lvalue_ = false;
    try {
        switch (node->kind()) {
        case QvNodeKind::Assignment: assignment(node); break;
        case QvNodeKind::InPlaceArithmetic: inPlaceArithmetic(node); break;
        case QvNodeKind::ListEdit: listStatement(node); break;
        case QvNodeKind::Delete: deleteStatement(node); break;
        case QvNodeKind::ExpressionStatement: expressionStatement(node); break;
        case QvNodeKind::If: ifStatement(node); break;
        case QvNodeKind::IfElse: ifElseStatement(node); break;
        case QvNodeKind::Break: throw new QvBreakException;
        case QvNodeKind::Wait: waitStatement(node); break;
        case QvNodeKind::Print: printStatement(node); break;
        case QvNodeKind::Beep: beepStatement(); break;
        case QvNodeKind::Return: returnStatement(node); break;
        case QvNodeKind::AppleScript: QvError("AppleScript not available on x86 machines");
        default: repeatStatement(node);
        }
        pollInterrupt();
    } catch (QvException* error) {
        handleError(node, error);
    } catch (QvBreakException*) {
        throw;
    } catch (QvReturnValue&) {
        throw;
    } catch (...) {
        handleError(node, new QvException("Quarvel Internal Error."));
    }
}

void TreeEval::assignment(AST* marker) {
    AST* set = child(marker);
    if (set->getType() != QV_TOK_SET) mismatchedToken(QV_TOK_SET, set);
    AST* target = child(set);
    AST* source = operandAfter(target);
    switch (target->getType()) {
    case QV_TOK_LOCAL: case QV_TOK_GLOBAL:
        assignVariable(target, source, marker->getType() == QV_CIRC_REF);
        return;
    case QV_TOK_LOCAL_WINDOW: case QV_TOK_GLOBAL_WINDOW: assignWindow(target, source); return;
    case QV_TOK_LINDEX: assignElement(target, source); return;
    case QV_TOK_RINDEX: assignDoubleElement(target, source); return;
    case QV_TOK_OF: assignProperty(target, source); return;
    case QV_TOK_CLIPBOARD: expression(source)->CopyToClipboard(); return;
    case QV_TOK_FILE: assignFile(target, source); return;
    default: noViableAlternative("setStatement", target);
    }
}

// A source computing a number has no side effects: it cannot take the variable away.
// Any other source may, so the variable is held while it runs. A number goes into the
// variable's own number when nobody shares that.
void TreeEval::assignVariable(AST* target, AST* source, bool circular) {
    QvValueContainer* container = createdVariable(target, circular);
    if (source->getType() != QV_TOK_REFERENCE) {
        double number;
        if (source->form() != QvNodeForm::Other && numberOf(source, number)) {
            container->setNumber(number);
            return;
        }
        qv_auto_value<QvValueContainer> held = container;
        QvArgumentSlot result = operand(source);
        if (result.kind == QvArgumentSlot::Number)
            container->setNumber(result.number);
        else
            container->setValue(std::move(result.value));
        return;
    }
    container->setReference(referredVariable(operandAfter(source)));
}

// The variable after a `reference` marker.
QvValueContainer* TreeEval::referredVariable(AST* referred) {
    if (!isVariable(referred)) noViableAlternative("setStatement", referred);
    return readVariable(referred);
}

void TreeEval::assignWindow(AST* marker, AST* source) {
    std::string name = windowName(marker->nextSibling());
    unsigned hash = AST::hashOf(name.c_str());
    TreeEval& where = scope(marker->getType() == QV_TOK_GLOBAL_WINDOW);
    if (source->getType() != QV_TOK_REFERENCE) {
        where.setWindowVariable(hash, name.c_str(), expression(source));
        return;
    }
    where.setWindowReference(hash, name.c_str(), referredVariable(operandAfter(source)));
}

// A variable is changed in place (made its own first); any other base is evaluated so
// that indexing inside it yields the live element.
QvOperand TreeEval::elementBase(AST* base) {
    if (isVariable(base) || isWindowMarker(base)) {
        QvOperand operand = identifierExpression(base);
        requireWritable(operand.writable());
        return operand;
    }
    lvalue_ = true;
    QvOperand operand(expression(base));
    lvalue_ = false;
    return operand;
}

void TreeEval::assignElement(AST* target, AST* source) {
    AST* base = child(target);
    QvOperand element = elementBase(base);
    QvValueRef index = expression(operandAfter(base));
    QvValueRef value = expression(source);
    QvValue* container = element.forWrite();
    requireValue(container);
    container->SetIndexed(index.get(), value);
    notifyChanged(container);
}

void TreeEval::assignDoubleElement(AST* target, AST* source) {
    AST* indexed = child(target);
    AST* base = child(indexed);
    QvOperand element = elementBase(base);
    AST* first = operandAfter(base);
    AST* comma = first->nextSibling();
    if (!comma) missingTree();
    QvValueRef i = expression(first);
    QvValueRef j = expression(operandAfter(comma));
    QvValueRef value = expression(source);
    QvValue* container = element.forWrite();
    requireValue(container);
    container->SetDoubleIndexed(i.get(), j.get(), value);
    notifyChanged(container);
}

void TreeEval::assignProperty(AST* target, AST* source) {
    AST* property = child(target);
    QvOperand object = elementBase(operandAfter(property));
    QvValueRef value = expression(source);
    QvValue* container = object.forWrite();
    requireValue(container);
    container->SetProperty(propertyId(property, container), value.get());
    notifyChanged(container);
}

void TreeEval::assignFile(AST* target, AST* source) {
    std::string path = resolvePath(child(target));
    expression(source)->SaveToFile(path);
}

void TreeEval::inPlaceArithmetic(AST* node) {
    const int kind = node->getType();
    const bool valueFirst = kind == QV_TOK_ADD || kind == QV_TOK_SUBTRACT;
    AST* first = child(node);
    AST* second = operandAfter(first);
    if (inPlaceNumber(kind, valueFirst ? second : first, valueFirst ? first : second)) return;
    QvValueRef amount;
    if (valueFirst) amount = expression(first);
    // With the amount known first, nothing runs between finding the target and changing it.
    QvOperand target = identifierExpression(valueFirst ? second : first, valueFirst ? QvOperand::Unheld : QvOperand::Held);
    if (!valueFirst) amount = expression(second);
    requireWritable(target.writable());
    QvValueRef& handle = target.handle();
    QvNumberValue* number = QvNumberValue::unshared(handle);
    if (number && QvNumberValue::isNumber(amount.get())) {
        const double result = QvNumberValue::numberIn(amount.get());
        number->setValue(QvNumberValue::apply(QvNumberRules::arithmeticOp(kind), number->value(), result));
        notifyChanged(number);
        return;
    }
    switch (kind) {
    case QV_TOK_ADD: QvArithmetic::Add(handle, handle, amount, true); break;
    case QV_TOK_SUBTRACT: QvArithmetic::Subtract(handle, handle, amount, true); break;
    case QV_TOK_MULTIPLY: QvArithmetic::Multiply(handle, handle, amount, true); break;
    default: QvArithmetic::Divide(handle, handle, amount, true);
    }
    notifyChanged(handle.get());
}

// A variable holding a number that nobody else shares, changed by an amount that
// computes a number: the number changes in place and no value is made. The operands
// are taken in the statement's order, with the same checks; false, having changed
// nothing, when this does not apply.
bool TreeEval::inPlaceNumber(int kind, AST* target, AST* amountNode) {
    if (target->form() != QvNodeForm::Variable || amountNode->form() == QvNodeForm::Other) return false;
    const bool amountFirst = kind == QV_TOK_ADD || kind == QV_TOK_SUBTRACT;
    double amount;
    if (amountFirst && !numberOf(amountNode, amount)) return false;
    QvValueContainer* variable = readVariable(target);
    if (!amountFirst && !numberOf(amountNode, amount)) return false;
    requireWritable(variable->isWritable());
    QvNumberValue* number = QvNumberValue::unshared(variable->resolvedHandle());
    if (!number) return false;
    number->setValue(QvNumberValue::apply(QvNumberRules::arithmeticOp(kind), number->value(), amount));
    notifyChanged(number);
    return true;
}

void TreeEval::listStatement(AST* node) {
    AST* valueNode = child(node);
    AST* targetNode = operandAfter(valueNode);
    QvValueRef value = expression(valueNode);
    const bool positioned = node->getType() == QV_TOK_INSERT;
    QvOperand target = identifierExpression(targetNode, positioned ? QvOperand::Held : QvOperand::Unheld);
    QvValueRef position;
    if (positioned) position = expression(operandAfter(targetNode));
    requireWritable(target.writable());
    QvValue* list = target.forWrite();
    requireValue(list);
    if (node->getType() == QV_TOK_APPEND)
        list->Append(value.get());
    else if (node->getType() == QV_TOK_PREPEND)
        list->Prepend(value.get());
    else
        list->Insert(value.get(), position.get());
    notifyChanged(list);
}

void TreeEval::deleteStatement(AST* node) {
    AST* target = child(node);
    switch (target->getType()) {
    case QV_TOK_LOCAL: case QV_TOK_GLOBAL: {
        AST* name = identifierOf(target);
        scope(target->getType() == QV_TOK_GLOBAL).deleteVariable(name->hash(), name->getText());
        return;
    }
    case QV_TOK_LOCAL_WINDOW: case QV_TOK_GLOBAL_WINDOW: {
        std::string name = windowName(target->nextSibling());
        scope(target->getType() == QV_TOK_GLOBAL_WINDOW).deleteWindowVariable(AST::hashOf(name.c_str()), name.c_str());
        return;
    }
    case QV_TOK_FILE: {
        QvFile file(resolvePath(child(target)));
        if (file.isFolder()) {
            std::string detail = "Cannot delete the folder \"" + file.path() + "\".";
            throw new QvFileException(detail.c_str());
        }
        file.deleteFile();  // a missing file is passed over
        return;
    }
    case QV_TOK_OF: {
        AST* property = child(target);
        QvOperand object = elementBase(operandAfter(property));
        QvValue* value = object.forWrite();
        requireValue(value);
        value->DeleteProperty(propertyId(property, value));
        return;
    }
    case QV_TOK_LINDEX: {
        AST* base = child(target);
        QvOperand object = elementBase(base);
        QvValueRef index = expression(operandAfter(base));
        QvValue* value = object.forWrite();
        requireValue(value);
        value->DeleteElement(index.get());
        return;
    }
    default: noViableAlternative("deleteStatement", target);
    }
}

void TreeEval::ifStatement(AST* node) {
    AST* test = child(node);
    if (condition(test)) statement(operandAfter(test));
}

void TreeEval::ifElseStatement(AST* node) {
    AST* ifNode = child(node);
    if (ifNode->getType() != QV_TOK_IF) mismatchedToken(QV_TOK_IF, ifNode);
    AST* test = child(ifNode);
    AST* elseBranch = ifNode->nextSibling();
    if (!elseBranch) missingTree();
    if (condition(test))
        statement(operandAfter(test));
    else
        statement(elseBranch);
}

void TreeEval::codeBlock(AST* node) {
    pollInterrupt();
    for (AST* s = node->firstChild(); s && !returning_; s = s->nextSibling()) statement(s);
}

// Errors of the protected statement arrive here unreported and run the handler; a stop
// request is not such an error and passes on. The handler runs unprotected, so that
// its own errors are reported where they happen.
void TreeEval::catchStatement(AST* node) {
    AST* guarded = child(node);
    AST* handler = guarded->nextSibling();
    if (!handler) missingTree();
    struct ClearOnExit {
        bool& flag;
        ~ClearOnExit() { flag = false; }
    } clear{catching_};
    catching_ = true;
    try {
        statement(guarded);
        return;
    } catch (QvException* error) {
        if (session_->getInterruptedFlag()) throw;
        delete error;
    }
    catching_ = false;
    statement(handler);
}

void TreeEval::returnStatement(AST* node) {
    AST* result = node->firstChild();
    if (!returnTarget_) throw QvReturnValue(result ? argumentValue(result) : QvValueRef());
    if (result) *returnTarget_ = operand(result);
    returning_ = true;
}

namespace {
// Some 31,000 years: a longer sleep is no different, and converting it could overflow.
constexpr double kLongestSleepMilliseconds = 1e15;

// NaN and durations of 0 or less do not sleep; huge and infinite ones sleep until the
// process ends.
void sleepSeconds(double seconds) {
    if (!(seconds > 0)) return;
    double milliseconds = std::min(seconds * 1000, kLongestSleepMilliseconds);
    std::this_thread::sleep_for(std::chrono::milliseconds(int64_t(milliseconds)));
}

// The moment `seconds` from now. NaN, 0 and negative durations end at once; a moment
// beyond the clock's range (huge or infinite durations) is the end of time, so that
// such a loop runs until it is stopped.
std::chrono::steady_clock::time_point deadlineAfter(double seconds) {
    using Seconds = std::chrono::duration<double>;
    using SteadyClock = std::chrono::steady_clock;
    SteadyClock::time_point now = SteadyClock::now();
    if (!(seconds > 0)) return now;
    // Half the remaining range leaves room for rounding in the conversion below.
    Seconds untilEnd = SteadyClock::time_point::max() - now;
    if (seconds >= untilEnd.count() / 2) return SteadyClock::time_point::max();
    return now + std::chrono::duration_cast<SteadyClock::duration>(Seconds(seconds));
}

// Seconds from now until the date; negative once it has passed.
double secondsUntil(QvValue* date) { return date->AsDate().secondsSince(QvDateTime::now()); }
}

void TreeEval::waitStatement(AST* node) {
    QvValueRef duration = expression(child(node));
    QvTypeEnum type = duration->GetType();
    if (type == QV_NUMBER)
        sleepSeconds(duration->AsNumber());
    else if (type == QV_DATE)
        sleepSeconds(secondsUntil(duration.get()));
    else
        QvError("wait expects either a number or a date");
}

void TreeEval::printStatement(AST* node) {
    QvValueRef value = expression(child(node));
    session_->printToConsole(value->AsText());
    pollInterrupt();
}

void TreeEval::beepStatement() {
    QvGetHostServices()->beep();
    pollInterrupt();
}

// A script function's result is dropped without being made a value.
void TreeEval::expressionStatement(AST* node) {
    AST* call = child(node);
    QvArgumentSlot dropped;
    if (call->getType() != QV_TOK_PLUGIN_FN || !directScriptCall(call, dropped)) functionElement(call);
}

// ---- Loops ------------------------------------------------------------------------

void TreeEval::repeatStatement(AST* node) {
    const QvNumberCode::Outcome outcome = numberLoop(node);
    if (outcome == QvNumberCode::Outcome::Nothing) return;
    std::optional<QvNumberCode::Suspension> suspension;
    if (outcome == QvNumberCode::Outcome::GaveUp) suspension.emplace();
    walkLoop(node);
}

// A loop that has number code runs it on copies of the variables it names, when each
// holds a number and nothing else watches it (those whose elements it reads lend it
// their values). They go back when the loop has run, or was stopped (the walker then
// stops at once); those the loop made are made then, in the same order. When the code
// gives up, nothing has changed and the walker runs the loop from the start.
QvNumberCode::Outcome TreeEval::numberLoop(AST* node) {
    const QvNumberCode* code = QvNumberCode::ofLoop(node, values_.layout());
    if (!code || !code->runnable() || windowsInReach()) return QvNumberCode::Outcome::NotRun;
    QvNumberCode::Frame frame;
    frame.globalsLent = !outer_;
    const QvValue* held[QvNumberCode::kMaxVariables];
    frame.values = held;
    QvValueContainer* variables[QvNumberCode::kMaxVariables];
    for (size_t k = 0; k < code->variableCount(); ++k) {
        variables[k] = values_.atSlot(code->scopeSlot(k));
        if (code->holdsValue(k)) {
            held[k] = variables[k] ? variables[k]->getValue().get() : nullptr;
            if (!held[k]) return QvNumberCode::Outcome::NotRun;
        } else if (variables[k]) {
            if (!variables[k]->plainNumber(frame.variables[k])) return QvNumberCode::Outcome::NotRun;
            frame.set |= 1u << k;
        }
    }
    double noResult;
    const QvNumberCode::Outcome outcome = code->run(session_, frame, noResult);
    if (outcome != QvNumberCode::Outcome::Nothing && outcome != QvNumberCode::Outcome::Stopped) return outcome;
    for (size_t k = 0; k < code->variableCount(); ++k)
        if (variables[k] && !code->holdsValue(k)) variables[k]->setNumber(frame.variables[k]);
    for (uint32_t n = 0; n < frame.made; ++n) {
        const uint8_t k = frame.madeOrder[n];
        const std::string& name = values_.layout()->name(code->scopeSlot(k));
        createVariable(AST::hashOf(name.c_str()), name.c_str())->setNumber(frame.variables[k]);
    }
    return outcome;
}

void TreeEval::walkLoop(AST* node) {
    try {
        switch (node->kind()) {
        case QvNodeKind::TimesLoop: timesLoop(node); return;
        case QvNodeKind::ForeverLoop: foreverLoop(node); return;
        case QvNodeKind::WhileLoop: whileLoop(node); return;
        case QvNodeKind::ForLoop: forLoop(node); return;
        case QvNodeKind::DateLoop: dateLoop(node); return;
        default: noViableAlternative("statement", node);
        }
    } catch (QvBreakException* signal) {
        delete signal;
    }
}

// Operands, then the modifiers in any order, then the body, all as siblings.
TreeEval::LoopParts TreeEval::loopParts(AST* node, int operandCount) {
    LoopParts parts;
    AST* next = node->firstChild();
    for (int i = 0; i < operandCount; ++i) {
        if (!next) missingTree();
        parts.operands[i] = next;
        next = operandAfter(next);
    }
    while (next && (next->getType() == QV_TOK_EVERY || next->getType() == QV_TOK_INCREMENT)) {
        AST* argument = next->nextSibling();
        if (!argument) missingTree();
        (next->getType() == QV_TOK_EVERY ? parts.every : parts.increment) = argument;
        next = operandAfter(argument);
    }
    if (!next) missingTree();
    parts.body = next;
    return parts;
}

TreeEval::LoopState TreeEval::startLoop(const LoopParts& parts) {
    LoopState loop;
    if (parts.every) loop.period = expression(parts.every)->AsNumber();
    if (parts.increment) {
        makeCounter(parts.increment);
        loop.increment = parts.increment;
    }
    return loop;
}

// A loop's counter starts at 0 when there is no variable of its name yet.
void TreeEval::makeCounter(AST* counter) {
    if (!isVariable(counter)) noViableAlternative("incrementModifier", counter);
    AST* name = identifierOf(counter);
    TreeEval& where = scope(counter->getType() == QV_TOK_GLOBAL);
    if (!where.values_.atBinding(counter) && !where.hasVariable(name->hash(), name->getText()))
        where.setVariable(name->hash(), name->getText(), new QvNumberValue(0));
}

// False when a stop was requested: the loop then ends quietly and the check after the
// statement stops the run.
bool TreeEval::beginPass(LoopState& loop) {
    if (session_->getInterruptedFlag()) return false;
    QvYieldFast();
    if (loop.period > 0) loop.passStart = Clock::now();
    return true;
}

void TreeEval::sleepRest(const LoopState& loop) {
    if (loop.period <= 0) return;
    std::chrono::duration<double> elapsed = Clock::now() - loop.passStart;
    sleepSeconds(loop.period - elapsed.count());
}

void TreeEval::incrementCounter(const LoopState& loop) {
    if (loop.increment) readVariable(loop.increment)->increment();
}

void TreeEval::timesLoop(AST* node) {
    LoopParts parts = loopParts(node, 1);
    const double count = std::trunc(numberValue(parts.operands[0]));
    LoopState loop = startLoop(parts);
    for (double pass = 0; pass < count && beginPass(loop); ++pass) {
        statement(parts.body);
        if (returning_) return;
        sleepRest(loop);
        incrementCounter(loop);
    }
}

void TreeEval::foreverLoop(AST* node) {
    LoopParts parts = loopParts(node, 0);
    LoopState loop = startLoop(parts);
    while (beginPass(loop)) {
        statement(parts.body);
        if (returning_) return;
        sleepRest(loop);
        incrementCounter(loop);
    }
}

void TreeEval::whileLoop(AST* node) {
    LoopParts parts = loopParts(node, 1);
    bool going = condition(parts.operands[0]);
    LoopState loop = startLoop(parts);
    while (going && beginPass(loop)) {
        statement(parts.body);
        if (returning_) return;
        incrementCounter(loop);
        going = condition(parts.operands[0]);
        if (going) sleepRest(loop);
    }
}

void TreeEval::forLoop(AST* node) {
    LoopParts parts = loopParts(node, 1);
    const Clock::time_point end = deadlineAfter(expression(parts.operands[0])->AsNumber());
    bool going = Clock::now() < end;
    LoopState loop = startLoop(parts);
    while (going && beginPass(loop)) {
        statement(parts.body);
        if (returning_) return;
        going = Clock::now() < end;
        incrementCounter(loop);
        if (going) sleepRest(loop);
    }
}

// `repeat until` and `repeat from ... to` compare the current time with their dates;
// `from` first sleeps until its start.
void TreeEval::dateLoop(AST* node) {
    const bool from = node->getType() == QV_TOK_FROM;
    LoopParts parts = loopParts(node, from ? 2 : 1);
    QvValueRef first = expression(parts.operands[0]);
    QvValueRef last = from ? expression(parts.operands[1]) : first;
    if (from) sleepSeconds(secondsUntil(first.get()));
    bool going = insideDateRange(from ? first.get() : nullptr, last.get());
    LoopState loop = startLoop(parts);
    while (going && beginPass(loop)) {
        statement(parts.body);
        going = insideDateRange(from ? first.get() : nullptr, last.get());
        incrementCounter(loop);
        if (going) sleepRest(loop);
    }
}

// now >= first (when there is a first) and now < last, by the dates' own comparisons.
bool TreeEval::insideDateRange(QvValue* first, QvValue* last) {
    QvValueRef now = new QvDateTimeValue;
    return (!first || now->GreaterOrEqual(first)) && now->Less(last);
}

// ---- Paths and names --------------------------------------------------------------

std::string TreeEval::windowName(AST* nameExpression) {
    if (!nameExpression) missingTree();
    return expression(nameExpression)->AsText();
}

// Relative paths resolve against the script's folder, without touching the process's
// current directory (other scripts may run at the same time).
std::string TreeEval::resolvePath(AST* pathExpression) { return resolvePath(expression(pathExpression)->AsText()); }

std::string TreeEval::resolvePath(const std::string& written) {
    std::filesystem::path path(written);
    const QvFile& script = session_->scriptFile();
    if (path.is_relative() && !script.empty()) path = std::filesystem::path(script.directory()) / path;
    return path.string();
}
