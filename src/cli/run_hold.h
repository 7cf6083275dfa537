#pragma once

// A writing run's hold on its folder from the command line (batch, restore): it waits for
// another run over the same tree, saying so on stderr, or with --no-wait gives up at once.

#include "batch/run_lock.h"
#include "cli/console.h"
#include "cli/option_parser.h"

#include <memory>
#include <string>

namespace tagwright::cli {

OptionSpec noWaitOption();

// The run's lock on folder, held while it lives; none, with the message printed, when another
// run holds the tree and --no-wait was given.
std::unique_ptr<RunLock> holdRunFolder(const std::string& folder, const ParsedOptions& options,
                                       const Console& console);

} // namespace tagwright::cli
