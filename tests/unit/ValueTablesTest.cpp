#include <gtest/gtest.h>

#include "Values/QvTypeTables.h"

namespace {
QvTypeEnum add(QvTypeEnum l, QvTypeEnum r) { return QvArithmeticResultType(QvArithmeticOp::Add, l, r); }
QvTypeEnum sub(QvTypeEnum l, QvTypeEnum r) { return QvArithmeticResultType(QvArithmeticOp::Subtract, l, r); }
QvTypeEnum mul(QvTypeEnum l, QvTypeEnum r) { return QvArithmeticResultType(QvArithmeticOp::Multiply, l, r); }
QvTypeEnum div(QvTypeEnum l, QvTypeEnum r) { return QvArithmeticResultType(QvArithmeticOp::Divide, l, r); }

int definedCells(QvArithmeticOp op) {
    int count = 0;
    for (int l = 0; l < QV_TYPE_COUNT; ++l)
        for (int r = 0; r < QV_TYPE_COUNT; ++r)
            count += QvArithmeticResultType(op, QvTypeEnum(l), QvTypeEnum(r)) != QV_UNDEFINED;
    return count;
}
}  // namespace

TEST(ValueTables, CoercionTable) {
    for (int code = 0; code < QV_TYPE_COUNT; ++code)
        EXPECT_TRUE(QvCoercionAllowed(QvTypeEnum(code), QvTypeEnum(code))) << code;
    for (int code = 0; code < QV_UNDEFINED; ++code)
        EXPECT_TRUE(QvCoercionAllowed(QvTypeEnum(code), QV_TEXT)) << code;
    for (int code = 0; code < QV_UNDEFINED; ++code)
        EXPECT_FALSE(QvCoercionAllowed(QV_UNDEFINED, QvTypeEnum(code))) << code;
    EXPECT_FALSE(QvCoercionAllowed(QV_DATE, QV_NUMBER));
    EXPECT_TRUE(QvCoercionAllowed(QV_LIST, QV_VECTOR));
    EXPECT_TRUE(QvCoercionAllowed(QV_LIST, QV_IMAGE_MONO));
    EXPECT_FALSE(QvCoercionAllowed(QV_LIST, QV_IMAGE));
    EXPECT_TRUE(QvCoercionAllowed(QV_TEXT, QV_LIST));
    EXPECT_FALSE(QvCoercionAllowed(QV_TEXT, QV_COLOR));
    EXPECT_FALSE(QvCoercionAllowed(QV_NUMBER, static_cast<QvTypeEnum>(17)));
}

TEST(ValueTables, AdditionTable) {
    EXPECT_EQ(add(QV_NUMBER, QV_NUMBER), QV_NUMBER);
    EXPECT_EQ(add(QV_NUMBER, QV_VECTOR), QV_UNDEFINED);
    EXPECT_EQ(add(QV_VECTOR, QV_NUMBER), QV_VECTOR);
    EXPECT_EQ(add(QV_DATE, QV_NUMBER), QV_DATE);
    EXPECT_EQ(add(QV_IMAGE_MONO, QV_TEXT), QV_IMAGE_MONO);
    EXPECT_EQ(add(QV_MOVIE, QV_FRAME), QV_MOVIE);
    EXPECT_EQ(add(QV_MOVIE, QV_UNNAMED_3), QV_MOVIE);
    EXPECT_EQ(add(QV_TEXT, QV_LIST), QV_UNDEFINED);
    EXPECT_EQ(add(QV_BOOLEAN, QV_TEXT), QV_TEXT);
    EXPECT_EQ(add(QV_LIST, QV_TEXT), QV_UNDEFINED);
    EXPECT_EQ(add(QV_UNNAMED_3, QV_BOOLEAN), QV_UNNAMED_3);
    // 33 shared cells + date 1 + pictures with text 4 + movie 6 + text 6 + 5 + row 3 2
    EXPECT_EQ(definedCells(QvArithmeticOp::Add), 57);
}

TEST(ValueTables, SubtractionTable) {
    EXPECT_EQ(sub(QV_DATE, QV_DATE), QV_NUMBER);
    EXPECT_EQ(sub(QV_DATE, QV_NUMBER), QV_DATE);
    EXPECT_EQ(sub(QV_NUMBER, QV_VECTOR), QV_UNDEFINED);
    EXPECT_EQ(sub(QV_IMAGE, QV_TEXT), QV_UNDEFINED);
    EXPECT_EQ(sub(QV_MOVIE, QV_MOVIE), QV_UNDEFINED);
    EXPECT_EQ(sub(QV_UNNAMED_3, QV_BOOLEAN), QV_UNDEFINED);
    EXPECT_EQ(sub(QV_UNNAMED_3, QV_DATE), QV_UNNAMED_3);
    EXPECT_EQ(definedCells(QvArithmeticOp::Subtract), 35);
}

TEST(ValueTables, MultiplicationAndDivisionTables) {
    for (auto op : {mul, div}) {
        EXPECT_EQ(op(QV_NUMBER, QV_NUMBER), QV_NUMBER);
        EXPECT_EQ(op(QV_VECTOR, QV_VECTOR), QV_VECTOR);
        EXPECT_EQ(op(QV_COLOR, QV_NUMBER), QV_COLOR);
        EXPECT_EQ(op(QV_FRAME, QV_COLOR), QV_FRAME);
        EXPECT_EQ(op(QV_DATE, QV_NUMBER), QV_UNDEFINED);
        EXPECT_EQ(op(QV_TEXT, QV_NUMBER), QV_UNDEFINED);
    }
    EXPECT_EQ(definedCells(QvArithmeticOp::Multiply), 33);
    EXPECT_EQ(definedCells(QvArithmeticOp::Divide), 33);
}
