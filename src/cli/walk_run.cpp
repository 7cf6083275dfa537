#include "cli/walk_run.h"

#include "batch/batch_driver.h"
#include "batch/dry_run_file_system.h"
#include "cli/walk_options.h"

namespace tagwright::cli {

BatchCounts runWalk(const BatchJob& job, const PageChange& onChange, ReportLog& log,
                    const CliBatchHost::PageNotice& onFinished,
                    DryRunFileSystem::Permissions permissions)
{
    const PageScope scope = pageScopeOf(job.folder, job.settings);
    ProgressLine progress(pagesToWalk(job.folder, scope));
    CliBatchHost host(progress, onFinished);
    SilentAnalysisHost analysisHost;
    if (!onChange)
        return runBatch(job, host, analysisHost, log);
    // A page reached through a link is rewritten at the link's target, which the run names as
    // the walk names its pages (patch writes through no link): the diff names that target.
    DryRunFileSystem dryRun(
        [&](const std::string& target, const std::string& content) {
            onChange(target, target, content);
        },
        permissions);
    return runBatch(job, host, analysisHost, log, dryRun);
}

} // namespace tagwright::cli
