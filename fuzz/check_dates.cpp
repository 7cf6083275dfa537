// The date reader and the Julian day arithmetic: whatever text a done marker carries, a date
// that is read back is a real date whose text and day number agree both ways.

#include "fuzz_checks.h"
#include "input_bytes.h"

#include "support/dates.h"

namespace tagwright::fuzz {

namespace {

std::string checkReadDate(std::string_view text)
{
    CalendarDate date;
    const int read = parseDate(text, date);
    if (read != 1)
        return read == 0 || read == -1 ? std::string() : "parseDate returned " + std::to_string(read);
    if (!date.valid || date.year < kFirstYear || date.year > kLastYear)
        return "parseDate accepted an invalid date";
    const CalendarDate back = jdnToGregorian(date.jdn);
    if (back.year != date.year || back.month != date.month || back.day != date.day)
        return "day number " + std::to_string(date.jdn) + " is not the date read";
    CalendarDate again;
    if (parseDate(formatDate(date), again) != 1 || again.jdn != date.jdn)
        return "the text of a date read does not read back: " + formatDate(date);
    return {};
}

std::string checkDayNumber(InputBytes& bytes)
{
    const std::int32_t first = gregorianToJdn(kFirstYear, 1, 1);
    const std::int32_t last = gregorianToJdn(kLastYear, 12, 31);
    std::uint32_t drawn = 0;
    for (int i = 0; i < 4; ++i)
        drawn = drawn << 8 | bytes.byte();
    const std::int32_t jdn = first + static_cast<std::int32_t>(drawn % static_cast<std::uint32_t>(last - first + 1));
    CalendarDate date = jdnToGregorian(jdn);
    if (!date.valid)
        return "day number " + std::to_string(jdn) + " in range gives no valid date";
    if (dateToJdn(date) != jdn)
        return "day number " + std::to_string(jdn) + " does not survive the round trip";
    return {};
}

} // namespace

std::string checkDates(std::string_view input)
{
    InputBytes bytes(input);
    if (std::string broken = checkDayNumber(bytes); !broken.empty())
        return broken;
    return checkReadDate(bytes.rest());
}

} // namespace tagwright::fuzz
