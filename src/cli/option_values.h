#pragma once

// Reading option values into numbers and texts. A value that is out of range or not a number
// is a usage error naming the option; it is never replaced by a default.

#include "cli/option_parser.h"

#include <string>
#include <string_view>

namespace tagwright::cli {

// A whole number from minimum to maximum that is a multiple of step; fallback when absent.
int wholeNumberOption(const ParsedOptions& options, std::string_view name, int minimum, int maximum,
                      int fallback, int step = 1);

// A text value converted from UTF-8 to Windows-1252 (characters outside become "?").
std::string textOption(const ParsedOptions& options, std::string_view name);

} // namespace tagwright::cli
