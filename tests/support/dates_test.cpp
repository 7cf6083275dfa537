#include "support/dates.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

namespace tagwright {
namespace {

using namespace std::chrono;

constexpr std::int32_t kJdnOfUnixEpoch = 2440588; // 1 January 1970

CalendarDate dateOf(std::int32_t year, std::int32_t month, std::int32_t day)
{
    CalendarDate date;
    date.year = year;
    date.month = month;
    date.day = day;
    return date;
}

TEST(Dates, KnownDays)
{
    EXPECT_EQ(gregorianToJdn(2000, 1, 1), 2451545);
    EXPECT_EQ(gregorianToJdn(2024, 3, 5), 2460375);
    EXPECT_EQ(gregorianToJdn(1970, 1, 1), kJdnOfUnixEpoch);
    EXPECT_EQ(gregorianToJdn(2024, 3, 1) - gregorianToJdn(2024, 2, 28), 2);
    EXPECT_EQ(gregorianToJdn(2023, 3, 1) - gregorianToJdn(2023, 2, 28), 1);
    EXPECT_EQ(gregorianToJdn(2100, 3, 1) - gregorianToJdn(2100, 2, 28), 1);
    EXPECT_EQ(gregorianToJdn(2000, 3, 1) - gregorianToJdn(2000, 2, 28), 2);
}

TEST(Dates, EveryDayOfTheRangeAgreesWithTheStandardCalendar)
{
    const sys_days first = year_month_day{year{kFirstYear}, January, day{1}};
    const sys_days last = year_month_day{year{kLastYear}, December, day{31}};
    for (sys_days d = first; d <= last; d += days{1}) {
        const year_month_day ymd{d};
        const auto jdn = static_cast<std::int32_t>(d.time_since_epoch().count()) + kJdnOfUnixEpoch;
        const auto y = static_cast<std::int32_t>(int(ymd.year()));
        const auto m = static_cast<std::int32_t>(unsigned(ymd.month()));
        const auto dd = static_cast<std::int32_t>(unsigned(ymd.day()));
        ASSERT_EQ(gregorianToJdn(y, m, dd), jdn) << y << "-" << m << "-" << dd;
        const CalendarDate back = jdnToGregorian(jdn);
        ASSERT_EQ(back, (CalendarDate{y, m, dd, jdn, true})) << jdn;
    }
}

TEST(Dates, DateToJdnChecksTheDate)
{
    CalendarDate date = dateOf(2024, 2, 29);
    EXPECT_EQ(dateToJdn(date), 2460370);
    EXPECT_TRUE(date.valid);
    date = dateOf(2023, 2, 29);
    EXPECT_EQ(dateToJdn(date), 0);
    EXPECT_FALSE(date.valid);
    for (const CalendarDate bad : {dateOf(2024, 13, 1), dateOf(2024, 0, 1), dateOf(2024, 4, 31),
                                   dateOf(2024, 1, 0), dateOf(10000, 1, 1)}) {
        CalendarDate copy = bad;
        dateToJdn(copy);
        EXPECT_FALSE(copy.valid) << formatDate(bad);
    }
    CalendarDate fromJdn;
    fromJdn.jdn = 2451545;
    jdnToDate(fromJdn);
    EXPECT_EQ(formatDate(fromJdn), "2000-01-01");
}

TEST(Dates, FormatDate)
{
    EXPECT_EQ(formatDate(dateOf(2024, 3, 5)), "2024-03-05");
    EXPECT_EQ(formatDate(dateOf(1999, 12, 31)), "1999-12-31");
    EXPECT_EQ(formatDate(dateOf(812, 1, 28)), "812-01-28");
    EXPECT_EQ(formatDate(dateOf(-44, 3, 15)), "-44-03-15");
}

TEST(Dates, ParseDate)
{
    CalendarDate date;
    EXPECT_EQ(parseDate("2024-03-05\">", date), 1);
    EXPECT_EQ(date, (CalendarDate{2024, 3, 5, 2460375, true}));
    EXPECT_EQ(parseDate(" 0002024-3-5 ", date), 1);
    EXPECT_EQ(formatDate(date), "2024-03-05");
    EXPECT_EQ(parseDate("-44-03-15", date), 1);
    EXPECT_EQ(date.year, -44);
    EXPECT_EQ(formatDate(date), "-44-03-15");
}

TEST(Dates, ParseDateRefusals)
{
    CalendarDate date = dateOf(2020, 1, 1);
    dateToJdn(date);
    const CalendarDate before = date;
    for (const char* text :
         {"2024-03", "20240305", "2024/03/05", "2024--03-05", "-2024-03", "2024-03-05-",
          "2024-02-30", "2024-13-01", "2024-03-", "-03-05", "", "2024-99999999999999999999-01"}) {
        EXPECT_EQ(parseDate(text, date), 0) << text;
        EXPECT_FALSE(date.valid);
        date.valid = true;
        EXPECT_EQ(date, before);
    }
    EXPECT_EQ(parseDate("10000-01-01", date), -1);
    EXPECT_EQ(parseDate("-4701-12-31", date), -1);
    EXPECT_EQ(parseDate("99999999999999999999-01-01", date), -1);
    EXPECT_FALSE(date.valid);
}

TEST(Dates, KeepDateCharacters)
{
    EXPECT_EQ(keepDateCharacters("content=\"2024-03-05\">", '-'), "2024-03-05");
    EXPECT_EQ(keepDateCharacters("5.3.2024 x", '.'), "5.3.2024");
    EXPECT_EQ(keepDateCharacters("-1 / +2", '/'), "-1/2");
}

TEST(Dates, Today)
{
    EXPECT_EQ(todayJdn(FixedClock(dateOf(2024, 3, 5))), 2460375);
    // The local date is within a day of the universal one.
    const CalendarDate local = SystemClock().today();
    EXPECT_TRUE(local.valid);
    const auto utcJdn = static_cast<std::int32_t>(
        floor<days>(system_clock::now()).time_since_epoch().count() + kJdnOfUnixEpoch);
    EXPECT_LE(std::abs(todayJdn(SystemClock()) - utcJdn), 1);
}

} // namespace
} // namespace tagwright
