#include "Values/QvDateTime.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <new>
#include <time.h>

#include "Errors/QvErrors.h"
#include "Errors/QvExceptions.h"
#include "Values/QvTextValue.h"

namespace {

constexpr const char* monthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Shifts beyond this many seconds (some thirty million years) leave every calendar.
constexpr double longestShift = 1e15;

int64_t saturatedSum(int64_t a, int64_t b) {
    int64_t sum;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b > 0 ? INT64_MAX : INT64_MIN;
}

int64_t saturatedDifference(int64_t a, int64_t b) {
    int64_t difference;
    if (!__builtin_sub_overflow(a, b, &difference))
        return difference;
    return b < 0 ? INT64_MAX : INT64_MIN;
}

[[noreturn]] void raiseUnrepresentable() { QvError("The date lies outside the range of the calendar."); }

// The C library reads the time zone on the first calendar conversion. Doing it once
// while the library loads keeps threads that convert dates at once from racing on it.
const bool timeZoneLoaded = (tzset(), true);

// mktime answers -1 both for failure and for the second before 1970; errno tells them apart.
std::time_t toTimestamp(std::tm& calendar) {
    errno = 0;
    std::time_t timestamp = std::mktime(&calendar);
    if (timestamp == std::time_t(-1) && errno != 0)
        raiseUnrepresentable();
    return timestamp;
}

std::tm toCalendar(std::time_t timestamp) {
    std::tm calendar{};
    if (!localtime_r(&timestamp, &calendar))
        raiseUnrepresentable();
    return calendar;
}

}  // namespace

QvDateTime QvDateTime::now() {
    QvDateTime moment;
    moment.calendar = toCalendar(std::time(nullptr));
    moment.timeOnly = moment.calendar.tm_mday == 0;
    moment.clockTicks = readClock();
    return moment;
}

int64_t QvDateTime::readClock() {
    auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    int64_t milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count();
    return milliseconds != 0 ? milliseconds : 1;
}

std::time_t QvDateTime::timestamp() const { return toTimestamp(calendar); }

void QvDateTime::addSeconds(double seconds) {
    if (!(std::fabs(seconds) < longestShift))
        raiseUnrepresentable();
    std::time_t shifted = timestamp() + std::time_t(std::trunc(seconds));
    calendar = toCalendar(shifted);
    if (clockTicks != 0)
        clockTicks = saturatedSum(clockTicks, int64_t(std::trunc(seconds * 1000)));
}

// Ticks read from a file may be anything, so they count only when they move the same
// way as the calendars; within one calendar second they give the fraction.
double QvDateTime::secondsSince(const QvDateTime& earlier) const {
    double whole = std::difftime(timestamp(), earlier.timestamp());
    if (whole < 0)
        return -earlier.secondsSince(*this);
    if (clockTicks == 0 || earlier.clockTicks == 0 || clockTicks == earlier.clockTicks)
        return whole;
    int64_t ticks = saturatedDifference(clockTicks, earlier.clockTicks);
    return whole == 0 || ticks > 0 ? double(ticks) * 0.001 : whole;
}

// Printed from a normalised copy, so that fields set out of range show as the moment
// they stand for; a calendar beyond the platform's range prints its fields as they are.
std::string QvDateTime::text() const {
    std::tm shown = calendar;
    errno = 0;
    if (std::mktime(&shown) == std::time_t(-1) && errno != 0)
        shown = calendar;
    char printed[255];
    if (timeOnly) {
        std::snprintf(printed, sizeof printed, "%02d:%02d:%02d", shown.tm_hour, shown.tm_min, shown.tm_sec);
    } else {
        const char* month = shown.tm_mon >= 0 && shown.tm_mon < 12 ? monthNames[shown.tm_mon] : "???";
        std::snprintf(printed, sizeof printed, "%02d %s %lld, %02d:%02d:%02d", shown.tm_mday, month,
                      static_cast<long long>(shown.tm_year) + 1900, shown.tm_hour, shown.tm_min, shown.tm_sec);
    }
    return printed;
}

QvDateTime* QvDateTimeCreate() { return new (std::nothrow) QvDateTime(QvDateTime::now()); }

void QvDateTimeDelete(QvDateTime* date) { delete date; }

QvValue* QvDateTimeToString(QvDateTime* date) {
    if (!date)
        throw new QvTypeException("date");
    return new QvTextValue(date->text());
}
