#include <gtest/gtest.h>

#include "ErrorCapture.h"
#include "Values/QvArithmetic.h"
#include "Values/QvBooleanValue.h"
#include "Values/QvNoValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"

namespace {
QvValueRef number(double x) { return new QvNumberValue(x); }
QvValueRef text(const char* t) { return new QvTextValue(t); }
}  // namespace

TEST(ValueArithmetic, ExpressionBuildsANewResultAndLeavesOperandsAlone) {
    QvValueRef left = number(2), right = number(3), result;
    QvArithmetic::Add(result, left, right, false);
    EXPECT_EQ(result->AsNumber(), 5);
    EXPECT_NE(result.get(), left.get());
    EXPECT_EQ(left->AsNumber(), 2);

    QvValueRef quotient, seven = number(7), two = number(2);
    QvArithmetic::Divide(quotient, seven, two, false);
    EXPECT_EQ(quotient->AsNumber(), 3.5);
}

TEST(ValueArithmetic, ExpressionReusesAnUnsharedResultAndClonesASharedOne) {
    QvValueRef left = number(2), right = number(3);
    QvValueRef result = number(0);
    QvValue* reused = result.get();
    QvArithmetic::Add(result, left, right, false);
    EXPECT_EQ(result.get(), reused);

    QvValueRef sharer = result;
    QvArithmetic::Add(result, left, right, false);
    EXPECT_NE(result.get(), reused);
    EXPECT_EQ(sharer->AsNumber(), 5);
}

TEST(ValueArithmetic, ExpressionResultMayBeAnOperandsOwnHandle) {
    QvValueRef accumulator = number(2), step = number(3);
    QvValueRef observer = accumulator;
    QvArithmetic::Add(accumulator, accumulator, step, false);
    EXPECT_EQ(accumulator->AsNumber(), 5);
    EXPECT_EQ(observer->AsNumber(), 2);

    QvValueRef word = text("ab");
    QvArithmetic::Add(word, word, word, false);
    EXPECT_EQ(word->AsText(), "abab");
}

TEST(ValueArithmetic, TextJoinsInEitherOrder) {
    QvValueRef result, abc = text("abc"), one = number(1);
    QvArithmetic::Add(result, abc, one, false);
    EXPECT_EQ(result->AsText(), "abc1");
    result.reset();
    QvArithmetic::Add(result, one, abc, false);
    EXPECT_EQ(result->AsText(), "1abc");
    EXPECT_EQ(result->GetType(), QV_TEXT);
    result.reset();
    QvValueRef yes = new QvBooleanValue(true);
    QvArithmetic::Add(result, yes, abc, false);
    EXPECT_EQ(result->AsText(), "trueabc");
}

TEST(ValueArithmetic, UndefinedPairsRaiseTheOperatorError) {
    QvValueRef result, one = number(1), abc = text("abc"), yes = new QvBooleanValue(true);
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Subtract(result, one, abc, false); }),
              "Can't execute \"number - text\" : incompatible types.");
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Add(result, one, yes, false); }),
              "Can't execute \"number + boolean\" : incompatible types.");
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Multiply(result, abc, one, false); }),
              "Can't execute \"text * number\" : incompatible types.");
    EXPECT_FALSE(result);
}

TEST(ValueArithmetic, OperatorsOnTheUndefinedValueNameIt) {
    QvValueRef result, nothing = new QvNoValue, one = number(1);
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Add(result, nothing, one, false); }),
              "Can't execute \"undefined + number\" : incompatible types.");
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Divide(result, one, nothing, false); }),
              "Can't execute \"number / undefined\" : incompatible types.");
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Add(nothing, nothing, one, true); }),
              "Can't execute \"undefined + number\" : incompatible types.");
}

TEST(ValueArithmetic, InPlaceChangesAnUnsharedTargetItself) {
    QvValueRef x = number(2), two = number(2);
    QvValue* own = x.get();
    QvArithmetic::Add(x, x, two, true);
    EXPECT_EQ(x.get(), own);
    EXPECT_EQ(x->AsNumber(), 4);
}

TEST(ValueArithmetic, InPlaceClonesASharedTargetFirst) {
    QvValueRef x = number(2), y = x, two = number(2);
    QvArithmetic::Add(x, x, two, true);
    EXPECT_EQ(x->AsNumber(), 4);
    EXPECT_EQ(y->AsNumber(), 2);
    EXPECT_NE(x.get(), y.get());

    QvValueRef s = text("a"), sharer = s, half = number(1.5);
    QvArithmetic::Add(s, s, half, true);
    EXPECT_EQ(s->AsText(), "a1.5");
    EXPECT_EQ(sharer->AsText(), "a");
}

TEST(ValueArithmetic, InPlaceRefusesResultsOfAnotherType) {
    QvValueRef n = number(1), s = text("s"), yes = new QvBooleanValue(true);
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Add(n, n, s, true); }),
              "Can't execute \"add number text\" : incompatible types.");
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Subtract(n, n, s, true); }),
              "Can't execute \"surgical - number text\" : incompatible types.");
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Multiply(n, n, yes, true); }),
              "Can't execute \"* number boolean\" : incompatible types.");
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Divide(n, n, s, true); }),
              "Can't execute \"surgical / number text\" : incompatible types.");
    EXPECT_EQ(n->AsNumber(), 1);
}

TEST(ValueArithmetic, InPlaceNeedsATargetThatCanHoldTheResult) {
    QvValueRef n = number(1), one = number(1), empty, word = text("w");
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Add(empty, n, one, true); }),
              "Type mismatch in addition - information would be lost");
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Subtract(word, n, one, true); }),
              "Type mismatch in subtract - information would be lost");
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Multiply(word, n, one, true); }),
              "Type mismatch in multiply - information would be lost");
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Divide(word, n, one, true); }),
              "Type mismatch in divide - information would be lost");
    EXPECT_EQ(word->AsText(), "w");
}

TEST(ValueArithmetic, DivisionByZeroChangesNothing) {
    QvValueRef x = number(6), zero = number(0);
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Divide(x, x, zero, true); }), "Attempt to divide by zero");
    EXPECT_EQ(x->AsNumber(), 6);
}

TEST(ValueArithmetic, MissingOperandsAreReportedNotDereferenced) {
    QvValueRef result, missing, one = number(1);
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Add(result, missing, one, false); }),
              "Operation attempted on NULL value. Function may not have returned a result.");
}
