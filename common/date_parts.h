#pragma once
// The local clock and the parts of a date. A date-time is an OLE Automation
// date: days since 30 December 1899 00:00, the time of day as the fraction.

#include <functional>

double CurrentDateTime();
int YearOf(double dateTime);
int MonthOf(double dateTime);
int DayOf(double dateTime);

double MakeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// Tests fix "now" with this; an empty function restores the real clock.
void SetClockForTesting(std::function<double()> clock);
