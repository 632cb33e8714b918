#pragma once
// The local clock and the parts of a date. A date-time is an OLE Automation
// date: days since 30 December 1899 00:00, the time of day as the fraction.

#include <functional>

double CurrentDateTime();
int YearOf(double dateTime);
int MonthOf(double dateTime);
int DayOf(double dateTime);

double MakeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// The calendar parts of a date-time, rounded to the nearest second. A value
// before 1 January 100 or after 31 December 9999 is taken as that day.
struct DateTimeParts {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
};
DateTimeParts SplitDateTime(double dateTime);

// Tests fix "now" with this; an empty function restores the real clock.
void SetClockForTesting(std::function<double()> clock);
