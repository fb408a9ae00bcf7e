// Dates as the framework shows them: a day count from 30 December 1899
// in the user's own date and time formats.
#include "SysUtils.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

std::string ShortDate(WORD year, WORD month, WORD day)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    char text[128] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, sizeof text);
    return text;
}

TEST(SysUtilsDate, ADayCountIsShownAsItsDateWithoutATimeAtMidnight)
{
    EXPECT_EQ(ShortDate(1899, 12, 30), DateTimeToStr(0));
    EXPECT_EQ(ShortDate(1900, 1, 1), DateTimeToStr(2));
    EXPECT_EQ(ShortDate(2019, 3, 14), DateTimeToStr(43538));
    EXPECT_EQ(ShortDate(2000, 2, 29), DateTimeToStr(36585));
    EXPECT_EQ(ShortDate(1601, 1, 1), DateTimeToStr(-109205));
}

TEST(SysUtilsDate, ATimeOfDayFollowsTheDate)
{
    SYSTEMTIME time = {};
    time.wYear = 2019;
    time.wMonth = 3;
    time.wDay = 14;
    time.wHour = 18;
    char clock[128] = "";
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, clock, sizeof clock);
    EXPECT_EQ(ShortDate(2019, 3, 14) + " " + clock, DateTimeToStr(43538.75));
}

TEST(SysUtilsDate, DaysThePlatformCannotShowAreEmptyText)
{
    EXPECT_EQ("", DateTimeToStr(-109206));
    EXPECT_EQ("", DateTimeToStr(4294967295.0));
    EXPECT_EQ("", DateTimeToStr(1e300));
}

}  // namespace

TEST(SysUtilsInteger, WholeTextsAreReadAsIntegers)
{
    int value = 0;
    EXPECT_TRUE(TryStrToInt("42", value));
    EXPECT_EQ(42, value);
    EXPECT_TRUE(TryStrToInt("-17", value));
    EXPECT_EQ(-17, value);
    EXPECT_TRUE(TryStrToInt("+5", value));
    EXPECT_EQ(5, value);
    EXPECT_TRUE(TryStrToInt("$1F", value));
    EXPECT_EQ(31, value);
    EXPECT_TRUE(TryStrToInt("0x10", value));
    EXPECT_EQ(16, value);
    EXPECT_TRUE(TryStrToInt("2147483647", value));
    EXPECT_EQ(2147483647, value);
    EXPECT_TRUE(TryStrToInt("-2147483648", value));
    EXPECT_EQ(-2147483647 - 1, value);
}

TEST(SysUtilsInteger, AnythingElseLeavesTheValueAlone)
{
    int value = 7;
    for (const char* text : {"", "-", "$", "0x", "1x", " 1", "1 ", "12a", "2147483648", "-2147483649",
                             "99999999999999999999"}) {
        EXPECT_FALSE(TryStrToInt(text, value)) << text;
        EXPECT_EQ(7, value) << text;
    }
}
