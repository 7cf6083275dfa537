#pragma once

// Runs the real tagwright-cli as a process in a temporary folder of its own.

#include <string>
#include <vector>

namespace tagwright::testing {

struct CliResult
{
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs tagwright-cli with the arguments in the folder given, with TAGWRIGHT_DATA_DIR pointing at
// the project's data folder.
CliResult runCli(const std::vector<std::string>& args, const std::string& folder);

} // namespace tagwright::testing
