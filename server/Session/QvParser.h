#pragma once
#include <atomic>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "Files/QvFile.h"
#include "FrontEnd/QvScopeLayout.h"
#include "Session/ParseError.h"
#include "Session/QvSourceMap.h"
#include "Session/QvSyntaxBlock.h"
#include "Session/Qv_stringstream.h"
#include "Values/qv_auto_value.h"
#include "QvExport.h"

class AST;
class ANTLRTokenBuffer;
class QvLexer;
class QvTextInput;
class QvToken;
class QuarvelParentParser;
class QvPluginRegistry;
class QvTreeEval;
class QvValue;
class QvWindow;

// What a pending input request asks for. Its type is fixed as int so that a host handing
// over a kind it does not know yet holds a defined value that the engine can refuse.
enum InputType : int { QV_INPUT_NUMBER = 0, QV_INPUT_TEXT = 1, QV_INPUT_BOOLEAN = 2 };

// The script session: one object per piece of source text. It owns the front end for
// that text, the syntax tree, the evaluator of the current run and the session's own
// function registry, and everything a host reads back: console, warning console and
// run-time error streams, error records, script windows and status flags. A host
// thread and the script thread share it; every stream and list is held under its own
// lock between its get and release call, and every flag is read and written atomically.
class QV_EXPORT QvParser {
public:
    QvParser(const char* text, long length, const QvFile* file, bool preprocess);
    ~QvParser();
    QvParser(const QvParser&) = delete;
    QvParser& operator=(const QvParser&) = delete;

    // A global variable the script starts with (a host's script argument): declared
    // before the syntax check and set before the first statement of every run. Give
    // them before the first check or run.
    void presetVariable(const std::string& name, QvValue* value);

    // Running. Results are read from the flags and streams.
    void CheckSyntax();
    void Execute();
    void LexicalPassOnly();

    // Flags.
    bool getDoneFlag() const { return done_; }
    void setDoneFlag(bool value) { done_ = value; }
    bool getDirtyFlag() const { return dirty_; }
    void setDirtyFlag(bool value) { dirty_ = value; }
    bool getParseErrorFlag() const { return parseError_; }
    void setParseErrorFlag(bool value) { parseError_ = value; }
    bool getRunErrorFlag() const { return runError_; }
    // Setting the run-error flag also ends the run (sets done).
    void setRunErrorFlag(bool value);
    bool getInterruptedFlag() const { return interrupted_; }
    void setInterruptedFlag(bool value) { interrupted_ = value; }
    bool getPendingInputFlag() const { return pendingInput_; }
    void setPendingInputFlag(bool value) { pendingInput_ = value; }

    // Pending input: a host contract; the requesting side fills type, default and
    // prompt, sets the flag and waits until the host answers.
    InputType getPendingInputType() const { return pendingInputType_; }
    QvValue* getPendingInputDefault() const { return pendingInputDefault_; }
    const char* getPendingInputPrompt() const { return pendingInputPrompt_; }
    void setPendingInputRequest(InputType type, QvValue* defaultValue, const char* prompt);
    void returnPendingInput(QvValue* value);
    QvValue* takePendingInputAnswer();

    // Streams and lists: each getter takes the lock, the matching release leaves it.
    Qv_stringstream& getConsole();
    void releaseConsole();
    static Qv_stringstream& getWarningConsole();
    static void releaseWarningConsole();
    Qv_stringstream& getRuntimeErrors();
    void releaseRuntimeErrors();
    std::list<ParseError*>& getParseErrors();
    int getParseErrorCount();
    void releaseParseErrors();
    std::list<QvWindow*>& getWindowList();
    void releaseWindowList();
    // Kept in a vector: one block per token, so a list's per-node allocation would
    // dominate the memory of a large script.
    std::vector<QvSyntaxBlock>& getSyntaxBlockList();
    void releaseSyntaxBlockList();

    // Element i of a list whose lock the caller holds; null when i is out of range.
    ParseError* getParseError(int i);
    QvWindow* getWindow(long i);
    void addToWindowList(QvWindow* window);
    void removeFromWindowList(QvWindow* window);
    bool inWindowList(QvWindow* window);

    // Console writers: the first ends the text with a line end (the print path and
    // Execute's reports), the second writes it as it is.
    void printToConsole(const std::string& text);
    void writeToConsole(const std::string& text);

    std::ostream& outputError(std::ostream& os, long line, long fileIndex) const {
        return sourceMap_.outputError(os, line, fileIndex);
    }
    QvSourceMap& sourceMap() { return sourceMap_; }
    const QvSourceMap& sourceMap() const { return sourceMap_; }

    QvPluginRegistry& registry() { return *registry_; }
    QvTreeEval* getQvTreeEval() const { return evaluator_.get(); }
    AST* syntaxTree() const { return syntaxTree_; }
    // The variables the top level of the script names, as the parsed tree is bound.
    const QvScopeLayout& topLevelLayout() const { return topLevelLayout_; }
    const std::string& text() const { return text_; }
    const QvFile& scriptFile() const { return scriptFile_; }

    // Calls the parser met, checked against the registries after the parse.
    struct PluginCall {
        int line;
        std::string nameSpace;
        std::string function;
    };
    void recordPluginCall(int line, const std::string& nameSpace, const std::string& function);
    const std::list<PluginCall>& pendingPluginCalls() const { return pluginCalls_; }

    // Diagnostics for the command-line host: every token of the text (which uses up
    // the session's token stream), or the syntax tree in #(root, child, ...) form.
    void writeTokens(std::ostream& os);
    void writeTree(std::ostream& os) const;

private:
    void copyText(const char* text, long length);
    void parse();
    void checkPluginCalls();
    void evaluate();
    void walk();

    struct PresetVariable {
        std::string name;
        qv_auto_value<QvValue> value;
    };

    // A deque: the parser keeps views of the names, which must not move.
    std::deque<PresetVariable> presets_;
    std::unique_ptr<QvPluginRegistry> registry_;
    std::unique_ptr<QvTreeEval> evaluator_;
    std::vector<QvSyntaxBlock> syntaxBlocks_;
    std::list<PluginCall> pluginCalls_;
    std::list<ParseError*> parseErrors_;
    Qv_stringstream runtimeErrors_;
    Qv_stringstream console_;
    std::list<QvWindow*> windows_;

    std::atomic<bool> parseError_{false};
    std::atomic<bool> runError_{false};
    std::atomic<bool> done_{false};
    std::atomic<bool> dirty_{false};
    std::atomic<bool> interrupted_{false};
    std::atomic<bool> pendingInput_{false};

    InputType pendingInputType_ = QV_INPUT_NUMBER;
    QvValue* pendingInputDefault_ = nullptr;
    const char* pendingInputPrompt_ = nullptr;
    QvValue* pendingInputAnswer_ = nullptr;

    AST* syntaxTree_ = nullptr;
    QvScopeLayout topLevelLayout_;
    bool parsed_ = false;
    std::string text_;
    std::unique_ptr<QvTextInput> input_;
    std::unique_ptr<QvLexer> lexer_;
    std::unique_ptr<QvToken> tokenPrototype_;
    std::unique_ptr<ANTLRTokenBuffer> tokenBuffer_;
    std::unique_ptr<QuarvelParentParser> parser_;

    std::recursive_mutex syntaxBlockLock_;
    std::recursive_mutex consoleLock_;
    std::recursive_mutex runtimeErrorLock_;
    std::recursive_mutex parseErrorLock_;
    std::recursive_mutex windowLock_;
    std::mutex runErrorLock_;

    QvFile scriptFile_;
    // Files whose text is being expanded, innermost last; used only while preprocessing.
    std::deque<QvFile> includeStack_;
    QvSourceMap sourceMap_;
};
