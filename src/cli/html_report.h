#pragma once

// --report-html FILE of batch and check: the site report, one web page, written when the run
// is over to a destination checked before the run, as --report's is.

#include "batch/folder_run.h"
#include "batch/site_report.h"
#include "cli/console.h"
#include "cli/option_parser.h"
#include "cli/report_destination.h"

#include <memory>
#include <string>

namespace tagwright::cli {

OptionSpec htmlReportOption();

// The destination of --report-html; none without the option. Throws ReportRefused when the
// report cannot go there and UsageError when it is standard output, which the run's own
// output takes, or the file that --report names.
std::unique_ptr<ReportDestination> htmlReportDestination(const ParsedOptions& options,
                                                         const PageScope& pages);

// Writes the report; false, after saying why on stderr, when it could not be written.
bool writeHtmlReport(ReportDestination& destination, const SiteReport& report,
                     const ParsedOptions& options, const Console& console);

} // namespace tagwright::cli
