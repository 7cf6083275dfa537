#include "cli/console.h"
#include "cli/front_end.h"

#include "batch/temporary_files.h"
#include "support/termination_signals.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    tagwright::catchTerminationSignals(tagwright::removeTemporaryFilesAndEnd);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const tagwright::cli::Console console(std::cout, std::cerr);
    return tagwright::cli::runCommandLine(args, console);
}
