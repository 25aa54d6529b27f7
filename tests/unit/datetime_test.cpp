#include <gtest/gtest.h>

#include "base/datetime.h"

namespace {

TEST(DateTime, FormatsEveryPatternTheSystemUses) {
    COleDateTime t = COleDateTime::FromFields(2017, 5, 6, 14, 5, 0);
    EXPECT_EQ(t.Format("%Y-%m-%d %H%M"), "2017-05-06 1405");
    EXPECT_EQ(t.Format("%H%M"), "1405");
    EXPECT_EQ(t.Format("%H:%M"), "14:05");
    EXPECT_EQ(t.Format("%d.%m"), "06.05");
    EXPECT_EQ(t.Format("%d.%m.%Y"), "06.05.2017");
    EXPECT_EQ(t.Format("%d_%m_%Y"), "06_05_2017");
    EXPECT_EQ(t.Format("%Y"), "2017");
}

TEST(DateTime, RoundsToTheNearestSecondSoNoMinuteComesOutEarly) {
    // 14:05:00 held as a double sits a hair below the exact value for many minutes of a day;
    // every minute of a day must format as itself, never a minute early.
    double day = COleDateTime::FromFields(2017, 5, 6, 0, 0, 0).m_dt;
    for (int minute = 0; minute < 24 * 60; ++minute) {
        COleDateTime t(day + minute / 1440.0);
        char want[5];
        std::snprintf(want, sizeof want, "%02d%02d", minute / 60, minute % 60);
        ASSERT_EQ(t.Format("%H%M"), want) << minute;
    }
    // 59.6 seconds rounds up into the next minute, 59.4 stays.
    COleDateTime up(day + (14 * 3600 + 4 * 60 + 59.6) / 86400.0);
    COleDateTime down(day + (14 * 3600 + 4 * 60 + 59.4) / 86400.0);
    EXPECT_EQ(up.Format("%H%M"), "1405");
    EXPECT_EQ(down.Format("%H%M"), "1404");
    // Rounding can carry over midnight into the next day.
    COleDateTime late(day + (86400 - 0.3) / 86400.0);
    EXPECT_EQ(late.Format("%Y-%m-%d %H%M"), "2017-05-07 0000");
}

TEST(DateTime, StatusDecidesTheText) {
    EXPECT_EQ(COleDateTime(42000.5, COleDateTime::invalid).Format("%H%M"), "Invalid DateTime");
    EXPECT_EQ(COleDateTime(42000.5, COleDateTime::null).Format("%H%M"), "");
    // A null pointer from the host is a null date-time.
    EXPECT_EQ(COleDateTime::FromHost(nullptr).m_status, COleDateTime::null);
    // Values outside the years 100 to 9999 cannot be shown.
    EXPECT_EQ(COleDateTime(1e12).Format("%Y"), "Invalid DateTime");
    EXPECT_EQ(COleDateTime(-1e12).Format("%Y"), "Invalid DateTime");
}

TEST(DateTime, EpochAndDaysBeforeIt) {
    EXPECT_EQ(COleDateTime(0.0).Format("%Y-%m-%d %H%M"), "1899-12-30 0000");
    EXPECT_EQ(COleDateTime(1.5).Format("%Y-%m-%d %H:%M"), "1899-12-31 12:00");
    // Before the epoch the fraction still counts forward from midnight.
    EXPECT_EQ(COleDateTime(-1.25).Format("%Y-%m-%d %H:%M"), "1899-12-29 06:00");
    EXPECT_EQ(COleDateTime::FromFields(1899, 12, 29, 6, 0).m_dt, -1.25);
    EXPECT_EQ(COleDateTime::FromFields(2017, 2, 30, 0, 0).m_status, COleDateTime::invalid);
}

TEST(DateTime, RemovalMatchesOnlyTheExactMoment) {
    COleDateTime a(42861.5), b(42861.5), c(42861.5 + 1.0 / 86400);
    EXPECT_TRUE(a.SameMoment(b));
    EXPECT_FALSE(a.SameMoment(c));
    COleDateTime n1(1.0, COleDateTime::null), n2(2.0, COleDateTime::null);
    EXPECT_TRUE(n1.SameMoment(n2));
    COleDateTime i1(1.0, COleDateTime::invalid);
    EXPECT_FALSE(i1.SameMoment(i1));
    EXPECT_FALSE(a.SameMoment(COleDateTime(42861.5, COleDateTime::invalid)));
}

}  // namespace
