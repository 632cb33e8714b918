#include <gtest/gtest.h>

#include "common/date_parts.h"

TEST(DateParts, KnownDates) {
    EXPECT_EQ(MakeDateTime(1899, 12, 30), 0);
    EXPECT_EQ(MakeDateTime(1900, 1, 1), 2);
    EXPECT_EQ(MakeDateTime(2015, 1, 9), 42013);
    EXPECT_EQ(MakeDateTime(100, 1, 1), -657434);
    EXPECT_EQ(MakeDateTime(9999, 12, 31), 2958465);
    EXPECT_EQ(MakeDateTime(2015, 1, 9, 12), 42013.5);
    EXPECT_EQ(MakeDateTime(1899, 12, 29, 6), -1.25);
    // Out-of-range parts carry over.
    EXPECT_EQ(MakeDateTime(2014, 13, 9), MakeDateTime(2015, 1, 9));
    EXPECT_EQ(MakeDateTime(2015, 1, 8, 24), MakeDateTime(2015, 1, 9));
}

TEST(DateParts, SplitRoundsToTheNearestSecond) {
    const double t = MakeDateTime(2016, 2, 29, 23, 59, 59);
    const DateTimeParts p = SplitDateTime(t);
    EXPECT_EQ(p.year, 2016);
    EXPECT_EQ(p.month, 2);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 23);
    EXPECT_EQ(p.minute, 59);
    EXPECT_EQ(p.second, 59);

    const DateTimeParts next = SplitDateTime(t + 0.7 / 86400);
    EXPECT_EQ(next.month, 3);
    EXPECT_EQ(next.day, 1);
    EXPECT_EQ(next.hour, 0);
    EXPECT_EQ(next.second, 0);

    for (int hour = 0; hour < 24; ++hour) {
        for (int minute = 0; minute < 60; ++minute) {
            const DateTimeParts q = SplitDateTime(MakeDateTime(2015, 1, 9, hour, minute, 7));
            ASSERT_EQ(q.hour * 60 + q.minute, hour * 60 + minute);
            ASSERT_EQ(q.second, 7);
        }
    }
}

TEST(DateParts, YearMonthDayOfTheClock) {
    SetClockForTesting([] { return MakeDateTime(2015, 1, 9, 13, 5); });
    EXPECT_EQ(YearOf(CurrentDateTime()), 2015);
    EXPECT_EQ(MonthOf(CurrentDateTime()), 1);
    EXPECT_EQ(DayOf(CurrentDateTime()), 9);
    SetClockForTesting({});

    const double now = CurrentDateTime();
    EXPECT_GT(now, MakeDateTime(2024, 1, 1));
    EXPECT_LT(now, MakeDateTime(2200, 1, 1));
}
