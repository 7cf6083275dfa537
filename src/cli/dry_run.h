#pragma once

// --dry-run and --diff of insert and batch: the run goes through the real rewrite with the
// writing left out (DryRunFileSystem), and --diff prints each page's change on stdout.

#include "batch/dry_run_file_system.h"
#include "cli/console.h"
#include "cli/option_parser.h"

#include <functional>
#include <optional>
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

// The file operations of a run: the real ones, or a dry run's.
class RunFileSystem
{
  public:
    // pageName gives the name of the page being rewritten, as the run names it, for the diff.
    RunFileSystem(const DryRunChoice& choice, const Console& console,
                  std::function<std::string()> pageName);

    FileSystem& get() { return dryRun_ ? static_cast<FileSystem&>(*dryRun_) : real_; }

  private:
    FileSystem real_;
    std::optional<DryRunFileSystem> dryRun_;
};

} // namespace tagwright::cli
