#include "cli/html_report.h"

#include "cli/usage_error.h"

namespace tagwright::cli {

namespace {

constexpr const char* kOption = "report-html";

} // namespace

OptionSpec htmlReportOption()
{
    return {kOption, "FILE",
            "also write the report as one web page to FILE: counts, failures, a chart of the "
            "keywords in the most tags and every page with its old and new tag"};
}

std::unique_ptr<ReportDestination> htmlReportDestination(const ParsedOptions& options,
                                                         const PageScope& pages)
{
    const std::optional<std::string> path = options.value(kOption);
    if (!path)
        return nullptr;
    if (options.value("report") == path)
        throw UsageError("--report and --report-html name the same file: give each its own");
    auto destination = std::make_unique<ReportDestination>(*path, pages, "--report-html");
    if (destination->isStandardOutput())
        throw UsageError("--report-html cannot go to standard output, which the run's own output "
                         "takes: name a file");
    return destination;
}

bool writeHtmlReport(ReportDestination& destination, const SiteReport& report,
                     const ParsedOptions& options, const Console& console)
{
    const std::string failure = destination.write(
        [&](PageWriter& writer) { report.write(writer, destination.linkBase()); });
    if (failure.empty())
        return true;
    console.printFileMessage(*options.value(kOption), "The web page report could not be written",
                             failure);
    return false;
}

} // namespace tagwright::cli
