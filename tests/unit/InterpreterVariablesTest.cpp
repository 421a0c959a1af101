// Value maps, containers and references, driven through an evaluator.
#include <gtest/gtest.h>

#include <vector>

#include "ErrorCapture.h"
#include "Interpreter/QvArgumentBlock.h"
#include "Interpreter/QvTreeEval.h"
#include "Session/QvParser.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"

namespace {
unsigned hashOf(const char* name) { return AST::hashOf(name); }

struct InterpreterVariables : ::testing::Test {
    QvParser session{"print 1;", 0, nullptr, false};
    QvTreeEval eval{&session};

    void set(const char* name, double number) { eval.setVariable(hashOf(name), name, new QvNumberValue(number)); }
    double number(const char* name) {
        bool writable;
        return eval.getValue(hashOf(name), name, writable)->AsNumber();
    }
    QvValueContainer* container(const char* name) { return eval.getContainer(hashOf(name), name); }
    void refer(const char* name, const char* to, bool writable = false) {
        eval.setReference(hashOf(name), name, container(to), writable);
    }
};

std::vector<std::string> namesInOrder(const QvValueMap& map) {
    std::vector<std::string> names;
    map.forEach([&](const std::string& name, QvValueContainer*) { names.push_back(name); });
    return names;
}
}

TEST(InterpreterValueMap, IteratesNewestBlockFirstAndReusesFreedEntries) {
    QvValueMap map;
    for (int i = 0; i < 25; ++i) {
        std::string name = "v" + std::to_string(i);
        map.insert(hashOf(name.c_str()), new QvValueContainer(QvValueRef(), name.c_str(), QV_CONTAINER_VARIABLE, nullptr));
    }
    std::vector<std::string> names = namesInOrder(map);
    ASSERT_EQ(names.size(), 25u);
    EXPECT_EQ(names.front(), "v20");
    EXPECT_EQ(names[5], "v0");
    map.remove(hashOf("v3"), "v3");
    map.insert(hashOf("new"), new QvValueContainer(QvValueRef(), "new", QV_CONTAINER_VARIABLE, nullptr));
    EXPECT_EQ(namesInOrder(map)[8], "new");
    EXPECT_EQ(map.size(), 25u);
    EXPECT_EQ(map.find(hashOf("v4"), "V4"), nullptr);
    EXPECT_EQ(hashOf(""), 0u);
}

TEST_F(InterpreterVariables, AssignmentCopiesSharedValuesAndKeepsFreshOnes) {
    QvValueRef fresh = new QvNumberValue(1);
    QvValue* object = fresh.get();
    eval.setVariable(hashOf("a"), "a", std::move(fresh));
    EXPECT_EQ(container("a")->getValue().get(), object);

    QvValueRef shared = container("a")->getValue();
    eval.setVariable(hashOf("b"), "b", shared);
    EXPECT_NE(container("b")->getValue().get(), object);
}

TEST_F(InterpreterVariables, ReadOnlyReferenceFollowsUntilWrittenThenStandsAlone) {
    set("a", 1);
    refer("b", "a");
    set("a", 2);
    EXPECT_EQ(number("b"), 2);
    EXPECT_FALSE(container("b")->isWritable());
    set("b", 5);
    EXPECT_EQ(number("a"), 2);
    EXPECT_EQ(number("b"), 5);
    EXPECT_EQ(container("a")->refereeCount(), 0u);
}

TEST_F(InterpreterVariables, ReadWriteReferenceWritesThrough) {
    set("a", 1);
    refer("p", "a", true);
    set("p", 9);
    EXPECT_EQ(number("a"), 9);
    EXPECT_TRUE(container("p")->isReference());
}

TEST_F(InterpreterVariables, CircularReferencesAreRefusedAlongTheWholeChain) {
    set("a", 1);
    refer("b", "a");
    refer("c", "b");
    EXPECT_EQ(raisedMessage([&] { refer("a", "c"); }), "Attempt to create circular reference.");
    EXPECT_EQ(raisedMessage([&] { refer("a", "a"); }), "Attempt to create circular reference.");
    EXPECT_EQ(raisedMessage([&] { container("b")->setReference(nullptr); }), "setReference to NULL container");
}

TEST_F(InterpreterVariables, DeletingAVariableRemovesItsReferences) {
    set("a", 1);
    refer("b", "a");
    refer("c", "b");
    eval.deleteVariable(hashOf("a"), "a");
    EXPECT_FALSE(eval.hasVariable(hashOf("b"), "b"));
    EXPECT_FALSE(eval.hasVariable(hashOf("c"), "c"));
    EXPECT_EQ(raisedMessage([&] { number("b"); }), "Invalid identifier (b)");
    EXPECT_EQ(raisedMessage([&] { eval.deleteVariable(hashOf("zz"), "zz"); }), "Invalid identifier (zz)");
}

TEST_F(InterpreterVariables, DeletingAReadWriteReferenceDeletesWhatItStandsFor) {
    set("a", 1);
    refer("p", "a", true);
    refer("q", "a");
    eval.deleteVariable(hashOf("p"), "p");
    EXPECT_FALSE(eval.hasVariable(hashOf("a"), "a"));
    EXPECT_FALSE(eval.hasVariable(hashOf("q"), "q"));
}

TEST_F(InterpreterVariables, DeletingAVariableEmptiesArgumentEntriesThatReferToIt) {
    set("a", 1);
    QvArgumentBlock block(2);
    block.setReference(0, container("a"));
    block.entries()[1].value = new QvNumberValue(2);
    block.entries()[1].kind = QvArgumentSlot::Value;
    eval.deleteVariable(hashOf("a"), "a");
    EXPECT_EQ(block.entries()[0].kind, QvArgumentSlot::Empty);
    EXPECT_EQ(block.entries()[1].kind, QvArgumentSlot::Value);
}

TEST_F(InterpreterVariables, GlobalScopeOfAFunctionEvaluatorIsTheOuterOne) {
    QvTreeEval inner(&session, &eval);
    set("g", 3);
    inner.incrementVariable(true, hashOf("g"), "g");
    EXPECT_EQ(number("g"), 4);
    EXPECT_FALSE(inner.hasVariable(hashOf("g"), "g"));
    EXPECT_EQ(raisedMessage([&] { inner.incrementVariable(false, hashOf("g"), "g"); }), "Invalid identifier (g)");
}

TEST_F(InterpreterVariables, IncrementRefusesReferencesAndNonNumbers) {
    set("a", 1);
    refer("r", "a");
    eval.setVariable(hashOf("t"), "t", new QvTextValue("x"));
    EXPECT_EQ(raisedMessage([&] { eval.incrementVariable(false, hashOf("r"), "r"); }),
              "Attempt to increment a reference");
    EXPECT_EQ(raisedMessage([&] { eval.incrementVariable(false, hashOf("t"), "t"); }),
              "Increment variable must be a number.");
}

TEST_F(InterpreterVariables, WindowVariablesOpenAndCloseTheirWindows) {
    eval.setWindowVariable(hashOf("w"), "w", new QvTextValue("hi"));
    QvWindow* window = eval.getWindowContainer(hashOf("w"), "w")->window();
    EXPECT_TRUE(session.inWindowList(window));
    eval.setWindowPosition(hashOf("w"), "w", 10.9, -1);
    EXPECT_EQ(window->getXPosition(), 10);
    EXPECT_EQ(window->getYPosition(), -1);

    set("x", 1);
    eval.setWindowReference(hashOf("f"), "f", container("x"));
    QvWindow* follower = eval.getWindowContainer(hashOf("f"), "f")->window();
    follower->setUpdateFlag(false);
    set("x", 2);
    EXPECT_TRUE(follower->getUpdateFlag());

    eval.deleteWindowVariable(hashOf("w"), "w");
    EXPECT_FALSE(session.inWindowList(window));
    EXPECT_EQ(raisedMessage([&] { eval.setWindowPosition(hashOf("w"), "w", 0, 0); }), "Invalid identifier (w)");
}
