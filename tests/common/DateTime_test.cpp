#include <gtest/gtest.h>

#include "common/DateTime.h"

namespace {

TEST(Dates, LeapYearsAndMonthLengths) {
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_TRUE(IsLeapYear(2400));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 4), 30);
    EXPECT_EQ(DaysInMonth(2023, 12), 31);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
}

TEST(Dates, DayCountMatchesTheEpochAndKnownDates) {
    EXPECT_EQ(CDateTime::FromParts(1899, 12, 30).Days(), 0.0);
    EXPECT_EQ(CDateTime::FromParts(1900, 1, 1).Days(), 2.0);
    EXPECT_EQ(CDateTime::FromParts(2004, 5, 1).Days(), 38108.0);
    EXPECT_DOUBLE_EQ(CDateTime::FromParts(2004, 5, 1, 18, 0, 0).Days(), 38108.75);
    CDateTime t = CDateTime::FromParts(2024, 2, 29, 23, 59, 59);
    EXPECT_EQ(t.Year(), 2024);
    EXPECT_EQ(t.Month(), 2);
    EXPECT_EQ(t.Day(), 29);
    EXPECT_EQ(t.Hour(), 23);
    EXPECT_EQ(t.Minute(), 59);
    EXPECT_EQ(t.Second(), 59);
    EXPECT_EQ(t.DateOnly().Format("%Y/%m/%d %H:%M"), "2024/02/29 00:00");
    EXPECT_EQ(CDateTime::FromParts(2004, 5, 1).DayOfWeek(), 7);  // a Saturday
    // Before the epoch the fraction still counts forward: -1.25 is 1899-12-29 06:00.
    CDateTime early(-1.25);
    EXPECT_EQ(early.Format("%Y/%m/%d %H:%M"), "1899/12/29 06:00");
    EXPECT_EQ(CDateTime::FromParts(1899, 12, 29, 6).Days(), -1.25);
}

TEST(Dates, InvalidPartsGiveAnUnsetValue) {
    EXPECT_FALSE(CDateTime::FromParts(2023, 2, 29).IsValid());
    EXPECT_FALSE(CDateTime::FromParts(1900, 2, 29).IsValid());
    EXPECT_TRUE(CDateTime::FromParts(2000, 2, 29).IsValid());
    EXPECT_FALSE(CDateTime::FromParts(2023, 4, 31).IsValid());
    EXPECT_FALSE(CDateTime::FromParts(2023, 0, 1).IsValid());
    EXPECT_FALSE(CDateTime::FromParts(2023, 1, 1, 24).IsValid());
}

TEST(Dates, DisplayAndSqlLiterals) {
    CDateTime d = CDateTime::FromParts(2004, 5, 1);
    EXPECT_EQ(d.Format(), "2004/05/01");
    EXPECT_EQ(d.SqlLiteral(), "#5/1/2004#");
    EXPECT_EQ(CDateTime::FromParts(1999, 12, 31, 13, 5).SqlLiteral(), "#12/31/1999#");
    CDateTime unset;
    EXPECT_FALSE(unset.IsValid());
    EXPECT_EQ(unset.Format(), "");
    EXPECT_EQ(unset, CDateTime());
    EXPECT_FALSE(unset == d);
}

TEST(Dates, Parsing) {
    EXPECT_EQ(CDateTime::ParseDate("2004/05/01")->Days(), 38108.0);
    EXPECT_EQ(CDateTime::ParseDate("2004/5/1")->Days(), 38108.0);
    EXPECT_EQ(CDateTime::ParseDate(" 2000/2/29 ")->Format(), "2000/02/29");
    EXPECT_FALSE(CDateTime::ParseDate("2001/2/29"));
    EXPECT_FALSE(CDateTime::ParseDate("2004/13/01"));
    EXPECT_FALSE(CDateTime::ParseDate("2004/05"));
    EXPECT_FALSE(CDateTime::ParseDate("2004/05/01/"));
    EXPECT_FALSE(CDateTime::ParseDate("2004//01"));
    EXPECT_FALSE(CDateTime::ParseDate("2004-05-01"));
    EXPECT_FALSE(CDateTime::ParseDate("２００４/05/01"));
    EXPECT_FALSE(CDateTime::ParseDate(""));
    EXPECT_FALSE(CDateTime::ParseDate("20040/5/1"));
}

TEST(Amounts, DisplayRule) {
    EXPECT_EQ(FormatAmount(0), "0");
    EXPECT_EQ(FormatAmount(0.5), "0.5");
    EXPECT_EQ(FormatAmount(12.30), "12.3");
    EXPECT_EQ(FormatAmount(1200.00), "1200");
    EXPECT_EQ(FormatAmount(-5), "-5");
    EXPECT_EQ(FormatAmount(100), "100");
    EXPECT_EQ(FormatAmount(1234567.89), "1234567.89");
    EXPECT_EQ(FormatAmount(-0.001), "0");
}

}  // namespace
