#pragma once
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "QvTokens.h"
#include "FrontEnd/AST.h"
#include "ATokenBuffer.h"
#include "QuarvelParser.h"

class QvParser;

// The parser a session uses: the generated grammar plus error records, recovery,
// declaration tracking, plug-in call recording and user-function registration.
class QuarvelParentParser : public QuarvelParser {
public:
    static const char* const kGlobalContext;

    QuarvelParentParser(ANTLRTokenBuffer* input, QvParser* session);

    // How deeply statements and expressions may nest.
    static constexpr int kMaxNesting = 200;

    void consumeToken() { consume(); }
    void enterNesting() override;
    void leaveNesting() override { --nesting_; }
    // Long operator chains (1 + 1 + ...) build deep trees without nesting in the text;
    // walking them must not exhaust the stack either. Reports the first statement whose
    // tree is deeper than kMaxTreeDepth and answers false.
    bool checkTreeDepth(AST* statements);
    static constexpr int kMaxTreeDepth = 1000;

    // Error records for the session; each sets its parse-error flag.
    void reportSyntaxError(const char* message);
    void reportSyntaxErrorAt(const char* text, const char* message);
    void reportAppleScriptError(const char* text, const char* message);
    void appendToLastError(const char* text) override;

    void declare(const char* name) override;
    void declareGlobal(const char* name) override;
    bool isDeclared(std::string_view name) const;
    const std::deque<std::string>& contexts() const { return contexts_; }

protected:
    bool reportFailure(const char* message) override;
    void reportSyntaxErrorAtToken(ANTLRTokenPtr token, const char* message) override;
    void beginStatement() override { statementFailed_ = false; }
    bool statementFailed() override { return statementFailed_; }
    void skipPastSemicolon() override;
    void skipTo(int tokenType) override { consumeUntilToken(tokenType); }
    void useIdentifier(ANTLRTokenPtr identifier, bool mustBeDeclared) override;
    bool canBeginExpression(int tokenType) override;
    bool windowTargetIsVariable() override;
    void enterContext(const char* name) override;
    void leaveContext(const char* name) override;
    void startSetValue() override;
    bool endSetValueUses(AST* target) override;
    void recordPluginCall(int line, const char* nameSpace, const char* function) override;
    void registerFunction(AST* definition, bool hasNamespace) override;
    void setDateFields(AST* dateNode) override;

private:
    using NameSet = std::unordered_set<std::string_view>;

    void addError(int expandedLine, const std::string& text, int tokenType, const std::string& message);
    NameSet& namesOf(const std::string& context) { return declared_[context]; }

    QvParser* session_;
    std::deque<std::string> contexts_;
    // Declared names per context. The views point into token texts, which live as
    // long as the parser's tree nodes do.
    std::unordered_map<std::string, NameSet> declared_;
    NameSet* currentNames_;
    bool statementFailed_ = false;
    int nesting_ = 0;
    bool recordingSetValue_ = false;
    std::vector<std::string> setValueIdentifiers_;
};
