#pragma once

#include "cli/console.h"

#include <string>
#include <vector>

namespace tagwright::cli {

// Runs tagwright-cli with its arguments (without the program name); returns the exit status.
int runCommandLine(const std::vector<std::string>& args, const Console& console);

} // namespace tagwright::cli
