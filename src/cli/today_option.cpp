#include "cli/today_option.h"

#include "cli/usage_error.h"
#include "support/dates.h"

namespace tagwright::cli {

OptionSpec todayOption()
{
    return {"today", "YYYY-MM-DD", "the date of the done marker and of \"done recently\" (default: the local date)"};
}

std::int32_t todayJdnFrom(const ParsedOptions& options)
{
    const auto text = options.value("today");
    if (!text)
        return todayJdn(SystemClock());
    CalendarDate date;
    if (parseDate(*text, date) != 1)
        throw UsageError("--today: '" + *text + "' is not a date of the form YYYY-MM-DD");
    return date.jdn;
}

} // namespace tagwright::cli
