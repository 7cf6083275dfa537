#include "cli/today_option.h"

#include "cli/usage_error.h"
#include "support/dates.h"

namespace tagwright::cli {

OptionSpec todayOption(const std::string& meaning)
{
    return {"today", "YYYY-MM-DD", meaning + " (default: the local date)"};
}

std::int32_t todayJdnFrom(const ParsedOptions& options)
{
    const auto text = options.value("today");
    if (!text)
        return todayJdn(SystemClock());
    CalendarDate date;
    // The marker's date is written as four digits of year: years 1 to 9999 only.
    if (parseDate(*text, date) != 1 || date.year < 1 || date.year > 9999)
        throw UsageError("--today: '" + *text +
                         "' is not a date of the form YYYY-MM-DD with a year from 1 to 9999");
    return date.jdn;
}

} // namespace tagwright::cli
