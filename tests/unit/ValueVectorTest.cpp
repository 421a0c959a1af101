#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "ErrorCapture.h"
#include "Values/QvArithmetic.h"
#include "Values/QvBooleanValue.h"
#include "Values/QvColorValue.h"
#include "Values/QvElementIndex.h"
#include "Values/QvListValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"
#include "Values/QvValueFile.h"
#include "Values/QvVectorValue.h"

namespace {
QvValueRef vec(std::vector<double> elements) { return new QvVectorValue(std::move(elements)); }
QvValueRef number(double x) { return new QvNumberValue(x); }
std::vector<double> elementsOf(const QvValueRef& value) { return value->AsVector(); }

using Operation = void (*)(QvValueRef&, QvValueRef&, QvValueRef&, bool);

QvValueRef apply(Operation operation, QvValueRef left, QvValueRef right) {
    QvValueRef result;
    operation(result, left, right, false);
    return result;
}

std::string failure(Operation operation, QvValueRef left, QvValueRef right) {
    QvValueRef result;
    return raisedMessage([&] { operation(result, left, right, false); });
}
}  // namespace

TEST(VectorArithmetic, ByNumbersInEitherOrderWhereTheOperatorCommutes) {
    using A = QvArithmetic;
    EXPECT_EQ(elementsOf(apply(A::Add, vec({1, 2, 3}), number(1))), (std::vector<double>{2, 3, 4}));
    EXPECT_EQ(elementsOf(apply(A::Add, number(1), vec({1, 2, 3}))), (std::vector<double>{2, 3, 4}));
    EXPECT_EQ(elementsOf(apply(A::Subtract, vec({1, 2, 3}), number(1))), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(elementsOf(apply(A::Multiply, number(2), vec({1, 2, 3}))), (std::vector<double>{2, 4, 6}));
    EXPECT_EQ(elementsOf(apply(A::Divide, vec({2, 4}), number(4))), (std::vector<double>{0.5, 1}));
    EXPECT_EQ(failure(A::Subtract, number(1), vec({1})), "Can't execute \"number - vector\" : incompatible types.");
    EXPECT_EQ(failure(A::Divide, number(1), vec({1})), "Can't execute \"number / vector\" : incompatible types.");
    EXPECT_EQ(failure(A::Divide, vec({2, 4}), number(0)), "Attempt to divide by zero");
}

TEST(VectorArithmetic, ElementWiseNeedsEqualLengths) {
    using A = QvArithmetic;
    EXPECT_EQ(elementsOf(apply(A::Add, vec({1, 2}), vec({10, 20}))), (std::vector<double>{11, 22}));
    EXPECT_EQ(elementsOf(apply(A::Subtract, vec({1, 2}), vec({10, 20}))), (std::vector<double>{-9, -18}));
    EXPECT_EQ(elementsOf(apply(A::Multiply, vec({1, 2}), vec({10, 20}))), (std::vector<double>{10, 40}));
    EXPECT_EQ(elementsOf(apply(A::Divide, vec({1, 2}), vec({10, 20}))), (std::vector<double>{0.1, 0.1}));
    EXPECT_EQ(failure(A::Add, vec({1, 2}), vec({1, 2, 3})), "Vectors must be the same size to be added");
    EXPECT_EQ(failure(A::Subtract, vec({1, 2}), vec({1})), "Vectors must be the same size to be subtracted");
    EXPECT_EQ(failure(A::Multiply, vec({}), vec({1})), "Vectors must be the same size to be multiplied");
    EXPECT_EQ(failure(A::Divide, vec({1}), vec({1, 2})), "Vectors must be the same size to be divided");
}

TEST(VectorArithmetic, TextJoinsAndOtherOperandsFail) {
    using A = QvArithmetic;
    QvValueRef tab = apply(A::Add, vec({1, 2}), new QvTextValue("!"));
    EXPECT_EQ(tab->AsText(), "1\t2!");
    EXPECT_EQ(failure(A::Add, vec({1}), new QvColorValue),
              "The vector {1}\n\tNeeds three components to represent a color.\n");
    EXPECT_EQ(failure(A::Multiply, vec({1}), new QvBooleanValue),
              "Can't execute \"vector * boolean\" : incompatible types.");
}

TEST(VectorArithmetic, InPlaceWritesTheTargetUnlessShared) {
    QvValueRef target = vec({1, 2}), step = number(1);
    QvVectorValue* original = static_cast<QvVectorValue*>(target.get());
    QvArithmetic::Add(target, target, step, true);
    EXPECT_EQ(target.get(), original);
    EXPECT_EQ(elementsOf(target), (std::vector<double>{2, 3}));

    QvValueRef sharer = target;
    QvArithmetic::Multiply(target, target, step, true);
    EXPECT_NE(target.get(), original);
    EXPECT_EQ(elementsOf(sharer), (std::vector<double>{2, 3}));
}

TEST(VectorArithmetic, DivisionByAVectorKeepsTheQuotientsBeforeTheFirstZero) {
    QvValueRef target = vec({8, 6, 4}), divisor = vec({2, 0, 1});
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Divide(target, target, divisor, true); }),
              "Attempt to divide by zero");
    EXPECT_EQ(elementsOf(target), (std::vector<double>{4, 6, 4}));
}

TEST(VectorArithmetic, ResultsOfTheWrongLengthAreReplacedNotReused) {
    QvValueRef result = vec({0}), left = vec({1, 2}), right = number(1);
    QvValue* previous = result.get();
    QvArithmetic::Add(result, left, right, false);
    EXPECT_NE(result.get(), previous);
    EXPECT_EQ(elementsOf(result), (std::vector<double>{2, 3}));
    QvValueRef longer = vec({1, 2, 3});
    EXPECT_EQ(raisedMessage([&] { QvArithmetic::Add(left, left, longer, true); }),
              "Vectors must be the same size to be added");
}

TEST(VectorStatistics, AverageDeviationExtremesAndTheirEmptyCases) {
    QvValueRef average = vec({1, 2, 3, 4})->Average();
    EXPECT_EQ(average->AsNumber(), 2.5);
    QvValueRef deviation = vec({2, 4, 4, 4, 5, 5, 7, 9})->Sdev();
    EXPECT_NEAR(deviation->AsNumber(), 2.13809, 1e-5);
    QvValueRef single = vec({3})->Sdev(), empty = vec({})->Average();
    EXPECT_TRUE(std::isnan(single->AsNumber()));
    EXPECT_TRUE(std::isnan(empty->AsNumber()));
    QvValueRef largest = vec({})->Max(), smallest = vec({})->Min();
    EXPECT_EQ(largest->AsNumber(), -9e99);
    EXPECT_EQ(smallest->AsNumber(), 9e99);

    QvVectorValue values({3, 9, 1, 9, 1});
    long index = -1;
    double value = 0;
    QvVectorUnaryMax(&values, &index, &value);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(value, 9);
    QvVectorUnaryMin(&values, &index, &value);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(QvVectorMax(&values), 9);
    EXPECT_EQ(QvVectorMin(&values), 1);
}

TEST(VectorStatistics, DifferenceIsRelativeToTheLargestSquare) {
    auto difference = [](QvValueRef a, QvValueRef b) { return QvValueRef(a->Difference(b.get(), 0))->AsNumber(); };
    EXPECT_EQ(difference(vec({1, 2}), vec({1, 2})), 0);
    EXPECT_DOUBLE_EQ(difference(vec({1, 0}), vec({0, 1})), std::sqrt(2.0));
    EXPECT_EQ(difference(vec({0, 0}), vec({0, 0})), 0);
    EXPECT_EQ(difference(vec({}), vec({})), 0);
    EXPECT_EQ(difference(vec({1}), vec({1, 2})), 1);
    EXPECT_EQ(difference(vec({1}), number(1)), 1);
}

TEST(VectorIndexing, ReadsSingleElementsAndRanges) {
    QvValueRef v = vec({1, 2, 3}), out;
    v->GetIndexed(out, number(1.9).get(), false);
    EXPECT_EQ(out->AsNumber(), 2);
    EXPECT_EQ(raisedMessage([&] { v->GetIndexed(out, number(3).get(), false); }), "Vector index (3) out of range.");
    v->GetDoubleIndexed(out, number(1).get(), number(0).get());
    EXPECT_EQ(elementsOf(out), (std::vector<double>{2, 3}));
    v->GetDoubleIndexed(out, number(0).get(), number(1).get());
    EXPECT_EQ(elementsOf(out), (std::vector<double>{1, 2}));
    EXPECT_EQ(raisedMessage([&] { v->GetDoubleIndexed(out, number(2).get(), number(1).get()); }),
              "Second index must be smaller than the first.");
    EXPECT_EQ(raisedMessage([&] { v->GetDoubleIndexed(out, number(1).get(), number(5).get()); }),
              "Vector index (1,5) out of range.");
    EXPECT_EQ(raisedMessage([&] { vec({})->GetDoubleIndexed(out, number(0).get(), number(0).get()); }),
              "Vector index (0,0) out of range.");
    EXPECT_EQ(raisedMessage([&] { v->GetIndexed(out, number(NAN).get(), false); }),
              "Vector index (9223372036854775807) out of range.");
}

TEST(VectorIndexing, NegativeIndexesAreRefusedByEveryOperation) {
    QvValueRef v = vec({1, 2, 3}), out, nine = number(9), minusOne = number(-1);
    const std::string negative = "Vector index is negative!";
    EXPECT_EQ(raisedMessage([&] { v->GetIndexed(out, minusOne.get(), false); }), negative);
    EXPECT_EQ(raisedMessage([&] { v->GetDoubleIndexed(out, minusOne.get(), number(1).get()); }), negative);
    EXPECT_EQ(raisedMessage([&] { v->GetDoubleIndexed(out, number(0).get(), minusOne.get()); }), negative);
    EXPECT_EQ(raisedMessage([&] { v->SetIndexed(minusOne.get(), nine); }), negative);
    EXPECT_EQ(raisedMessage([&] { v->Insert(nine.get(), minusOne.get()); }), negative);
    EXPECT_EQ(elementsOf(v), (std::vector<double>{1, 2, 3}));
    v->GetIndexed(out, number(-0.5).get(), false);
    EXPECT_EQ(out->AsNumber(), 1);
}

TEST(VectorIndexing, IndexesTruncateTowardsZeroAndSaturateBeyondTheRange) {
    const double limit = 9.2e18;
    const double cases[] = {0.0, -0.0, 0.5, -0.5, 2.9, -2.9, 1e15 + 0.5, limit, std::nextafter(limit, 0.0),
                            -limit, std::nextafter(-limit, -1e19), 1e300, -1e300, INFINITY, -INFINITY, NAN};
    for (double index : cases) {
        const double position = std::trunc(index);
        int64_t expected = !(position < limit) ? INT64_MAX : position < -limit ? INT64_MIN : int64_t(position);
        EXPECT_EQ(QvTruncatedIndex(index), expected) << index;
    }
}

TEST(VectorEditing, WritesPastTheEndPadWithZerosWithinReason) {
    QvValueRef v = vec({1, 2}), nine = number(9);
    v->SetIndexed(number(5).get(), nine);
    EXPECT_EQ(elementsOf(v), (std::vector<double>{1, 2, 0, 0, 0, 9}));
    v->SetIndexed(number(0).get(), nine);
    EXPECT_EQ(elementsOf(v)[0], 9);

    QvValueRef w = vec({1});
    EXPECT_EQ(raisedMessage([&] { w->SetIndexed(number(4e9).get(), nine); }),
              "Vector index (4000000000) out of range.");
    EXPECT_EQ(raisedMessage([&] { w->Insert(nine.get(), number(1e300).get()); }),
              "Vector index (9223372036854775807) out of range.");
    EXPECT_EQ(elementsOf(w), (std::vector<double>{1}));
    QvValueRef word = new QvTextValue("x");
    EXPECT_EQ(raisedMessage([&] { w->SetIndexed(number(0).get(), word); }), "Type mismatch error, expecting (number)");
}

TEST(VectorEditing, AppendPrependAndInsertTakeNumbersAndVectors) {
    QvValueRef v = vec({1, 2});
    v->Append(number(3).get());
    v->Append(vec({4, 5}).get());
    v->Prepend(number(0).get());
    v->Insert(vec({7, 8}).get(), number(1).get());
    EXPECT_EQ(elementsOf(v), (std::vector<double>{0, 7, 8, 1, 2, 3, 4, 5}));
    QvValueRef w = vec({1});
    w->Insert(number(6).get(), number(3).get());
    EXPECT_EQ(elementsOf(w), (std::vector<double>{1, 0, 0, 6}));
    w->Append(w.get());
    w->Insert(w.get(), number(1).get());
    EXPECT_EQ(elementsOf(w).size(), 16u);
    QvValueRef word = new QvTextValue("a"), colour = new QvColorValue;
    EXPECT_EQ(raisedMessage([&] { w->Append(word.get()); }), "Operator (append) used with incompatible types");
    EXPECT_EQ(raisedMessage([&] { w->Insert(word.get(), number(0).get()); }),
              "Operator (insert) used with incompatible types");
    EXPECT_EQ(raisedMessage([&] { w->Prepend(colour.get()); }), "Operator (insert) used with incompatible types");
}

TEST(VectorFind, BestFitOfAVectorOrANumber) {
    QvVectorValue x({5, 1, 2, 3, 1, 2});
    QvValueRef found = x.Find(vec({1, 2}).get(), 0, 6);
    EXPECT_EQ(elementsOf(found), (std::vector<double>{1, 0}));
    found = x.Find(vec({2, 3, 2}).get(), 0, 6);
    EXPECT_EQ(elementsOf(found), (std::vector<double>{2, 1.0 / 3}));
    found = x.Find(number(2.9).get(), 0, 6);
    EXPECT_EQ(elementsOf(found)[0], 3);
    EXPECT_NEAR(elementsOf(found)[1], 0.01, 1e-12);
    found = x.Find(vec({1, 2}).get(), 2, 6);
    EXPECT_EQ(elementsOf(found)[0], 4);
    QvValueRef word = new QvTextValue("1");
    EXPECT_EQ(raisedMessage([&] { x.Find(word.get(), 0, 6); }),
              "Type mismatch: expect find(vector,(vector | number))");
}

TEST(VectorForms, TextColourNumberAndListCoercions) {
    QvValueRef v = vec({1, 0.5, 1e6}), out;
    EXPECT_EQ(v->AsText(), "1\t0.5\t1e+006");
    EXPECT_EQ(vec({})->AsText(), "");
    v->CoerceTo(out, QV_COLOR);
    EXPECT_EQ(out->AsText(), "1 0.5 1e+006");
    vec({7})->CoerceTo(out, QV_COLOR);
    EXPECT_EQ(out->AsText(), "7 7 7");
    vec({7})->CoerceTo(out, QV_NUMBER);
    EXPECT_EQ(out->AsNumber(), 7);
    EXPECT_EQ(raisedMessage([&] { vec({1, 2})->CoerceTo(out, QV_NUMBER); }),
              "Coercion from (vector) to (number) Vector must have exactly one element.");
    EXPECT_EQ(raisedMessage([&] { vec({1, 2})->CoerceTo(out, QV_COLOR); }),
              "Coercion from (vector) to (color) Vector must have 1 or 3 elements.");
    EXPECT_EQ(raisedMessage([&] { vec({1, 2})->CoerceTo(out, QV_DATE); }),
              "Coercion from (vector) to (date) is not possible.");
    vec({1, 2})->CoerceTo(out, QV_LIST);
    EXPECT_EQ(out->GetType(), QV_LIST);
    EXPECT_EQ(out->AsText(), "1\n2");
    vec({1, 2})->CoerceTo(out, QV_TEXT);
    EXPECT_EQ(out->AsText(), "1\t2");
    EXPECT_EQ(raisedMessage([&] { vec({1, 2})->AsColor(); }),
              "The vector {1\t2}\n\tNeeds three components to represent a color.\n");
    QvValueRef length = v->GetProperty(v->PropertyId("length"));
    EXPECT_EQ(length->AsNumber(), 3);
}

TEST(VectorForms, EqualityIsExactAndOnlyBetweenVectors) {
    EXPECT_TRUE(vec({1, 2})->Equal(vec({1, 2}).get()));
    EXPECT_FALSE(vec({1, 2})->Equal(vec({1, 2, 3}).get()));
    EXPECT_TRUE(vec({1, 2})->NotEqual(vec({2, 1}).get()));
    EXPECT_EQ(raisedMessage([&] { vec({1})->Equal(number(1).get()); }),
              "Operator (equality) used with incompatible types");
    EXPECT_EQ(raisedMessage([&] { vec({1})->Less(vec({2}).get()); }),
              "Can't execute \"vector < vector\" : incompatible types.");
}

TEST(VectorForms, CFunctionsForPlugins) {
    QvVectorValue* v = QvVectorCreate();
    QvVectorAppend(v, 4);
    QvVectorAppend(v, 8);
    QvVectorSetValueAt(v, 3, 1);
    EXPECT_EQ(QvVectorSize(v), 4);
    EXPECT_EQ(QvVectorGetValueAt(v, 1), 8);
    EXPECT_EQ(QvVectorAverage(v), 13.0 / 4);
    EXPECT_EQ(raisedMessage([&] { QvVectorGetValueAt(v, 4); }), "Vector index (4) out of range.");
    EXPECT_EQ(raisedMessage([&] { QvVectorGetValueAt(v, -1); }), "Vector index is negative!");
    QvVectorDelete(v);
}

TEST(VectorData, RoundTripsAndRefusesShortOrAbsurdData) {
    std::stringstream file;
    vec({1.5, -2, 1e300})->WriteData(file);
    EXPECT_EQ(file.str().size(), 4u + 3 * 8);
    EXPECT_EQ(file.str().substr(0, 4), std::string("\3\0\0\0", 4));
    QvValueRef back = QvVectorValue::ReadData(file);
    EXPECT_EQ(elementsOf(back), (std::vector<double>{1.5, -2, 1e300}));

    std::stringstream truncated(file.str().substr(0, 20));
    EXPECT_EQ(raisedMessage([&] { QvVectorValue::ReadData(truncated); }), "File error(Reading Value Data Failed.)");
    std::stringstream absurd(std::string("\xff\xff\xff\xff", 4) + std::string(16, '\0'));
    EXPECT_EQ(raisedMessage([&] { QvVectorValue::ReadData(absurd); }), "File error(Reading Value Data Failed.)");
}
