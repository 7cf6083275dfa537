#pragma once

// The program texts (qova.dat) of the data folder, which the batch run's report lines use.

#include "cli/console.h"
#include "cli/option_parser.h"
#include "support/program_text.h"

#include <optional>

namespace tagwright::cli {

// Empty after a failure, whose message has been printed.
std::optional<ProgramTextStore> loadProgramTexts(const ParsedOptions& options,
                                                 const Console& console);

} // namespace tagwright::cli
