#include "Session/QvParser.h"
#include "Session/QvLargeStack.h"

#include <cstdint>
#include <cstring>
#include <set>

#include "Errors/QvException.h"
#include "Errors/QvYieldScope.h"
#include "FrontEnd/QuarvelParentParser.h"
#include "FrontEnd/QvLexer.h"
#include "FrontEnd/QvPreprocessor.h"
#include "FrontEnd/QvTokenNames.h"
#include "FrontEnd/QvTreeBinder.h"
#include "FrontEnd/QvTreeWriter.h"
#include "Errors/QvControlSignals.h"
#include "Interpreter/QvArgumentBlock.h"
#include "Interpreter/QvTreeEval.h"
#include "Plugins/QvPluginRegistry.h"
#include "Session/QvWarningConsole.h"

namespace {
constexpr unsigned kLexerBufferSize = 32000;
constexpr int kTokenBufferLookahead = 2;
constexpr int kTokenBufferChunk = 50;
// Text that starts with these two little-endian 32-bit integers carries its length.
constexpr int32_t kLengthMarker[2] = {1234567890, -987654321};

bool startsWithLengthMarker(const char* text, long length) {
    if (length > 0 && length < 8) return false;
    if (length <= 0 && std::strlen(text) < 8) return false;
    int32_t head[2];
    std::memcpy(head, text, sizeof head);
    return head[0] == kLengthMarker[0] && head[1] == kLengthMarker[1];
}
}

QvParser::QvParser(const char* text, long length, const QvFile* file, bool preprocess)
    : registry_(new QvPluginRegistry) {
    if (file) scriptFile_ = *file;
    copyText(text ? text : "", text ? length : 0);
    if (preprocess) {
        includeStack_.push_back(scriptFile_);
        std::set<std::string> included;
        text_ = QvPreprocessor(includeStack_, included).preprocess(text_);
        includeStack_.pop_back();
    }
    input_.reset(new QvTextInput(text_.data(), text_.size()));
    lexer_.reset(new QvLexer(input_.get(), this, kLexerBufferSize));
    tokenPrototype_.reset(new QvToken);
    lexer_->setToken(tokenPrototype_.get());
    tokenBuffer_.reset(new ANTLRTokenBuffer(lexer_.get(), kTokenBufferLookahead, kTokenBufferChunk));
    parser_.reset(new QuarvelParentParser(tokenBuffer_.get(), this));
    parser_->init();
}

// The evaluator goes first: its windows take themselves off this session's list.
QvParser::~QvParser() {
    evaluator_.reset();
    parser_.reset();
    tokenBuffer_.reset();
    lexer_.reset();
    for (ParseError* error : parseErrors_) delete error;
}

// The text is the marked length after the 8-byte marker, or the given length, or up
// to the first NUL. Within a given length NUL bytes become spaces.
void QvParser::copyText(const char* text, long length) {
    if (startsWithLengthMarker(text, length)) {
        text += 8;
        length = length > 0 ? length - 8 : 0;
    }
    if (length > 0) {
        text_.assign(text, static_cast<size_t>(length));
        for (char& c : text_)
            if (c == '\0') c = ' ';
    } else {
        text_.assign(text);
    }
}

void QvParser::setRunErrorFlag(bool value) {
    std::lock_guard<std::mutex> guard(runErrorLock_);
    runError_ = value;
    if (value) done_ = true;
}

void QvParser::setPendingInputRequest(InputType type, QvValue* defaultValue, const char* prompt) {
    pendingInputType_ = type;
    pendingInputDefault_ = defaultValue;
    pendingInputPrompt_ = prompt;
    pendingInput_ = true;
}

// The answer is stored before the flag is cleared: the requesting side reads it as
// soon as it sees the flag fall.
void QvParser::returnPendingInput(QvValue* value) {
    pendingInputAnswer_ = value;
    pendingInput_ = false;
}

QvValue* QvParser::takePendingInputAnswer() {
    QvValue* answer = pendingInputAnswer_;
    pendingInputAnswer_ = nullptr;
    return answer;
}

Qv_stringstream& QvParser::getConsole() {
    consoleLock_.lock();
    return console_;
}
void QvParser::releaseConsole() { consoleLock_.unlock(); }

Qv_stringstream& QvParser::getWarningConsole() { return QvWarningConsole::acquire(); }
void QvParser::releaseWarningConsole() { QvWarningConsole::release(); }

Qv_stringstream& QvParser::getRuntimeErrors() {
    runtimeErrorLock_.lock();
    return runtimeErrors_;
}
void QvParser::releaseRuntimeErrors() { runtimeErrorLock_.unlock(); }

std::list<ParseError*>& QvParser::getParseErrors() {
    parseErrorLock_.lock();
    return parseErrors_;
}

int QvParser::getParseErrorCount() {
    parseErrorLock_.lock();
    return static_cast<int>(parseErrors_.size());
}

void QvParser::releaseParseErrors() { parseErrorLock_.unlock(); }

std::list<QvWindow*>& QvParser::getWindowList() {
    windowLock_.lock();
    return windows_;
}
void QvParser::releaseWindowList() { windowLock_.unlock(); }

std::vector<QvSyntaxBlock>& QvParser::getSyntaxBlockList() {
    syntaxBlockLock_.lock();
    return syntaxBlocks_;
}
void QvParser::releaseSyntaxBlockList() { syntaxBlockLock_.unlock(); }

namespace {
template <class T>
T* elementAt(std::list<T*>& list, long i) {
    if (i < 0 || i >= static_cast<long>(list.size())) return nullptr;
    auto it = list.begin();
    std::advance(it, i);
    return *it;
}
}

ParseError* QvParser::getParseError(int i) { return elementAt(parseErrors_, i); }
QvWindow* QvParser::getWindow(long i) { return elementAt(windows_, i); }

void QvParser::addToWindowList(QvWindow* window) {
    std::lock_guard<std::recursive_mutex> guard(windowLock_);
    windows_.push_back(window);
}

void QvParser::removeFromWindowList(QvWindow* window) {
    std::lock_guard<std::recursive_mutex> guard(windowLock_);
    windows_.remove(window);
}

bool QvParser::inWindowList(QvWindow* window) {
    std::lock_guard<std::recursive_mutex> guard(windowLock_);
    for (QvWindow* w : windows_)
        if (w == window) return true;
    return false;
}

void QvParser::printToConsole(const std::string& text) { writeToConsole(text + "\n"); }

void QvParser::writeToConsole(const std::string& text) {
    std::lock_guard<std::recursive_mutex> guard(consoleLock_);
    console_ << text;
}

void QvParser::recordPluginCall(int line, const std::string& nameSpace, const std::string& function) {
    pluginCalls_.push_back({line, nameSpace, function});
}

void QvParser::presetVariable(const std::string& name, QvValue* value) {
    if (!value) return;
    presets_.push_back({name, value});
    parser_->declareGlobal(presets_.back().name.c_str());
}

// The token stream is read once: a second parse would see only the end of input.
void QvParser::parse() {
    if (parsed_) return;
    parsed_ = true;
    ASTBase* root = nullptr;
    int signal = 0;
    try {
        parser_->programme(&root, &signal);
    } catch (const QvParseAbort&) {
        root = nullptr;
    }
    if (!parser_->checkTreeDepth(static_cast<AST*>(root))) root = nullptr;
    syntaxTree_ = static_cast<AST*>(root);
    QvTreeBinder(topLevelLayout_).bind(syntaxTree_);
}

// Every recorded call must name a function of the process registry or of this
// session's; the first one that does not ends the parse phase with one error.
void QvParser::checkPluginCalls() {
    QvPluginRegistry& global = QvPluginRegistry::THE_PluginRegistry();
    while (!pluginCalls_.empty()) {
        PluginCall call = pluginCalls_.front();
        pluginCalls_.pop_front();
        if (global.hasFunction(call.nameSpace, call.function) ||
            registry_->hasFunction(call.nameSpace, call.function))
            continue;
        std::string name = call.nameSpace == QvPluginRegistry::kInternalNamespace
                               ? call.function
                               : call.nameSpace + "." + call.function;
        setParseErrorFlag(true);
        QvSourceMap::Position position = sourceMap_.mapLine(call.line);
        getParseErrors().push_back(
            new ParseError(this, position.line, position.fileIndex, name, 0, "Function is not defined."));
        releaseParseErrors();
        throw new QvException(name);
    }
}

void QvParser::CheckSyntax() {
    done_ = false;
    parseError_ = false;
    try {
        parse();
        checkPluginCalls();
    } catch (QvException* error) {
        writeToConsole(error->message());
        delete error;
        setParseErrorFlag(true);
    } catch (...) {
        writeToConsole("Unknown Error, please submit a bug report (with sample code).\n");
        setParseErrorFlag(true);
    }
    if (!parseError_) writeToConsole("Syntax Check Complete : No Errors found.\n");
    done_ = true;
    dirty_ = false;
}

void QvParser::Execute() {
    QvArgumentBlock::resetChain();
    done_ = false;
    setRunErrorFlag(false);
    parseError_ = false;
    interrupted_ = false;
    try {
        if (!syntaxTree_) {
            parse();
            checkPluginCalls();
        }
    } catch (QvException* error) {
        printToConsole(error->message());
        delete error;
        setParseErrorFlag(true);
    } catch (...) {
        writeToConsole("Parser::execute Unknown Error, please submit a bug report (with sample code).\n");
        setParseErrorFlag(true);
    }
    if (!parseError_) evaluate();
    done_ = true;
    dirty_ = true;
}

// A fresh evaluator walks the tree, on a thread whose stack has room for deep
// recursion of script functions; whatever ends the walk early ends as console text.
void QvParser::evaluate() { QvLargeStack::run([this] { walk(); }); }

void QvParser::walk() {
    QvYieldScope watchStop(interrupted_);
    try {
        evaluator_.reset();
        evaluator_.reset(new QvTreeEval(this));
        for (const PresetVariable& preset : presets_)
            evaluator_->setVariable(AST::hashOf(preset.name.c_str()), preset.name.c_str(), preset.value);
        evaluator_->programme(syntaxTree_);
    } catch (QvException* error) {
        printToConsole(error->message());
        delete error;
        setRunErrorFlag(true);
    } catch (QvReturnValue& result) {
        std::lock_guard<QvMutexLock> guard(*GetAutoObjectMutex());
        result.value().reset();
    } catch (...) {
        writeToConsole("Parser::execute Unknown Error, please submit a bug report (with sample code).\n");
    }
}

void QvParser::LexicalPassOnly() {
    parser_->consumeUntilToken(QV_TOK_EOF);
    parser_->init();
}

void QvParser::writeTokens(std::ostream& os) {
    for (;;) {
        ANTLRTokenPtr token = parser_->LT(1);
        QvTreeWriter::writeToken(os, *static_cast<QvToken*>(token.operator->()));
        if (token->getType() == QV_TOK_EOF) break;
        parser_->consumeToken();
    }
}

void QvParser::writeTree(std::ostream& os) const {
    for (AST* statement = syntaxTree_; statement; statement = statement->nextSibling()) {
        QvTreeWriter::writeTree(os, statement);
        os << "\n";
    }
}
