#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <sstream>
#include <thread>

#include "ErrorCapture.h"
#include "Values/QvArithmetic.h"
#include "Values/QvDateTimeValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"

namespace {
QvValueRef date(int day, int month, int year, int hour = 0, int minute = 0, int second = 0) {
    return QvDateTimeValue::fromLiteral({true, day, month, year, hour, minute, second});
}
QvValueRef number(double x) { return new QvNumberValue(x); }

double property(const QvValueRef& value, const char* name) {
    QvValueRef read = value->GetProperty(value->PropertyId(name));
    return read->AsNumber();
}

void set(QvValueRef& value, const char* name, double to) {
    QvValueRef number = new QvNumberValue(to);
    value->SetProperty(value->PropertyId(name), number.get());
}

using Operation = void (*)(QvValueRef&, QvValueRef&, QvValueRef&, bool);

QvValueRef apply(Operation operation, QvValueRef left, QvValueRef right) {
    QvValueRef result;
    operation(result, left, right, false);
    return result;
}
}  // namespace

TEST(DateClock, DatesFromTheClockDifferInMilliseconds) {
    QvValueRef first = new QvDateTimeValue;
    int64_t before = QvDateTime::readClock();
    EXPECT_NE(first->AsDate().clockTicks, 0);
    EXPECT_LE(first->AsDate().clockTicks, before);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    QvValueRef second = new QvDateTimeValue;
    double elapsed = apply(QvArithmetic::Subtract, second, first)->AsNumber();
    EXPECT_GE(elapsed, 0.25);
    EXPECT_LT(elapsed, 0.75);
    EXPECT_TRUE(first->Less(second.get()));
    EXPECT_TRUE(second->Greater(first.get()));
    EXPECT_TRUE(first->NotEqual(second.get()));
    EXPECT_DOUBLE_EQ(apply(QvArithmetic::Subtract, first, second)->AsNumber(), -elapsed);
}

TEST(DateClock, SettingAFieldFallsBackToWholeSeconds) {
    QvValueRef clockMade = new QvDateTimeValue;
    QvValueRef edited(clockMade->Clone());
    set(edited, "second", property(edited, "second"));
    EXPECT_EQ(edited->AsDate().clockTicks, 0);
    EXPECT_EQ(apply(QvArithmetic::Subtract, edited, clockMade)->AsNumber(), 0);
    EXPECT_TRUE(edited->Equal(clockMade.get()));
}

TEST(DateClock, HalfASecondMovesOnlyTheClockReading) {
    QvValueRef moment = new QvDateTimeValue;
    QvValueRef later = apply(QvArithmetic::Add, moment, number(0.5));
    EXPECT_EQ(later->AsDate().clockTicks - moment->AsDate().clockTicks, 500);
    EXPECT_EQ(later->AsText(), moment->AsText());
    EXPECT_DOUBLE_EQ(apply(QvArithmetic::Subtract, later, moment)->AsNumber(), 0.5);
}

TEST(DateArithmetic, SecondsShiftTheCalendarAndDatesSubtractToSeconds) {
    using A = QvArithmetic;
    EXPECT_EQ(apply(A::Add, date(5, 3, 2002, 10, 59, 30), number(90))->AsText(), "05 Mar 2002, 11:01:00");
    EXPECT_EQ(apply(A::Add, number(90), date(5, 3, 2002, 10, 59, 30))->AsText(), "05 Mar 2002, 11:01:00");
    EXPECT_EQ(apply(A::Subtract, date(1, 1, 2002), number(1))->AsText(), "31 Dec 2001, 23:59:59");
    EXPECT_EQ(apply(A::Subtract, date(2, 1, 2002), date(1, 1, 2002))->AsNumber(), 86400);
    EXPECT_EQ(apply(A::Subtract, date(1, 1, 2002), date(2, 1, 2002, 0, 0, 1))->AsNumber(), -86401);
    EXPECT_EQ(apply(A::Add, date(1, 1, 2002), new QvTextValue("!"))->AsText(), "01 Jan 2002, 00:00:00!");

    QvValueRef result;
    QvValueRef a = date(1, 1, 2002), b = date(2, 1, 2002), word = new QvTextValue("x"), huge = number(1e300);
    EXPECT_EQ(raisedMessage([&] { A::Add(result, a, b, false); }), "Can't execute \"date + date\" : incompatible types.");
    EXPECT_EQ(raisedMessage([&] { A::Subtract(result, a, word, false); }),
              "Can't execute \"date - text\" : incompatible types.");
    EXPECT_EQ(raisedMessage([&] { A::Multiply(result, a, a, false); }),
              "Can't execute \"date * date\" : incompatible types.");
    EXPECT_EQ(raisedMessage([&] { A::Add(result, a, huge, false); }),
              "The date lies outside the range of the calendar.");
}

TEST(DateArithmetic, InPlaceAdditionChangesTheDateItself) {
    QvValueRef d = date(28, 2, 2004, 12);
    QvValue* original = d.get();
    QvValueRef day = number(86400);
    QvArithmetic::Add(d, d, day, true);
    EXPECT_EQ(d.get(), original);
    EXPECT_EQ(d->AsText(), "29 Feb 2004, 12:00:00");
    QvArithmetic::Add(d, d, day, true);
    EXPECT_EQ(d->AsText(), "01 Mar 2004, 12:00:00");
    EXPECT_EQ(apply(QvArithmetic::Add, date(28, 2, 2003), number(86400))->AsText(), "01 Mar 2003, 00:00:00");
    EXPECT_EQ(date(29, 2, 2003)->AsText(), "01 Mar 2003, 00:00:00");
}

TEST(DateComparisons, OnlyWithDates) {
    QvValueRef early = date(1, 1, 2002), late = date(1, 1, 2002, 0, 0, 1), one = number(1);
    EXPECT_TRUE(early->Less(late.get()));
    EXPECT_TRUE(early->LessOrEqual(early.get()));
    EXPECT_TRUE(late->GreaterOrEqual(early.get()));
    EXPECT_FALSE(late->Greater(late.get()));
    EXPECT_TRUE(early->Equal(date(1, 1, 2002).get()));
    EXPECT_EQ(raisedMessage([&] { early->Equal(one.get()); }), "Operator (==) used with incompatible types");
    EXPECT_EQ(raisedMessage([&] { early->NotEqual(one.get()); }), "Operator (!=) used with incompatible types");
    EXPECT_EQ(raisedMessage([&] { early->Less(one.get()); }), "Operator (<) used with incompatible types");
    EXPECT_EQ(raisedMessage([&] { early->LessOrEqual(one.get()); }), "Operator (<=) used with incompatible types");
    EXPECT_EQ(raisedMessage([&] { early->Greater(one.get()); }), "Operator (>) used with incompatible types");
    EXPECT_EQ(raisedMessage([&] { early->GreaterOrEqual(one.get()); }), "Operator (>=) used with incompatible types");
}

TEST(DateProperties, ReadTheCalendarFields) {
    QvValueRef d = date(5, 3, 2002, 14, 7, 9);
    EXPECT_EQ(property(d, "second"), 9);
    EXPECT_EQ(property(d, "minute"), 7);
    EXPECT_EQ(property(d, "hour"), 14);
    EXPECT_EQ(property(d, "day_of_month"), 5);
    EXPECT_EQ(property(d, "day_of_week"), 2);
    EXPECT_EQ(property(d, "month"), 3);
    EXPECT_EQ(property(d, "year"), 2002);
    EXPECT_EQ(d->PropertyId("week"), QV_PROPERTY_WEEK);
    EXPECT_EQ(raisedMessage([&] { property(d, "week"); }), "Invalid Property Requested");
    EXPECT_EQ(raisedMessage([&] { set(d, "week", 1); }), "Unknown property name");
    EXPECT_EQ(raisedMessage([&] { set(d, "type", 1); }), "The property \"type\" can not be written.");
    EXPECT_EQ(raisedMessage([&] { set(d, "hour", 40000); }), "A date field must lie between -32768 and 32767.");
    EXPECT_EQ(property(d, "hour"), 14);
    QvValueRef type = d->GetProperty(d->PropertyId("type"));
    EXPECT_EQ(type->AsText(), "date");
}

TEST(DateProperties, OutOfRangeFieldsNormaliseAtTheNextComparison) {
    QvValueRef d = date(15, 6, 2002, 10);
    set(d, "month", 13);
    EXPECT_EQ(property(d, "month"), 13);
    EXPECT_TRUE(d->Greater(date(1, 1, 2003).get()));
    EXPECT_EQ(property(d, "month"), 1);
    EXPECT_EQ(property(d, "year"), 2003);

    set(d, "second", 61);
    set(d, "day_of_week", 6);
    EXPECT_EQ(d->AsText(), "15 Jan 2003, 10:01:01");
    EXPECT_TRUE(d->Equal(date(15, 1, 2003, 10, 1, 1).get()));
    EXPECT_EQ(property(d, "minute"), 1);
    EXPECT_EQ(property(d, "day_of_week"), 3);

    set(d, "year", 2004);
    set(d, "month", 2);
    set(d, "day_of_month", 30);
    EXPECT_EQ(d->AsText(), "01 Mar 2004, 10:01:01");
}

TEST(DateText, TimeOfDayFormsAndTheCLocale) {
    QvValueRef d = date(5, 3, 2002, 14, 7, 9);
    set(d, "day_of_month", 0);
    EXPECT_EQ(d->AsText(), "14:07:09");
    set(d, "day_of_month", 4);
    EXPECT_EQ(d->AsText(), "04 Mar 2002, 14:07:09");

    QvValueRef time = QvDateTimeValue::fromLiteral({false, 0, 0, 0, 10, 30, 15});
    EXPECT_TRUE(time->AsDate().timeOnly);
    EXPECT_EQ(time->AsText(), "10:30:15");
    QvValueRef today = new QvDateTimeValue;
    EXPECT_EQ(property(time, "day_of_month"), property(today, "day_of_month"));

    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string restore = previous ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "fr_FR.UTF-8")) {
        EXPECT_EQ(date(5, 5, 2002, 14, 7, 9)->AsText(), "05 May 2002, 14:07:09");
    }
    std::setlocale(LC_ALL, restore.c_str());
}

TEST(DateText, CFunctionsAndData) {
    QvDateTime* made = QvDateTimeCreate();
    ASSERT_NE(made, nullptr);
    EXPECT_NE(made->clockTicks, 0);
    QvValueRef printed = QvDateTimeToString(made);
    EXPECT_EQ(printed->AsText(), made->text());
    QvDateTimeDelete(made);
    QvDateTimeDelete(nullptr);

    QvValueRef d = date(5, 3, 2002, 14, 7, 9);
    set(d, "day_of_month", 0);
    std::stringstream file;
    d->WriteData(file);
    EXPECT_EQ(file.str().size(), 9u * 4 + 1 + 8);
    QvValueRef back = QvDateTimeValue::ReadData(file);
    EXPECT_EQ(back->AsText(), "14:07:09");
    EXPECT_TRUE(back->AsDate().timeOnly);
}
