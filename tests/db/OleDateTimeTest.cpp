#include "db/OleDateTime.h"

#include <gtest/gtest.h>

TEST(OleDateTimeTest, DayCountsFollowTheOleCalendar)
{
    EXPECT_EQ(OleDateTime(1899, 12, 30, 0, 0, 0).Days(), 0.0);
    EXPECT_EQ(OleDateTime(1900, 1, 1, 0, 0, 0).Days(), 2.0);
    EXPECT_EQ(OleDateTime(1900, 1, 1, 18, 0, 0).Days(), 2.75);
    // Before the epoch the fraction still runs forward in the day.
    EXPECT_EQ(OleDateTime(1899, 12, 29, 6, 0, 0).Days(), -1.25);
    const OleDateTime back(-1.25);
    EXPECT_EQ(back.GetDay(), 29);
    EXPECT_EQ(back.GetHour(), 6);
}

TEST(OleDateTimeTest, PartsComeBackToTheSecond)
{
    const OleDateTime date(2024, 3, 5, 14, 7, 9);
    ASSERT_TRUE(date.IsValid());
    EXPECT_EQ(date.GetYear(), 2024);
    EXPECT_EQ(date.GetMonth(), 3);
    EXPECT_EQ(date.GetDay(), 5);
    EXPECT_EQ(date.GetHour(), 14);
    EXPECT_EQ(date.GetMinute(), 7);
    EXPECT_EQ(date.GetSecond(), 9);
    EXPECT_EQ(OleDateTime::FromDateTime(*date.ToDateTime()), date);
    // Just before midnight rounds up into the next day, not to 24:00.
    const OleDateTime late(OleDateTime(2024, 3, 6, 0, 0, 0).Days() - 1e-9);
    EXPECT_EQ(late.GetDay(), 6);
    EXPECT_EQ(late.GetHour(), 0);
}

TEST(OleDateTimeTest, ValuesThatCannotBeSplitGiveMinusOne)
{
    const OleDateTime invalidParts(2024, 2, 30, 0, 0, 0);
    EXPECT_EQ(invalidParts.GetStatus(), OleDateTime::Status::Invalid);
    EXPECT_EQ(invalidParts.GetYear(), -1);
    EXPECT_FALSE(OleDateTime(1e12).ToDateTime());
    EXPECT_EQ(OleDateTime(1e12).GetMonth(), -1);
    EXPECT_EQ(OleDateTime::Null().GetDay(), -1);
    EXPECT_EQ(OleDateTime(99, 12, 31, 0, 0, 0).GetStatus(), OleDateTime::Status::Invalid);
}

TEST(OleDateTimeTest, TextInStoredAndDisplayFormsConverts)
{
    EXPECT_EQ(OleDateTime::FromText("2024-03-05 14:07:09"), OleDateTime(2024, 3, 5, 14, 7, 9));
    EXPECT_EQ(OleDateTime::FromText("2024-03-05T14:07:09.250"), OleDateTime(2024, 3, 5, 14, 7, 9));
    EXPECT_EQ(OleDateTime::FromText("2024-03-05"), OleDateTime(2024, 3, 5, 0, 0, 0));
    EXPECT_EQ(OleDateTime::FromText("05/03/2024 14:07"), OleDateTime(2024, 3, 5, 14, 7, 0));
    EXPECT_EQ(OleDateTime::FromText("nada").GetStatus(), OleDateTime::Status::Invalid);
    EXPECT_EQ(OleDateTime::FromText("2024-13-01").GetStatus(), OleDateTime::Status::Invalid);
}

TEST(OleDateTimeTest, TheLastHalfSecondOfTheRangeStaysInYear9999)
{
    const double lastDay = OleDateTime(9999, 12, 31, 0, 0, 0).Days();
    for (const double days : {lastDay + 0.99999999, lastDay + 0.999999, lastDay + (86399.6 / 86400.0)}) {
        const OleDateTime date(days);
        EXPECT_EQ(date.GetYear(), 9999) << days;
        EXPECT_EQ(date.GetMonth(), 12) << days;
        EXPECT_EQ(date.GetDay(), 31) << days;
        EXPECT_EQ(date.GetHour(), 23) << days;
        EXPECT_EQ(date.GetMinute(), 59) << days;
        EXPECT_EQ(date.GetSecond(), 59) << days;
    }
}
