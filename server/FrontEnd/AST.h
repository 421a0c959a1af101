#pragma once
#include <cstdint>
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

class QvScopeLayout;

// Base of the objects that the evaluator hangs on tree nodes (call-site caches).
class QvNodeObject {
public:
    virtual ~QvNodeObject() = default;
};

// What the binding pass (QvTreeBinder) decoded about a node, so that the evaluator
// need not work it out on every visit.
enum class QvNodeForm : uint8_t {
    Other,
    NumberLiteral,     // a number written in the script: number() holds it
    Variable,          // a local or global scope node over an identifier
    NumberArithmetic,  // + - * /, negation or a unit over operands of these forms only
    NumberElement,     // an element of a variable, at an index of these forms
    NumberComparison,  // a comparison of two operands of the forms above
};

// The rule the evaluator applies to a node, decoded from its token by the binding
// pass: a small dense number for the walker to dispatch on.
enum class QvNodeKind : uint8_t {
    Unknown,
    // Statements; those from Assignment to Return run under a guard.
    Block, Catch, Define, Assignment, InPlaceArithmetic, ListEdit, Delete, ExpressionStatement,
    TimesLoop, ForeverLoop, WhileLoop, DateLoop, ForLoop, If, IfElse, Break, Wait, Print, Beep,
    AppleScript, Return,
    // Expressions.
    Variable, Literal, Arithmetic, Comparison, Logic, Indexing, WindowValue, External, Property,
    PropertySet, Coercion, Unit, DateLiteral, ListLiteral, Call, TypeKeyword,
};

// A syntax-tree node: its token (type, text, line), a hash of the text for variable
// lookup, a value (built at parse time, or cached by the evaluator), the calendar
// fields of a date literal, and two slots the evaluator owns: the binding that the
// binding pass decodes and an object the evaluator may hang on the node.
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

    // The binding. Every node: its kind and form. An identifier of a variable: the layout of the scope it addresses
    // and its index there; a function definition: the layout of the function's scope.
    QvNodeKind kind() const { return kind_; }
    QvNodeForm form() const { return form_; }
    const QvScopeLayout* layout() const { return layout_; }
    uint32_t slot() const { return slot_; }
    double number() const { return number_; }
    void setKind(QvNodeKind kind) { kind_ = kind; }
    void setForm(QvNodeForm form) { form_ = form; }
    void bindSlot(const QvScopeLayout* layout, uint32_t slot) {
        layout_ = layout;
        slot_ = slot;
    }
    void setNumber(double number) { number_ = number; }

    std::unique_ptr<QvNodeObject>& evaluatorObject() { return evaluatorObject_; }

private:
    ANTLRTokenPtr token_;
    int type_;
    unsigned hash_ = 0;
    qv_auto_value<QvValue> value_;
    std::unique_ptr<QvDateFields> dateFields_;
    QvNodeKind kind_ = QvNodeKind::Unknown;
    QvNodeForm form_ = QvNodeForm::Other;
    uint32_t slot_ = 0;
    const QvScopeLayout* layout_ = nullptr;
    double number_ = 0;
    std::unique_ptr<QvNodeObject> evaluatorObject_;
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
