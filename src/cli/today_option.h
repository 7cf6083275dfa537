#pragma once

// --today D: the date that the done marker carries and that "done recently" is measured from.

#include "cli/option_parser.h"

#include <cstdint>
#include <string>

namespace tagwright::cli {

// --today, whose help says what the date is for in the command's own words.
OptionSpec todayOption(const std::string& meaning);

// The Julian day number of --today, or of the system's local date when it is absent. Throws
// UsageError for a text that is no date.
std::int32_t todayJdnFrom(const ParsedOptions& options);

} // namespace tagwright::cli
