#include "support/dates.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <optional>

namespace tagwright {

namespace {

bool isLeapYear(std::int32_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::int32_t daysInMonth(std::int32_t year, std::int32_t month)
{
    constexpr std::int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool yearInRange(std::int32_t year)
{
    return year >= kFirstYear && year <= kLastYear;
}

std::string twoDigits(std::int32_t number)
{
    std::string digits(number < 10 ? 1 : 0, '0');
    return digits.append(std::to_string(number));
}

// A run of digits of any length; values beyond what an int32 holds are capped, which every
// range check refuses.
std::optional<std::int32_t> number(std::string_view digits)
{
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const std::size_t significant = std::min(digits.find_first_not_of('0'), digits.size());
    digits.remove_prefix(significant);
    std::int32_t value = 0;
    if (digits.size() > 9)
        return INT32_MAX;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

} // namespace

std::int32_t gregorianToJdn(std::int32_t year, std::int32_t month, std::int32_t day)
{
    const std::int32_t a = (month - 14) / 12;
    return 1461 * (year + 4800 + a) / 4 + 367 * (month - 2 - 12 * a) / 12 -
           3 * ((year + 4900 + a) / 100) / 4 + day - 32075;
}

CalendarDate jdnToGregorian(std::int32_t jdn)
{
    std::int32_t l = jdn + 68569;
    const std::int32_t n = 4 * l / 146097;
    l -= (146097 * n + 3) / 4;
    const std::int32_t i = 4000 * (l + 1) / 1461001;
    l = l - 1461 * i / 4 + 31;
    const std::int32_t j = 80 * l / 2447;
    CalendarDate date;
    date.day = l - 2447 * j / 80;
    l = j / 11;
    date.month = j + 2 - 12 * l;
    date.year = 100 * (n - 49) + i + l;
    date.jdn = jdn;
    date.valid = yearInRange(date.year);
    return date;
}

std::int32_t dateToJdn(CalendarDate& date)
{
    date.valid = yearInRange(date.year) && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
                 date.day <= daysInMonth(date.year, date.month);
    date.jdn = date.valid ? gregorianToJdn(date.year, date.month, date.day) : 0;
    return date.jdn;
}

void jdnToDate(CalendarDate& date)
{
    const CalendarDate computed = jdnToGregorian(date.jdn);
    date.year = computed.year;
    date.month = computed.month;
    date.day = computed.day;
}

std::string formatDate(const CalendarDate& date)
{
    return std::to_string(date.year) + "-" + twoDigits(date.month) + "-" + twoDigits(date.day);
}

int parseDate(std::string_view text, CalendarDate& date)
{
    date.valid = false;
    const std::string kept = keepDateCharacters(text, '-');
    const auto dashes = std::count(kept.begin(), kept.end(), '-');
    const bool negative = !kept.empty() && kept.front() == '-';
    if (dashes != (negative ? 3 : 2))
        return 0;
    const std::string_view rest = std::string_view(kept).substr(negative ? 1 : 0);
    const std::size_t first = rest.find('-');
    const std::size_t second = rest.find('-', first + 1);
    const auto year = number(rest.substr(0, first));
    const auto month = number(rest.substr(first + 1, second - first - 1));
    const auto day = number(rest.substr(second + 1));
    if (!year || !month || !day)
        return 0;
    CalendarDate read;
    read.year = negative ? -*year : *year;
    read.month = *month;
    read.day = *day;
    if (!yearInRange(read.year))
        return -1;
    dateToJdn(read);
    if (!read.valid)
        return 0;
    date = read;
    return 1;
}

std::string keepDateCharacters(std::string_view text, char separator)
{
    std::string kept;
    std::copy_if(text.begin(), text.end(), std::back_inserter(kept),
                 [&](char c) { return (c >= '0' && c <= '9') || c == '-' || c == separator; });
    return kept;
}

CalendarDate SystemClock::today() const
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    CalendarDate date;
    date.year = local.tm_year + 1900;
    date.month = local.tm_mon + 1;
    date.day = local.tm_mday;
    dateToJdn(date);
    return date;
}

std::int32_t todayJdn(const Clock& clock)
{
    const CalendarDate today = clock.today();
    return gregorianToJdn(today.year, today.month, today.day);
}

} // namespace tagwright
