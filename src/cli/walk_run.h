#pragma once

// A batch run from the command line: no person, a progress line on a terminal, and for a dry
// run the change of each page handed to the caller instead of written.

#include "batch/dry_run_file_system.h"
#include "batch/folder_run.h"
#include "cli/cli_batch_host.h"

#include <functional>
#include <string>

namespace tagwright::cli {

// page: the page as the run names it; target: the file that would be replaced.
using PageChange = std::function<void(const std::string& page, const std::string& target,
                                      const std::string& content)>;

// A dry run when onChange is given, with the permissions it heeds; a real one otherwise.
// onFinished hears how the run finished with each page.
BatchCounts
runWalk(const BatchJob& job, const PageChange& onChange, ReportLog& log,
        const CliBatchHost::PageNotice& onFinished = {},
        DryRunFileSystem::Permissions permissions = DryRunFileSystem::Permissions::AsTheRun);

} // namespace tagwright::cli
