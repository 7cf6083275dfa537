#pragma once

// --dry-run and --diff of insert and batch: the run goes through the real rewrite with the
// writing left out (DryRunFileSystem), and --diff prints each page's change on stdout.

#include "cli/console.h"
#include "cli/option_parser.h"

#include <string>
#include <vector>

namespace tagwright::cli {

std::vector<OptionSpec> dryRunOptions();

struct DryRunChoice
{
    bool dryRun = false;
    bool diff = false;
};

// Throws UsageError for --diff without --dry-run.
DryRunChoice dryRunChoiceFrom(const ParsedOptions& options);

// The diff of the file target against content, headed with page, the name the run gives it.
void printDiff(const Console& console, const std::string& page, const std::string& target,
               const std::string& content);

} // namespace tagwright::cli
