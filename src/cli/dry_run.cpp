#include "cli/dry_run.h"

#include "cli/unified_diff.h"
#include "cli/usage_error.h"

#include <sys/stat.h>

#include <ctime>
#include <fstream>
#include <iterator>

namespace tagwright::cli {

std::vector<OptionSpec> dryRunOptions()
{
    return {{"dry-run", "", "do everything but write: no page is created, changed or removed"},
            {"diff", "", "with --dry-run: print each change as a unified diff (for patch -p1)"}};
}

DryRunChoice dryRunChoiceFrom(const ParsedOptions& options)
{
    const DryRunChoice choice{options.has("dry-run"), options.has("diff")};
    if (choice.diff && !choice.dryRun)
        throw UsageError("--diff goes with --dry-run");
    return choice;
}

void printDiff(const Console& console, const std::string& page, const std::string& target,
               const std::string& content)
{
    std::ifstream in(target, std::ios::binary);
    const std::string old{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // The new side's time is the moment the page would be written.
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    struct stat status
    {
    };
    const timespec modified = ::stat(target.c_str(), &status) == 0 ? status.st_mtim : now;
    console.printBytes(unifiedDiff(old, content, page, modified, now));
}

} // namespace tagwright::cli
