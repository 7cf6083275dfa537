#pragma once

#include "cli/command.h"

#include <memory>
#include <vector>

namespace tagwright::cli {

// Every command, in the order that --help lists them.
std::vector<std::unique_ptr<Command>> allCommands();

} // namespace tagwright::cli
