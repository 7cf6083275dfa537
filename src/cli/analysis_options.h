#pragma once

// The analysis options that every analysing command accepts.

#include "cli/option_parser.h"
#include "engine/analysis_settings.h"

namespace tagwright::cli {

OptionGroup analysisOptionGroup();

// The settings of a run without a person: the defaults of the system, changed by the options.
// Throws UsageError for a value out of range.
AnalysisSettings analysisSettingsFrom(const ParsedOptions& options);

} // namespace tagwright::cli
