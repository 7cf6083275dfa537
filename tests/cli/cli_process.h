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
// the project's data folder. Its stdout goes to stdoutPath when one is given (and is then not
// read back).
CliResult runCli(const std::vector<std::string>& args, const std::string& folder,
                 const std::string& stdoutPath = {});

} // namespace tagwright::testing
