#pragma once

// The tag options of the commands that compose a keywords meta tag.

#include "cli/option_parser.h"
#include "output/tag_settings.h"

namespace tagwright::cli {

OptionGroup tagOptionGroup();

// Throws UsageError for a value out of range.
TagSettings tagSettingsFrom(const ParsedOptions& options);

} // namespace tagwright::cli
