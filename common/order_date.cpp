#include "common/order_date.h"

#include <array>
#include <string>

#include "common/date_parts.h"
#include "common/text_encoding.h"
#include "common/value_text.h"

namespace {

// Reads 1 to maxDigits ASCII digits at position; false when there are none.
bool ReadNumber(std::string_view text, std::size_t& position, int maxDigits, int& value) {
    value = 0;
    int digits = 0;
    while (position < text.size() && digits < maxDigits && text[position] >= '0' &&
           text[position] <= '9') {
        value = value * 10 + (text[position++] - '0');
        ++digits;
    }
    return digits > 0 && (position == text.size() || text[position] < '0' || text[position] > '9');
}

bool Skip(std::string_view text, std::size_t& position, std::string_view what) {
    if (text.substr(position, what.size()) != what) return false;
    position += what.size();
    return true;
}

// Earlier years cannot be picked as a range's end; a two-digit year ("26-1-9")
// is no date of its own.
constexpr int kEarliestYear = 100;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

struct Separators {
    std::string first, second, last;  // after the year, after the month, after the day
};

const std::array<Separators, 4>& KnownSeparators() {
    static const std::array<Separators, 4> known = {{
        {"-", "-", ""},
        {"/", "/", ""},
        {".", ".", ""},
        {Gbk("年"), Gbk("月"), Gbk("日")},
    }};
    return known;
}

int ReadWith(std::string_view text, std::size_t position, const Separators& separators) {
    int year, month, day;
    if (!ReadNumber(text, position, 4, year) || !Skip(text, position, separators.first) ||
        !ReadNumber(text, position, 2, month) || !Skip(text, position, separators.second) ||
        !ReadNumber(text, position, 2, day)) {
        return 0;
    }
    Skip(text, position, separators.last);
    // A time of day may follow after a blank; nothing else may.
    if (position < text.size() && text[position] != ' ' && text[position] != '\t') return 0;
    if (year < kEarliestYear || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month)) {
        return 0;
    }
    return year * 10000 + month * 100 + day;
}

}  // namespace

int ReadOrderDate(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
    for (const Separators& separators : KnownSeparators()) {
        if (const int date = ReadWith(text, start, separators)) return date;
    }
    return 0;
}

std::string TodaysOrderDate() {
    const double now = CurrentDateTime();
    return IntegerToText(YearOf(now)) + "-" + IntegerToText(MonthOf(now)) + "-" +
           IntegerToText(DayOf(now));
}
