#include <gtest/gtest.h>

#include "common/DateTime.h"

namespace {

TEST(Dates, LeapYearsAndMonthLengths) {
    for (int y : {2000, 2400, 2024}) EXPECT_TRUE(IsLeapYear(y)) << y;
    for (int y : {1900, 2100, 2023}) EXPECT_FALSE(IsLeapYear(y)) << y;
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 4), 30);
    EXPECT_EQ(DaysInMonth(2023, 12), 31);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
    // Invalid parts give an unset value.
    EXPECT_TRUE(CDateTime::FromParts(2000, 2, 29).IsValid());
    EXPECT_FALSE(CDateTime::FromParts(1900, 2, 29).IsValid());
    EXPECT_FALSE(CDateTime::FromParts(2023, 2, 29).IsValid());
    EXPECT_FALSE(CDateTime::FromParts(2023, 4, 31).IsValid());
    EXPECT_FALSE(CDateTime::FromParts(2023, 0, 1).IsValid());
    EXPECT_FALSE(CDateTime::FromParts(2023, 1, 1, 24).IsValid());
}

TEST(Dates, DayCountMatchesTheEpochAndKnownDates) {
    EXPECT_EQ(CDateTime::FromParts(1899, 12, 30).Days(), 0.0);
    EXPECT_EQ(CDateTime::FromParts(1900, 1, 1).Days(), 2.0);
    EXPECT_EQ(CDateTime::FromParts(2004, 5, 1).Days(), 38108.0);
    EXPECT_DOUBLE_EQ(CDateTime::FromParts(2004, 5, 1, 18, 0, 0).Days(), 38108.75);
    CDateTime t = CDateTime::FromParts(2024, 2, 29, 23, 59, 59);
    EXPECT_EQ(t.Format("%Y/%m/%d %H:%M:%S"), "2024/02/29 23:59:59");
    EXPECT_EQ(t.Year() * 10000 + t.Month() * 100 + t.Day(), 20240229);
    EXPECT_EQ(t.Hour() * 10000 + t.Minute() * 100 + t.Second(), 235959);
    EXPECT_EQ(t.DateOnly().Format("%Y/%m/%d %H:%M"), "2024/02/29 00:00");
    EXPECT_EQ(CDateTime::FromParts(2004, 5, 1).DayOfWeek(), 7);  // a Saturday
    // Before the epoch the fraction still counts forward: -1.25 is 1899-12-29 06:00.
    EXPECT_EQ(CDateTime(-1.25).Format("%Y/%m/%d %H:%M"), "1899/12/29 06:00");
    EXPECT_EQ(CDateTime::FromParts(1899, 12, 29, 6).Days(), -1.25);
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
    for (const char* bad : {"2001/2/29", "2004/13/01", "2004/05", "2004/05/01/", "2004//01", "2004-05-01",
                            "２００４/05/01", "", "20040/5/1"})
        EXPECT_FALSE(CDateTime::ParseDate(bad)) << bad;
}

TEST(Amounts, DisplayRule) {
    const std::pair<double, const char*> cases[] = {{0, "0"},       {0.5, "0.5"}, {12.30, "12.3"},
                                                    {1200.00, "1200"}, {-5, "-5"},   {100, "100"},
                                                    {1234567.89, "1234567.89"}, {-0.001, "0"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatAmount(value), text) << value;
}

}  // namespace
