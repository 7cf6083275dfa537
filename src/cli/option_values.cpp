#include "cli/option_values.h"

#include "cli/usage_error.h"
#include "support/cp1252.h"

#include <charconv>

namespace tagwright::cli {

namespace {

std::string rangeText(int minimum, int maximum, int step)
{
    if (step == 1)
        return "a whole number from " + std::to_string(minimum) + " to " + std::to_string(maximum);
    return "one of " + std::to_string(minimum) + ", " + std::to_string(minimum + step) + ", ..., " +
           std::to_string(maximum);
}

} // namespace

int wholeNumberOption(const ParsedOptions& options, std::string_view name, int minimum, int maximum,
                      int fallback, int step)
{
    const auto text = options.value(name);
    if (!text)
        return fallback;
    int number = 0;
    const char* end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, number);
    if (text->empty() || error != std::errc() || stop != end || number < minimum ||
        number > maximum || (number - minimum) % step != 0)
        throw UsageError("--" + std::string(name) + " must be " +
                         rangeText(minimum, maximum, step) + ", not '" + *text + "'");
    return number;
}

std::string textOption(const ParsedOptions& options, std::string_view name)
{
    return utf8ToCp1252(options.value(name).value_or(""));
}

} // namespace tagwright::cli
