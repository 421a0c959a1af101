#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "ErrorCapture.h"
#include "Values/QvBooleanValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"

namespace {
double unary(double x, QvValue* (QvValue::*op)() const) {
    QvNumberValue value(x);
    QvValueRef result = (value.*op)();
    return result->AsNumber();
}
}  // namespace

TEST(ValueNumber, PrintedForm) {
    EXPECT_EQ(QvNumberValue::FormatNumber(3), "3");
    EXPECT_EQ(QvNumberValue::FormatNumber(0.5), "0.5");
    EXPECT_EQ(QvNumberValue::FormatNumber(1.0 / 3), "0.333333");
    EXPECT_EQ(QvNumberValue::FormatNumber(100000), "100000");
    EXPECT_EQ(QvNumberValue::FormatNumber(1000000), "1e+006");
    EXPECT_EQ(QvNumberValue::FormatNumber(1234567), "1.23457e+006");
    EXPECT_EQ(QvNumberValue::FormatNumber(0.0001), "0.0001");
    EXPECT_EQ(QvNumberValue::FormatNumber(0.00001), "1e-005");
    EXPECT_EQ(QvNumberValue::FormatNumber(-2.5e-300), "-2.5e-300");
    EXPECT_EQ(QvNumberValue::FormatNumber(1e100), "1e+100");
}

TEST(ValueNumber, RoundingSendsHalvesUp) {
    EXPECT_EQ(unary(2.5, &QvValue::Round), 3);
    EXPECT_EQ(unary(-2.5, &QvValue::Round), -2);
    EXPECT_EQ(unary(-2.6, &QvValue::Round), -3);
}

TEST(ValueNumber, FormulasAndDomainErrors) {
    EXPECT_EQ(unary(100, &QvValue::Log), 2);
    EXPECT_TRUE(std::isnan(unary(-1, &QvValue::Sqrt)));
    EXPECT_EQ(unary(0, &QvValue::Log), -INFINITY);
    QvNumberValue two(2), ten(10);
    QvValueRef power = two.Pow(&ten);
    EXPECT_EQ(power->AsNumber(), 1024);
}

TEST(ValueNumber, DifferenceIsTheNormalisedSquaredDifference) {
    QvNumberValue one(1), three(3);
    QvTextValue word("3");
    QvValueRef d = one.Difference(&three, 99);
    EXPECT_DOUBLE_EQ(d->AsNumber(), 4.0 / 16.0);
    QvValueRef notNumber = one.Difference(&word, 0);
    EXPECT_EQ(notNumber->AsNumber(), 1);
}

TEST(ValueNumber, ComparisonsAskTheOtherOperandForANumber) {
    QvNumberValue five(5), six(6);
    QvTextValue textFive("5");
    EXPECT_TRUE(five.Less(&six));
    EXPECT_TRUE(five.LessOrEqual(&five));
    EXPECT_TRUE(six.Greater(&five));
    EXPECT_TRUE(six.GreaterOrEqual(&six));
    EXPECT_TRUE(five.NotEqual(&six));
    EXPECT_EQ(raisedMessage([&] { five.Equal(&textFive); }), "Type mismatch error, expecting (number)");
    EXPECT_TRUE(textFive.Equal(&five));
}

TEST(ValueNumber, NotANumberEqualsNothing) {
    QvNumberValue nan(NAN), one(1);
    EXPECT_FALSE(nan.Equal(&nan));
    EXPECT_FALSE(nan.Equal(&one));
    EXPECT_TRUE(nan.NotEqual(&one));
}

TEST(ValueNumber, Coercions) {
    QvValueRef number = new QvNumberValue(2.5), out;
    number->CoerceTo(out, QV_NUMBER);
    EXPECT_EQ(out.get(), number.get());
    number->CoerceTo(out, QV_TEXT);
    EXPECT_EQ(out->GetType(), QV_TEXT);
    EXPECT_EQ(out->AsText(), "2.5");
    EXPECT_EQ(raisedMessage([&] { number->CoerceTo(out, QV_BOOLEAN); }),
              "Coercion from (number) to (boolean) is not possible.");
}

TEST(ValueBoolean, LogicAndPrinting) {
    QvBooleanValue yes(true), no(false);
    QvNumberValue one(1);
    EXPECT_FALSE(yes.And(&no));
    EXPECT_TRUE(yes.Or(&no));
    EXPECT_FALSE(yes.Not());
    EXPECT_TRUE(no.Equal(&no));
    EXPECT_TRUE(yes.NotEqual(&no));
    EXPECT_EQ(yes.AsText(), "true");
    EXPECT_EQ(no.AsText(), "false");
    EXPECT_EQ(raisedMessage([&] { yes.Equal(&one); }), "Type mismatch error, expecting (boolean)");
    EXPECT_EQ(raisedMessage([&] { no.And(&one); }), "Type mismatch error, expecting (boolean)");
    EXPECT_EQ(raisedMessage([&] { yes.AsNumber(); }), "Type mismatch error, expecting (number)");
}

TEST(ValueNumber, ExportedFunctions) {
    QvValueRef made = QvNumberCreate(4.25);
    EXPECT_EQ(QvNumberGetDoubleValue(made.get()), 4.25);
    EXPECT_EQ(QvValueGetQvType(made.get()), QV_NUMBER);
    QvValueRef flag = QvBooleanCreate(1);
    EXPECT_TRUE(flag->AsBoolean());
    EXPECT_EQ(raisedMessage([&] { QvNumberGetDoubleValue(flag.get()); }), "Type mismatch error, expecting (number)");
}
