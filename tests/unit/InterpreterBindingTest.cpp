// What the binding pass decodes once for the evaluator (scopes, indexes, plain-number
// forms), the value map's use of it, and what call expressions keep between calls.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FrontEnd/QvTokens.h"
#include "FrontEnd/AST.h"
#include "FrontEnd/QvScopeLayout.h"
#include "Interpreter/QvArgumentBlock.h"
#include "Interpreter/QvValueMap.h"
#include "Plugins/QvPluginInterface.h"
#include "Plugins/QvPluginRegistry.h"
#include "ScriptRun.h"
#include "Values/QvNumberValue.h"

namespace {
struct ParsedScript {
    explicit ParsedScript(const std::string& text) : session(text.c_str(), 0, nullptr, false) {
        session.CheckSyntax();
        session.getConsole().takeUnread();
        session.releaseConsole();
    }
    // Every node in tree order.
    std::vector<AST*> nodes() const {
        std::vector<AST*> all;
        std::function<void(AST*)> walk = [&](AST* node) {
            for (; node; node = node->nextSibling()) {
                all.push_back(node);
                walk(node->firstChild());
            }
        };
        walk(session.syntaxTree());
        return all;
    }
    // The identifier nodes of variables named `name`, under the scope token `scope`.
    std::vector<AST*> identifiers(const char* name, int scope = QV_TOK_LOCAL) const {
        std::vector<AST*> found;
        for (AST* node : nodes())
            if (node->getType() == scope && node->firstChild() && std::string(node->firstChild()->getText()) == name)
                found.push_back(node->firstChild());
        return found;
    }
    AST* first(int type) const {
        for (AST* node : nodes())
            if (node->getType() == type) return node;
        return nullptr;
    }
    QvParser session;
};

QvValueMap::ContainerRef variable(const char* name) {
    return new QvValueContainer(QvValueRef(), name, QV_CONTAINER_VARIABLE, nullptr);
}

std::vector<std::string> namesInOrder(const QvValueMap& map) {
    std::vector<std::string> names;
    map.forEach([&](const std::string& name, QvValueContainer*) { names.push_back(name); });
    return names;
}
}  // namespace

TEST(InterpreterBinding, IdentifiersBindToTheScopeTheyAddress) {
    ParsedScript script(
        "set a to 1;\n"
        "define f(p, q -> p * 2) begin set b to p + q; set global a to b; return b; end\n"
        "print f(a);");
    const QvScopeLayout* top = &script.session.topLevelLayout();
    const QvScopeLayout* function = script.first(QV_TOK_DEFINE)->layout();
    ASSERT_NE(function, nullptr);
    ASSERT_NE(function, top);
    for (AST* a : script.identifiers("a")) {
        EXPECT_EQ(a->layout(), top);
        EXPECT_EQ(a->slot(), static_cast<uint32_t>(top->find(a->hash(), "a")));
    }
    ASSERT_EQ(script.identifiers("a", QV_TOK_GLOBAL).size(), 1u);
    EXPECT_EQ(script.identifiers("a", QV_TOK_GLOBAL)[0]->layout(), top);
    EXPECT_EQ(script.identifiers("a", QV_TOK_GLOBAL)[0]->slot(), script.identifiers("a")[0]->slot());
    // Parameters come first in the function's layout, in their order.
    const std::pair<const char*, uint32_t> locals[] = {{"p", 0}, {"q", 1}, {"b", 2}};
    for (const auto& [name, slot] : locals)
        for (AST* identifier : script.identifiers(name)) {
            EXPECT_EQ(identifier->layout(), function) << name;
            EXPECT_EQ(identifier->slot(), slot) << name;
        }
    EXPECT_EQ(function->size(), 3u);
    EXPECT_EQ(top->find(AST::hashOf("b"), "b"), QvScopeLayout::kAbsent);
}

TEST(InterpreterBinding, PlainNumberFormsOnlyWhereNothingElseCanRun) {
    ParsedScript script(
        "define f(n) begin return n; end\n"
        "set x to 1; set y to -x * 2 + 50 %; set z to x + f(1); set t to \"a\" + x;\n"
        "if x < y then print x = f(2);");
    auto formOfSource = [&](const char* target) {
        for (AST* node : script.nodes())
            if (node->getType() == QV_TOK_SET && std::string(node->firstChild()->firstChild()->getText()) == target)
                return node->firstChild()->nextSibling()->form();
        return QvNodeForm::Other;
    };
    EXPECT_EQ(formOfSource("x"), QvNodeForm::NumberLiteral);
    EXPECT_EQ(formOfSource("y"), QvNodeForm::NumberArithmetic);
    EXPECT_EQ(formOfSource("z"), QvNodeForm::Other);
    EXPECT_EQ(formOfSource("t"), QvNodeForm::Other);
    EXPECT_EQ(script.first(QV_TOK_LT)->form(), QvNodeForm::NumberComparison);
    EXPECT_EQ(script.first(QV_TOK_EQUAL)->form(), QvNodeForm::Other);
    EXPECT_EQ(script.first(QV_TOK_IF)->kind(), QvNodeKind::If);
    EXPECT_EQ(script.first(QV_TOK_PRINT)->kind(), QvNodeKind::Print);
    EXPECT_EQ(script.first(QV_TOK_PLUGIN_FN)->kind(), QvNodeKind::Call);
}

TEST(InterpreterValueMap, ABoundIdentifierFindsWhatItsNameFinds) {
    QvScopeLayout layout;
    AST a(QV_TOK_IDENT, "a", 1), b(QV_TOK_IDENT, "b", 1);
    a.bindSlot(&layout, layout.add(a.hash(), "a"));
    b.bindSlot(&layout, layout.add(b.hash(), "b"));
    QvValueMap bound, plain;
    bound.useLayout(&layout);
    for (const char* name : {"b", "c", "a"}) {
        bound.insert(AST::hashOf(name), variable(name));
        plain.insert(AST::hashOf(name), variable(name));
    }
    EXPECT_EQ(namesInOrder(bound), namesInOrder(plain));
    EXPECT_EQ(bound.find(&a), bound.find(a.hash(), "a"));
    QvValueContainer* older = bound.find(&a);
    QvValueContainer* newer = bound.insert(&a, variable("a"));
    EXPECT_EQ(bound.find(&a), newer);
    bound.remove(a.hash(), "a");
    EXPECT_EQ(bound.find(&a), older);
    bound.remove(a.hash(), "a");
    EXPECT_EQ(bound.find(&a), nullptr);
    EXPECT_EQ(bound.find(&b), bound.find(b.hash(), "b"));
    EXPECT_NE(bound.find(AST::hashOf("c"), "c"), nullptr);
}

TEST(InterpreterValueMap, ClearingKeepsOnlyContainersNobodyElseHolds) {
    QvScopeLayout layout;
    AST a(QV_TOK_IDENT, "a", 1), b(QV_TOK_IDENT, "b", 1);
    a.bindSlot(&layout, layout.add(a.hash(), "a"));
    b.bindSlot(&layout, layout.add(b.hash(), "b"));
    QvValueMap map;
    map.useLayout(&layout);
    QvValueContainer* kept = map.insert(&a, variable("a"));
    QvValueMap::ContainerRef held = map.insert(&b, variable("b"));
    kept->setValue(new QvNumberValue(5));
    EXPECT_FALSE(map.takeSpare(&a));
    map.clear();
    EXPECT_TRUE(map.empty());
    EXPECT_EQ(map.find(&a), nullptr);
    EXPECT_FALSE(map.takeSpare(&b));
    QvValueMap::ContainerRef spare = map.takeSpare(&a);
    ASSERT_EQ(spare.get(), kept);
    EXPECT_TRUE(spare->isEmpty());
    EXPECT_EQ(spare->name(), "a");
    EXPECT_FALSE(map.takeSpare(&a));
}

TEST(InterpreterArguments, BlocksLeaveTheChainInAnyOrder) {
    QvValueMap::ContainerRef owner = variable("a");
    QvValueContainer* a = owner.get();
    auto* first = new QvArgumentBlock(1);
    auto* second = new QvArgumentBlock(1);
    QvArgumentBlock third(2);
    first->setReference(0, a);
    second->setReference(0, a);
    third.setReference(1, a);
    delete second;
    QvArgumentBlock::forgetContainer(a);
    EXPECT_EQ(first->entries()[0].kind, QvArgumentSlot::Empty);
    EXPECT_EQ(third.entries()[1].kind, QvArgumentSlot::Empty);
    delete first;
    third.setReference(0, a);
    QvArgumentBlock::forgetContainer(a);
    EXPECT_EQ(third.entries()[0].kind, QvArgumentSlot::Empty);
}

namespace {
QvValue* Hundred(QvPluginErrorBlock*, QvParameterBlock*) { return QvNumberCreate(100); }
}

// A call expression keeps what it found until a registry changes: a plug-in function
// registered later takes over (the process-wide registry comes first), and the script's
// own function again when the plug-in's registry goes.
TEST(InterpreterCalls, CallsSeeRegistryChanges) {
    QvParser session("define Probe.twice(x) begin return x * 2; end print Probe.twice(3);", 0, nullptr, false);
    auto run = [&] {
        session.Execute();
        std::string output = session.getConsole().takeUnread();
        session.releaseConsole();
        return output;
    };
    EXPECT_EQ(run(), "6\n");
    QvPluginSignature* signature = QvPluginSignatureCreate(1, QvType::QvTypeAny(), Hundred);
    QvPluginSignatureSetParam(signature, QvType::QvTypeAny(), "x", QvParameterRequired, QvArgumentNotConsumed);
    QvPluginSignatureCommit(signature, "Probe", "twice", "");
    EXPECT_EQ(run(), "100\n");
    QvDeletePluginRegistry();
    EXPECT_EQ(run(), "6\n");
}

TEST(InterpreterBinding, FunctionsThatLetNothingReachTheirVariablesAreEnclosed) {
    const std::pair<const char*, bool> functions[] = {
        {"define f(n) begin set m to n * 2; repeat 2 times increment i add i to m; return m; end", true},
        {"define f(n) begin set r to reference n; return r; end", false},
        {"define f(&n) begin add 1 to n; end", true},
        {"define g(&n) begin end define f(&n) begin g(&n); end", false},
        {"define g(&n) begin end define f(n) begin g(&n); end", false},
        {"define f(n) begin set window \"w\" to n; end", false},
        {"define f(n) begin delete n; end", false},
    };
    for (const auto& [text, enclosed] : functions) {
        ParsedScript script(text);
        AST* definition = nullptr;
        for (AST* node : script.nodes())
            if (node->getType() == QV_TOK_DEFINE && std::string(node->firstChild()->getText()) == "f") definition = node;
        ASSERT_NE(definition, nullptr) << text;
        ASSERT_NE(definition->layout(), nullptr) << text;
        EXPECT_EQ(definition->layout()->enclosed(), enclosed) << text;
    }
    EXPECT_FALSE(ParsedScript("set a to 1;").session.topLevelLayout().enclosed());
}

TEST(InterpreterValueMap, AnEnclosedScopeKeepsItsVariablesAtTheirIndexes) {
    QvScopeLayout layout;
    AST a(QV_TOK_IDENT, "a", 1), b(QV_TOK_IDENT, "b", 1);
    a.bindSlot(&layout, layout.add(a.hash(), "a"));
    b.bindSlot(&layout, layout.add(b.hash(), "b"));
    layout.setEnclosed(true);
    QvValueMap map;
    map.useLayout(&layout);
    ASSERT_TRUE(map.residesHere(&a));
    QvValueContainer* resident = map.addResident(&a, new QvNumberValue(1), nullptr);
    map.insert(AST::hashOf("other"), variable("other"));
    map.insert(&b, variable("b"));
    EXPECT_EQ(map.find(&a), resident);
    EXPECT_EQ(map.find(a.hash(), "a"), resident);
    EXPECT_EQ(map.size(), 3u);
    EXPECT_EQ(namesInOrder(map), (std::vector<std::string>{"other", "a", "b"}));
    EXPECT_TRUE(map.remove(b.hash(), "b"));
    EXPECT_EQ(map.find(&b), nullptr);
    map.clear();
    EXPECT_TRUE(map.empty());
    EXPECT_EQ(map.find(&a), nullptr);
    EXPECT_EQ(map.addResident(&a, QvValueRef(), nullptr), resident);
    EXPECT_EQ(resident->getValue()->GetType(), QV_UNDEFINED);
}
