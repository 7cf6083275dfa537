#include "cli/walk_run.h"

#include "batch/batch_driver.h"
#include "batch/dry_run_file_system.h"
#include "cli/walk_options.h"

#include <filesystem>
#include <system_error>

namespace tagwright::cli {

namespace {

// A page reached through a link is rewritten at the link's target, and patch writes through no
// link, so a diff names that target as the walk names its pages. Links out of the walked folder
// are passed over by the run; a target outside it keeps the link's name.
std::string diffNameOf(const std::string& folder, const std::string& page,
                       const std::string& target)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_symlink(page, error))
        return page;
    const fs::path root = fs::canonical(folder, error);
    if (error)
        return page;
    const fs::path below = fs::path(target).lexically_relative(root);
    if (below.empty() || *below.begin() == "..")
        return page;
    return (fs::path(folder) / below).generic_string();
}

} // namespace

BatchCounts runWalk(const BatchJob& job, const PageChange& onChange, ReportLog& log,
                    const CliBatchHost::PageNotice& onFinished,
                    DryRunFileSystem::Permissions permissions)
{
    const PageScope scope = pageScopeOf(job.folder, job.settings);
    ProgressLine progress(pagesToWalk(job.folder, scope.recursive, scope.extensions));
    CliBatchHost host(progress, onFinished);
    SilentAnalysisHost analysisHost;
    if (!onChange)
        return runBatch(job, host, analysisHost, log);
    DryRunFileSystem dryRun(
        [&](const std::string& target, const std::string& content) {
            onChange(diffNameOf(job.folder, host.page(), target), target, content);
        },
        permissions);
    return runBatch(job, host, analysisHost, log, dryRun);
}

} // namespace tagwright::cli
