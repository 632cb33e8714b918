#include "common/date_parts.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

namespace {

using namespace std::chrono;

constexpr sys_days kOleEpoch = sys_days{1899y / December / 30};
constexpr double kFirstDay = -657434;  // 1 January 100
constexpr double kLastDay = 2958465;   // 31 December 9999
constexpr long long kSecondsPerDay = 86400;

std::function<double()> testClock;

}  // namespace

double MakeDateTime(int year, int month, int day, int hour, int minute, int second) {
    // Months, days and time parts beyond their range carry over, as with mktime.
    const year_month firstMonth = std::chrono::year{year} / January + months{month - 1};
    const seconds time{hour * 3600LL + minute * 60LL + second};
    const days extraDays = floor<days>(time);
    const sys_days date = sys_days{firstMonth / 1} + days{day - 1} + extraDays;

    const double wholeDays = static_cast<double>((date - kOleEpoch).count());
    const double fraction = static_cast<double>((time - extraDays).count()) / kSecondsPerDay;
    // Before the epoch the fraction still counts forward from midnight:
    // 29 December 1899 06:00 is -1.25.
    return wholeDays < 0 ? wholeDays - fraction : wholeDays + fraction;
}

DateTimeParts SplitDateTime(double dateTime) {
    const double t = std::isnan(dateTime) ? 0 : std::clamp(dateTime, kFirstDay, kLastDay);
    const double whole = std::trunc(t);
    long long dayNumber = static_cast<long long>(whole);
    long long secondOfDay = std::llround(std::fabs(t - whole) * kSecondsPerDay);
    if (secondOfDay == kSecondsPerDay) {  // 23:59:59.5 or later is the next midnight
        secondOfDay = 0;
        ++dayNumber;
    }

    const year_month_day date{kOleEpoch + days{dayNumber}};
    DateTimeParts parts;
    parts.year = static_cast<int>(date.year());
    parts.month = static_cast<int>(static_cast<unsigned>(date.month()));
    parts.day = static_cast<int>(static_cast<unsigned>(date.day()));
    parts.hour = static_cast<int>(secondOfDay / 3600);
    parts.minute = static_cast<int>(secondOfDay / 60 % 60);
    parts.second = static_cast<int>(secondOfDay % 60);
    return parts;
}

int YearOf(double dateTime) { return SplitDateTime(dateTime).year; }
int MonthOf(double dateTime) { return SplitDateTime(dateTime).month; }
int DayOf(double dateTime) { return SplitDateTime(dateTime).day; }

double CurrentDateTime() {
    if (testClock) return testClock();
    const std::time_t now = system_clock::to_time_t(system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return MakeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec);
}

void SetClockForTesting(std::function<double()> clock) { testClock = std::move(clock); }
