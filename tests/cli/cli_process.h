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
// read back). Unprivileged, a run as root becomes one as the user nobody, so that file
// permissions apply.
CliResult runCli(const std::vector<std::string>& args, const std::string& folder,
                 const std::string& stdoutPath = {}, bool unprivileged = false);

} // namespace tagwright::testing
