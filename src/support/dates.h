#pragma once

// Gregorian dates and Julian day numbers (1 January 2000 is day 2451545), the year-month-day
// text of the done marker, and today's date from a clock that tests and the command line can fix.

#include <cstdint>
#include <string>
#include <string_view>

namespace tagwright {

struct CalendarDate
{
    std::int32_t year = 0; // may be negative (astronomical numbering, 0 is 1 BC)
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t jdn = 0;
    bool valid = false;

    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

// The years the calendar routines accept: far enough back for any date a page may carry, and
// at most four digits, so that a date text never needs a thousands separator.
constexpr std::int32_t kFirstYear = -4700;
constexpr std::int32_t kLastYear = 9999;

// The Fliegel-Van Flandern formula, every division truncating toward zero.
std::int32_t gregorianToJdn(std::int32_t year, std::int32_t month, std::int32_t day);

// Its inverse: the Gregorian date of a Julian day number (jdn set, valid when year in range).
CalendarDate jdnToGregorian(std::int32_t jdn);

// Sets the record's Julian day number and valid flag from its year, month and day, and returns
// the number; 0 and not valid when the date does not exist or its year is out of range.
std::int32_t dateToJdn(CalendarDate& date);

// Sets the record's year, month and day from its Julian day number.
void jdnToDate(CalendarDate& date);

// Year, "-", two-digit month, "-", two-digit day: 2024-03-05.
std::string formatDate(const CalendarDate& date);

// Reads a year-month-day text with "-" between the numbers, after dropping every other
// character (a leading "-" makes the year negative). 1 when read: the record then holds the date
// and its Julian day number, and is valid; 0 when the text is no date; -1 when the year is out
// of range.
int parseDate(std::string_view text, CalendarDate& date);

// The text without every character that is neither a digit, nor "-", nor the separator.
std::string keepDateCharacters(std::string_view text, char separator);

// Where "today" comes from.
class Clock
{
  public:
    virtual ~Clock() = default;
    // Today's local date (year, month, day).
    virtual CalendarDate today() const = 0;
};

// The platform's local date.
class SystemClock final : public Clock
{
  public:
    CalendarDate today() const override;
};

// A clock that stays on one date.
class FixedClock final : public Clock
{
  public:
    explicit FixedClock(const CalendarDate& date) : date_(date) {}
    CalendarDate today() const override { return date_; }

  private:
    CalendarDate date_;
};

std::int32_t todayJdn(const Clock& clock);

} // namespace tagwright
