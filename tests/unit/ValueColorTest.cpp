#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "ErrorCapture.h"
#include "Values/QvArithmetic.h"
#include "Values/QvColorValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"
#include "Values/QvVectorValue.h"

namespace {
QvValueRef colour(double r, double g, double b) { return new QvColorValue({r, g, b}); }
QvValueRef number(double x) { return new QvNumberValue(x); }
QvValueRef vec(std::vector<double> elements) { return new QvVectorValue(std::move(elements)); }

using Operation = void (*)(QvValueRef&, QvValueRef&, QvValueRef&, bool);

std::string apply(Operation operation, QvValueRef left, QvValueRef right) {
    QvValueRef result;
    try {
        operation(result, left, right, false);
    } catch (QvException* raised) {
        std::unique_ptr<QvException> owned(raised);
        return owned->message();
    }
    return QvTypeName(result->GetType()) + std::string(" ") + result->AsText();
}
}  // namespace

TEST(ColorArithmetic, ComponentWiseWithNumbersVectorsAndColours) {
    using A = QvArithmetic;
    EXPECT_EQ(apply(A::Add, colour(0.2, 0.4, 0.6), vec({0.1, 0.1, 0.1})), "color 0.3 0.5 0.7");
    EXPECT_EQ(apply(A::Add, number(1), colour(1, 2, 3)), "color 2 3 4");
    EXPECT_EQ(apply(A::Multiply, vec({1, 2, 3}), colour(2, 2, 2)), "color 2 4 6");
    EXPECT_EQ(apply(A::Subtract, colour(1, 2, 3), colour(1, 1, 1)), "color 0 1 2");
    EXPECT_EQ(apply(A::Multiply, colour(1, 2, 3), number(2)), "color 2 4 6");
    EXPECT_EQ(apply(A::Divide, colour(1, 2, 3), colour(2, 4, 0)), "color 0.5 0.5 inf");
    EXPECT_EQ(apply(A::Divide, colour(1, -1, 2), number(0)), "color inf -inf inf");
    EXPECT_EQ(apply(A::Add, colour(1, 0.5, 0), new QvTextValue("!")), "text 1 0.5 0!");
    EXPECT_EQ(apply(A::Subtract, number(1), colour(1, 2, 3)), "Can't execute \"number - color\" : incompatible types.");
    EXPECT_EQ(apply(A::Add, colour(0, 0, 0), vec({1, 2})),
              "The vector {1\t2}\n\tNeeds three components to represent a color.\n");
}

TEST(ColorArithmetic, NegateAndDifference) {
    QvValueRef negated = colour(1, -2, 0)->Negate();
    EXPECT_EQ(negated->AsText(), "-1 2 -0");
    QvValueRef same = colour(1, 1, 1)->Difference(colour(1, 1, 1).get(), 0.5);
    EXPECT_EQ(same->AsNumber(), 0);
    QvValueRef apart = colour(1, 1, 1)->Difference(colour(3, 1, 1).get(), 0);
    EXPECT_DOUBLE_EQ(apart->AsNumber(), 0.25 * 0.3333333333333333);
    QvValueRef notColour = colour(1, 1, 1)->Difference(number(1).get(), 0);
    EXPECT_EQ(notColour->AsNumber(), 1);
    QvValueRef black = colour(0, 0, 0)->Difference(colour(0, 0, 0).get(), 0);
    EXPECT_TRUE(std::isnan(black->AsNumber()));
}

TEST(ColorComparisons, EqualityByComponentsOrderByIntensity) {
    QvValueRef warm = colour(1, 0.5, 0), cool = colour(0, 0.5, 1), dim = colour(0.1, 0.1, 0.1);
    EXPECT_TRUE(warm->Equal(colour(1, 0.5, 0).get()));
    EXPECT_FALSE(warm->Equal(cool.get()));
    EXPECT_TRUE(warm->NotEqual(cool.get()));
    EXPECT_FALSE(warm->Less(cool.get()));
    EXPECT_TRUE(warm->LessOrEqual(cool.get()));
    EXPECT_TRUE(warm->GreaterOrEqual(cool.get()));
    EXPECT_TRUE(warm->Greater(dim.get()));
    EXPECT_TRUE(dim->Less(warm.get()));
    QvValueRef one = number(1);
    EXPECT_EQ(raisedMessage([&] { warm->Equal(one.get()); }), "Operator (equality) used with incompatible types");
    EXPECT_EQ(raisedMessage([&] { warm->NotEqual(one.get()); }), "Operator (!=) used with incompatible types");
    EXPECT_EQ(raisedMessage([&] { warm->Less(one.get()); }), "Operator (<) used with incompatible types");
    EXPECT_EQ(raisedMessage([&] { warm->GreaterOrEqual(vec({1, 1, 1}).get()); }),
              "Operator (>=) used with incompatible types");
}

TEST(ColorForms, PropertiesCoercionsAndText) {
    QvValueRef c = colour(1, 0.5, 0), out;
    EXPECT_EQ(c->AsText(), "1 0.5 0");
    for (auto [name, expected] : {std::pair<const char*, double>{"red", 1}, {"green", 0.5}, {"blue", 0},
                                  {"intensity", 0.5}}) {
        QvValueRef property = c->GetProperty(c->PropertyId(name));
        EXPECT_DOUBLE_EQ(property->AsNumber(), expected) << name;
    }
    EXPECT_EQ(raisedMessage([&] { c->SetProperty(c->PropertyId("red"), number(1).get()); }),
              "The property \"red\" can not be written.");
    c->CoerceTo(out, QV_VECTOR);
    EXPECT_EQ(out->AsVector(), (std::vector<double>{1, 0.5, 0}));
    c->CoerceTo(out, QV_NUMBER);
    EXPECT_DOUBLE_EQ(out->AsNumber(), 0.5);
    number(0.25)->CoerceTo(out, QV_COLOR);
    EXPECT_EQ(out->AsText(), "0.25 0.25 0.25");
    EXPECT_EQ(raisedMessage([&] { c->CoerceTo(out, QV_LIST); }), "Coercion from (color) to (list) is not possible.");
}

TEST(ColorForms, DataAndCFunctions) {
    std::stringstream file;
    colour(0.25, -1, 1e10)->WriteData(file);
    EXPECT_EQ(file.str().size(), 24u);
    QvValueRef back = QvColorValue::ReadData(file);
    EXPECT_TRUE(back->Equal(colour(0.25, -1, 1e10).get()));
    std::stringstream truncated(file.str().substr(0, 23));
    EXPECT_EQ(raisedMessage([&] { QvColorValue::ReadData(truncated); }), "File error(Reading Value Data Failed.)");

    QvColor* record = QvColorCreate(0.1, 0.2, 0.3);
    EXPECT_EQ(QvColorGetRed(record), 0.1);
    EXPECT_EQ(QvColorGetGreen(record), 0.2);
    EXPECT_EQ(QvColorGetBlue(record), 0.3);
    QvColorDelete(record);
    QvColorDelete(nullptr);
    QvValueRef value = QvColorValueCreate(4, 5, 6);
    auto* made = static_cast<QvColorValue*>(value.get());
    EXPECT_EQ(QvColorValueGetRed(made) + QvColorValueGetGreen(made) + QvColorValueGetBlue(made), 15);
}
