#include "cli/walk_run.h"

#include "batch/batch_driver.h"
#include "batch/dry_run_file_system.h"
#include "cli/walk_options.h"

namespace tagwright::cli {

BatchCounts runWalk(const BatchJob& job, const PageChange& onChange, ReportLog& log,
                    const CliBatchHost::PageNotice& onFinished)
{
    const PageScope scope = pageScopeOf(job.folder, job.settings);
    ProgressLine progress(pagesToWalk(job.folder, scope.recursive, scope.extensions));
    CliBatchHost host(progress, onFinished);
    SilentAnalysisHost analysisHost;
    if (!onChange)
        return runBatch(job, host, analysisHost, log);
    DryRunFileSystem dryRun([&](const std::string& target, const std::string& content) {
        onChange(host.page(), target, content);
    });
    return runBatch(job, host, analysisHost, log, dryRun);
}

} // namespace tagwright::cli
