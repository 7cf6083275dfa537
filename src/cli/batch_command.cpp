#include "cli/analysis_options.h"
#include "cli/command.h"
#include "cli/dry_run.h"
#include "cli/file_analysis.h"
#include "cli/html_report.h"
#include "cli/json_output.h"
#include "cli/option_values.h"
#include "cli/report_destination.h"
#include "cli/run_hold.h"
#include "cli/site_words_option.h"
#include "cli/tag_options.h"
#include "cli/today_option.h"
#include "cli/usage_error.h"
#include "cli/walk_command.h"
#include "cli/walk_options.h"
#include "cli/walk_run.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

namespace tagwright::cli {

namespace {

// The parameters of a run without a person: no inspect window, operations logged.
BatchSettings batchSettingsFrom(const ParsedOptions& options)
{
    BatchSettings settings;
    settings.confirm = false;
    readWalkingOptions(options, settings);
    settings.backup = options.has("backup");
    settings.addDone = !options.has("no-done");
    if (options.has("skip-done")) {
        settings.skipDone = true;
        settings.lessThanNDaysOld = wholeNumberOption(options, "skip-done", 1, 7, 1) - 1;
    }
    settings.dontLogDone = options.has("dont-log-done");
    if (options.has("log-old") && options.has("no-log-new"))
        throw UsageError("--log-old needs the new tag logged too; it cannot go with --no-log-new");
    settings.includeOldMetaTag = options.has("log-old");
    settings.includeNewMetaTag = !options.has("no-log-new");
    settings.siteWords = siteWordsFrom(options);
    return settings;
}

// What --format json prints for each page: the report's lines about it, taken from the report
// as the log hands them out.
class PageRecords
{
  public:
    void takeLines(std::string_view lines) { unattributed_.append(lines); }

    void add(const PageRecord& page, const ReportLog& log)
    {
        // The report since the last page: the lines handed out since, then the line being
        // written (whose end comes with the next lines).
        const std::string text = unattributed_ + log.text();
        const std::string lines =
            plainText(text.substr(std::min(reported_ - unattributedStart_, text.size())));
        reported_ = log.handedOut() + log.text().size();
        unattributed_.clear();
        unattributedStart_ = log.handedOut();
        std::string report;
        for (std::size_t at = 0; at < lines.size();) {
            const std::size_t end = std::min(lines.find('\n', at), lines.size());
            const std::string line = lines.substr(at, end - at);
            if (!line.empty() && !line.starts_with("Folder: ") &&
                !line.starts_with(kSiteWordsLineStart))
                report += (report.empty() ? "" : "\n") + line;
            at = end + 1;
        }
        nlohmann::json record = {{"type", "page"},
                                 {"page", fileNameJson(page.page)},
                                 {"result", resultName(page.result)},
                                 {"oldTag", tagJson(page.oldTag)},
                                 {"newTag", tagJson(page.newTag)},
                                 {"report", report}};
        if (page.result == PageResult::PassedOver)
            record["reason"] = page.reason;
        pages_.push_back({page.page, std::move(record)});
    }

    void print(const BatchCounts& counts, bool dryRun, const Console& console)
    {
        if (counts.siteWords)
            printJsonLine(console, siteWordsJson(*counts.siteWords));
        // Each failure goes with its page; one that no page stands for (a folder) on its own.
        std::vector<bool> told(counts.failures.size(), false);
        for (auto& [page, record] : pages_) {
            for (std::size_t i = 0; record["result"] == "failed" && i < told.size(); ++i)
                if (!told[i] && counts.failures[i].path == page) {
                    record["cause"] = counts.failures[i].cause;
                    told[i] = true;
                    break;
                }
            printJsonLine(console, record);
        }
        for (std::size_t i = 0; i < told.size(); ++i)
            if (!told[i])
                printJsonLine(console, {{"type", "failure"},
                                        {"path", fileNameJson(counts.failures[i].path)},
                                        {"cause", counts.failures[i].cause}});
        printJsonLine(console, {{"type", "summary"},
                                {"examined", counts.filesExamined},
                                {"inserted", counts.filesInserted},
                                {"folders", counts.foldersWalked},
                                {"failed", counts.failures.size()},
                                {"dryRun", dryRun}});
    }

  private:
    std::string unattributed_;          // the lines handed out from unattributedStart_ on
    std::size_t unattributedStart_ = 0; // positions count from the start of the report
    std::size_t reported_ = 0;
    std::vector<std::pair<std::string, nlohmann::json>> pages_; // each page with its record
};

// Each page that could not be written, with its cause, and the counts: on stderr, whatever
// the report holds.
void printOutcome(const BatchCounts& counts, bool dryRun, const Console& console)
{
    for (const PageFailure& failure : counts.failures)
        console.printFileMessage(failure.path, failure.cause);
    std::string summary = "Keywords meta tag inserted in " + std::to_string(counts.filesInserted) +
                          " of " + std::to_string(counts.filesExamined) + " files.";
    if (!counts.failures.empty())
        summary.append(" ")
            .append(std::to_string(counts.failures.size()))
            .append(" could not be written.");
    if (dryRun)
        summary += " Dry run: no file was written.";
    console.printNote(summary);
}

class BatchCommand : public WalkCommand
{
  public:
    std::string_view name() const override { return "batch"; }
    std::string_view summary() const override
    {
        return "Insert a keywords meta tag into every page of a folder and print the report";
    }
    std::vector<OptionGroup> optionGroups() const override
    {
        OptionGroup batch = walkingOptionGroup("Batch options");
        batch.options.insert(
            batch.options.end(),
            {{"backup", "", "keep each previous page as NAME.bak.EXT"},
             {"no-done", "", "write no done marker with each tag"},
             {"skip-done", "DAYS",
              "skip pages whose done marker is less than DAYS (1..7) days old"},
             {"dont-log-done", "", "leave pages skipped as done out of the report"},
             {"log-old", "", "report each replaced keywords tag"},
             {"no-log-new", "", "do not report the new tags"},
             {"report", "FILE", "also save the report to FILE ('-' for standard output)"},
             htmlReportOption(),
             todayOption("the date of the done markers written, and the day from which "
                         "--skip-done counts"),
             {"quiet", "", "print no report on stdout"},
             siteWordsOption(),
             {"jobs", "N",
              "analyse pages on N threads (1..64; default: the number of cores; 1: one page "
              "after the other)"},
             noWaitOption()});
        const std::vector<OptionSpec> dryRun = dryRunOptions();
        batch.options.insert(batch.options.end(), dryRun.begin(), dryRun.end());
        return {batch, analysisOptionGroup(), tagOptionGroup(), outputOptionGroup()};
    }

  protected:
    WalkPlan plan(const ParsedOptions& options, const Console& console) const override
    {
        WalkPlan walkPlan;
        walkPlan.settings = batchSettingsFrom(options);
        BatchValues values{tagSettingsFrom(options), analysisSettingsFrom(options),
                           todayJdnFrom(options), dryRunChoiceFrom(options),
                           jsonFormatFrom(options)};
        values.analysis.singleFile = false;
        // With --diff, stdout carries the diff alone, ready for patch.
        if (values.json && values.dryRun.diff)
            throw UsageError("--diff and --format json both want stdout: choose one");
        values.quiet = options.has("quiet") || values.dryRun.diff || values.json;
        // A dry run writes nothing, so it neither waits for another run nor keeps one waiting.
        walkPlan.writes = !values.dryRun.dryRun;
        walkPlan.programTexts = true;
        walkPlan.walk = [&options, &console, values](WalkStart& start) {
            return walk(options, console, start, values);
        };
        return walkPlan;
    }

  private:
    // The command's own values, read before the prelude.
    struct BatchValues
    {
        TagSettings tag;
        AnalysisSettings analysis;
        std::int32_t today = 0;
        DryRunChoice dryRun;
        bool json = false;
        bool quiet = false;
    };

    static int walk(const ParsedOptions& options, const Console& console, WalkStart& start,
                    const BatchValues& values)
    {
        const DryRunChoice& dryRun = values.dryRun;
        const bool json = values.json;
        const ProgramTextStore& texts = *start.texts;
        std::optional<ReportDestination>& report = start.report;
        const CommonWords commonWords = chosenCommonWords(options, values.analysis, console);

        BatchJob job{start.folder, start.settings, values.analysis, values.tag,
                     commonWords,  texts,          values.today};
        job.jobs =
            static_cast<unsigned>(wholeNumberOption(options, "jobs", 1, static_cast<int>(kMostJobs),
                                                    static_cast<int>(defaultJobs())));
        job.runLock = start.runLock.get();
        PageRecords records;
        std::optional<SiteReport> siteReport;
        if (start.htmlReport)
            siteReport.emplace(reportedRun(job, false, dryRun.dryRun));
        // The report as the run writes it; sent to stdout itself, it is printed there once.
        const bool printed = !values.quiet && !(report && report->isStandardOutput());
        ReportLog log([&](std::string_view lines) {
            if (printed)
                console.printBytes(terminalText(lines));
            if (report)
                report->append(terminalText(lines));
            if (json)
                records.takeLines(lines);
        });
        PageChange showChange;
        if (dryRun.dryRun)
            showChange = [&](const std::string& page, const std::string& target,
                             const std::string& content) {
                if (dryRun.diff)
                    printDiff(console, page, target, content);
            };
        const BatchCounts counts =
            runWalk(job, showChange, log, [&](const PageRecord& page) {
                if (json)
                    records.add(page, log);
                if (siteReport)
                    siteReport->add(page);
            });
        if (json)
            records.print(counts, dryRun.dryRun, console);

        int status = counts.failures.empty() ? kExitSuccess : kExitFailure;
        if (siteReport) {
            siteReport->setCounts(counts);
            if (!writeHtmlReport(*start.htmlReport, *siteReport, options, console))
                status = kExitFailure;
        }
        if (report) {
            if (const std::string failure = report->finish(); !failure.empty()) {
                console.printFileMessage(*options.value("report"), texts.text(13), failure);
                status = kExitFailure;
            }
        }
        printOutcome(counts, dryRun.dryRun, console);
        return status;
    }
};

} // namespace

std::unique_ptr<Command> makeBatchCommand()
{
    return std::make_unique<BatchCommand>();
}

} // namespace tagwright::cli
