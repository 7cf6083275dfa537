#include "cli/dry_run.h"

#include "cli/unified_diff.h"
#include "cli/usage_error.h"

#include <fstream>
#include <iterator>

namespace tagwright::cli {

namespace {

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

std::vector<OptionSpec> dryRunOptions()
{
    return {{"dry-run", "", "do everything but write: no file is created, changed or removed"},
            {"diff", "", "with --dry-run: print the change of each page as a unified diff"}};
}

DryRunChoice dryRunChoiceFrom(const ParsedOptions& options)
{
    const DryRunChoice choice{options.has("dry-run"), options.has("diff")};
    if (choice.diff && !choice.dryRun)
        throw UsageError("--diff goes with --dry-run");
    return choice;
}

RunFileSystem::RunFileSystem(const DryRunChoice& choice, const Console& console,
                             std::function<std::string()> pageName)
{
    if (!choice.dryRun)
        return;
    dryRun_.emplace([&console, choice, pageName = std::move(pageName)](const std::string& target,
                                                                       const std::string& content) {
        if (choice.diff)
            console.printBytes(unifiedDiff(fileBytes(target), content, pageName()));
    });
}

} // namespace tagwright::cli
