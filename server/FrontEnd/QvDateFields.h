#pragma once

// The calendar fields of a date or time literal as the parser read them. A time of
// day alone (HH:MM[:SS]) has no date part.
struct QvDateFields {
    bool hasDate = false;
    int day = 0;
    int month = 0;  // 1 to 12
    int year = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
