#include <gtest/gtest.h>

#include <cmath>

#include "ErrorCapture.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"

namespace {
std::string at(const char* text, double i) {
    QvTextValue value(text);
    QvNumberValue index(i);
    QvValueRef out;
    value.GetIndexed(out, &index, false);
    return out->AsText();
}

std::string between(const char* text, double i, double j) {
    QvTextValue value(text);
    QvNumberValue first(i), second(j);
    QvValueRef out;
    value.GetDoubleIndexed(out, &first, &second);
    return out->AsText();
}

std::string afterSet(const char* text, double i, const char* inserted) {
    QvTextValue value(text);
    QvNumberValue index(i);
    QvValueRef replacement = new QvTextValue(inserted);
    value.SetIndexed(&index, replacement);
    return value.AsText();
}

std::string afterInsert(const char* text, double i, const char* inserted) {
    QvTextValue value(text), insertion(inserted);
    QvNumberValue index(i);
    value.Insert(&insertion, &index);
    return value.AsText();
}
}  // namespace

TEST(ValueText, ReadingOneCharacter) {
    EXPECT_EQ(at("hello", 0), "h");
    EXPECT_EQ(at("hello", 4), "o");
    EXPECT_EQ(at("hello", 1.9), "e");
    EXPECT_EQ(at("hello", -1), "l");
    EXPECT_EQ(raisedMessage([] { at("hello", 5); }), "Text index (5) out of range.");
    EXPECT_EQ(raisedMessage([] { at("hello", -5); }), "Text index is negative!");
    EXPECT_EQ(raisedMessage([] { at("", 0); }), "Text index (0) out of range.");
    EXPECT_EQ(raisedMessage([] { at("hello", NAN); }), "Text index (9223372036854775807) out of range.");
}

TEST(ValueText, ReadingASubstring) {
    EXPECT_EQ(between("hello", 1, 0), "ello");
    EXPECT_EQ(between("hello", 1, 2), "el");
    EXPECT_EQ(between("hello", -1, 0), "lo");
    EXPECT_EQ(raisedMessage([] { between("hello", 3, 1); }), "Second index must be smaller than the first.");
    EXPECT_EQ(raisedMessage([] { between("hello", 2, 7); }), "Text index (2,7) out of range.");
    EXPECT_EQ(raisedMessage([] { between("hello", -9, -8); }), "Text index is negative!");
    EXPECT_EQ(raisedMessage([] { between("", 0, 0); }), "Second index must be smaller than the first.");
}

TEST(ValueText, SettingOneCharacter) {
    EXPECT_EQ(afterSet("ab", 0, "xyz"), "xyzb");
    EXPECT_EQ(afterSet("ab", 2, "x"), "abx");
    EXPECT_EQ(afterSet("ab", 7, "x"), "ab     x");
    EXPECT_EQ(raisedMessage([] { afterSet("ab", -1, "x"); }), "Text index is negative!");
    EXPECT_EQ(raisedMessage([] { afterSet("ab", 1e15, "x"); }), "Text index (1000000000000000) out of range.");
}

TEST(ValueText, InsertingAppendingPrepending) {
    EXPECT_EQ(afterInsert("ac", 1, "b"), "abc");
    EXPECT_EQ(afterInsert("ab", 4, "x"), "ab  x");
    EXPECT_EQ(raisedMessage([] { afterInsert("ab", -2, "x"); }), "Text index is negative!");
    QvTextValue text("mid");
    QvNumberValue one(1);
    text.Append(&one);
    QvTextValue start("<");
    text.Prepend(&start);
    text.AppendCString(">");
    text.AppendCString(nullptr);
    EXPECT_EQ(text.AsText(), "<mid1>");
}

TEST(ValueText, CoercionsReadNumbersAndWords) {
    QvValueRef out;
    QvTextValue("  12.5abc").CoerceTo(out, QV_NUMBER);
    EXPECT_EQ(out->AsNumber(), 12.5);
    QvTextValue("abc").CoerceTo(out, QV_NUMBER);
    EXPECT_EQ(out->AsNumber(), 0);
    QvTextValue("").CoerceTo(out, QV_NUMBER);
    EXPECT_EQ(out->AsNumber(), 0);
    EXPECT_EQ(raisedMessage([&] { QvTextValue("1").CoerceTo(out, QV_BOOLEAN); }),
              "Coercion from (text) to (boolean) is not possible.");
    EXPECT_EQ(raisedMessage([&] { QvTextValue("1").CoerceTo(out, QV_UNDEFINED); }),
              "Coercion from (text) to (undefined) is not possible.");
}

TEST(ValueText, LengthPropertyEqualityAndNoOrdering) {
    QvTextValue text(std::string("a\0b", 3));
    EXPECT_EQ(text.PropertyId("length"), QV_PROPERTY_LENGTH);
    EXPECT_EQ(text.PropertyId("type"), QV_PROPERTY_TYPE);
    QvValueRef length = text.GetProperty(QV_PROPERTY_LENGTH);
    EXPECT_EQ(length->AsNumber(), 3);
    QvValueRef type = text.GetProperty(QV_PROPERTY_TYPE);
    EXPECT_EQ(type->AsText(), "text");
    QvTextValue five("5");
    QvNumberValue number(5);
    EXPECT_TRUE(five.Equal(&number));
    EXPECT_TRUE(five.NotEqual(&text));
    EXPECT_EQ(raisedMessage([&] { five.Less(&five); }), "Can't execute \"text < text\" : incompatible types.");
}

TEST(ValueText, ExportedFunctions) {
    QvValueRef copied = QvTextCreate("plain");
    EXPECT_STREQ(QvTextGetTextPtr(copied.get()), "plain");
    QvValueRef exact = QvTextCreateFromPointer("a\0bcd", 3);
    EXPECT_EQ(exact->AsText(), std::string("a\0b", 3));
    QvValueRef empty = QvTextCreate(nullptr);
    EXPECT_STREQ(QvTextGetTextPtr(empty.get()), "");
    EXPECT_NE(raisedMessage([] { QvTextCreateFromPointer("x", -1); }), "<no error>");
    QvValueRef number = QvNumberCreate(1);
    EXPECT_EQ(raisedMessage([&] { QvTextGetTextPtr(number.get()); }), "Type mismatch error, expecting (text)");
}
