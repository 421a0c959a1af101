#pragma once
#include <cstdint>
#include <ctime>
#include <string>

#include "QvExport.h"

class QvValue;

// A moment in local time: the broken-down calendar fields of the C library, a flag
// for a time of day without a date, and the reading of a monotonic millisecond clock
// for dates taken from the clock (0 once a calendar field has been set), which gives
// differences between two such dates sub-second resolution.
//
// Fields may be set out of range; converting the calendar to a timestamp normalises
// them (61 seconds become a minute and a second) and writes the normalised fields back.
struct QV_EXPORT QvDateTime {
    mutable std::tm calendar{};
    bool timeOnly = false;
    int64_t clockTicks = 0;

    // The current moment, with the clock read now.
    static QvDateTime now();
    // Milliseconds of the monotonic clock; never 0.
    static int64_t readClock();

    // The calendar as a timestamp, normalising the fields; raises when the calendar
    // lies beyond what the platform can represent.
    std::time_t timestamp() const;
    // Shifts the moment by whole seconds in the calendar, and by milliseconds in the
    // clock reading when there is one (held at the ends of its range).
    void addSeconds(double seconds);
    // this - earlier in seconds: whole seconds from the calendars, or the clock
    // readings' difference when both dates have distinct ones that differ the same way
    // as the calendars (or the calendars are equal).
    double secondsSince(const QvDateTime& earlier) const;

    // "05 Mar 2002, 14:07:09", or "14:07:09" for a time of day. Month names and the
    // time form are those of the C locale whatever the user's environment, so output
    // is reproducible.
    std::string text() const;
};

QV_C_EXPORT QvDateTime* QvDateTimeCreate();
QV_C_EXPORT void QvDateTimeDelete(QvDateTime* date);
// A new text value with the date's text form.
QV_C_EXPORT QvValue* QvDateTimeToString(QvDateTime* date);
