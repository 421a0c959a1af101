#pragma once
#include <memory>
#include <string>
#include <vector>

#include "pcctscfg.h"
#include "ASTBase.h"
#include "ATokPtr.h"

#include "FrontEnd/QvDateFields.h"
#include "FrontEnd/QvToken.h"
#include "QvExport.h"
#include "Values/QvValue.h"
#include "Values/qv_auto_value.h"

// Base of the objects that the evaluator hangs on tree nodes (caches, AppleScript text).
class QvNodeObject {
public:
    virtual ~QvNodeObject() = default;
};

// A syntax-tree node: its token (type, text, line), a hash of the text for variable
// lookup, a value (built at parse time, or cached by the evaluator), the calendar
// fields of a date literal, and two slots the evaluator owns.
// Nodes are owned by the QvAstArena of the parser that made them; the first-child and
// next-sibling links never own.
class QV_EXPORT AST : public ASTBase {
public:
    static constexpr unsigned kHashBuckets = 211;

    explicit AST(ANTLRTokenPtr token);
    AST(int type, const char* text, int line);
    AST(const AST& other);
    AST& operator=(const AST&) = delete;
    ~AST() override;

    int type() override { return type_; }
    void setType(int type) override {
        type_ = type;
        token_->setType(static_cast<ANTLRTokenType>(type));
    }
    // Read on every step of the evaluator, so kept beside the node rather than asked
    // of the token.
    int getType() const { return type_; }
    const char* getText() const { return token_->getText(); }
    int getLine() const { return token_->getLine(); }
    QvToken* token() const { return static_cast<QvToken*>(token_.operator->()); }

    AST* firstChild() const { return static_cast<AST*>(_down); }
    AST* nextSibling() const { return static_cast<AST*>(_right); }
    int childCount() const;

    unsigned hash() const { return hash_; }
    static unsigned hashOf(const char* text);

    QvValue* value() const { return value_.get(); }
    // The node holds one reference to the value.
    void setValue(QvValue* value) { value_ = value; }

    const QvDateFields* dateFields() const { return dateFields_.get(); }
    void setDateFields(const QvDateFields& fields);

    std::unique_ptr<QvNodeObject>& evaluatorSlot(int i) { return evaluatorSlots_[i]; }

private:
    ANTLRTokenPtr token_;
    int type_;
    unsigned hash_ = 0;
    qv_auto_value<QvValue> value_;
    std::unique_ptr<QvDateFields> dateFields_;
    std::unique_ptr<QvNodeObject> evaluatorSlots_[2];
};

// Thrown when the parse cannot go on at all (the error is already on record).
class QvParseAbort {};

// Owns every node a parser creates, including those that error recovery drops from
// the tree, and frees them together.
class QvAstArena {
public:
    QvAstArena() = default;
    QvAstArena(const QvAstArena&) = delete;
    QvAstArena& operator=(const QvAstArena&) = delete;
    ~QvAstArena();

    AST* adopt(AST* node) {
        nodes_.push_back(node);
        return node;
    }
    size_t size() const { return nodes_.size(); }

private:
    std::vector<AST*> nodes_;
};
