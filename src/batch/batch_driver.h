#pragma once

// A whole batch run as the user sees it: the report is prepared, the folder walked, and the
// result given three times over: in the report, in the output box and, when anything was
// inserted, in a message. A failure that escapes the walk still ends in an orderly summary.

#include "batch/folder_run.h"

namespace tagwright {

BatchCounts runBatch(const BatchJob& job, BatchHost& host, AnalysisHost& analysisHost, ReportLog& log,
                     FileSystem& fs);
BatchCounts runBatch(const BatchJob& job, BatchHost& host, AnalysisHost& analysisHost, ReportLog& log);

} // namespace tagwright
