#include "batch/dry_run_file_system.h"
#include "batch/insertion.h"
#include "batch/old_tag_reader.h"
#include "batch/safe_replace.h"
#include "batch/text_fingerprint.h"
#include "cli/analysis_options.h"
#include "cli/command.h"
#include "cli/each_file.h"
#include "cli/file_analysis.h"
#include "cli/head_tags.h"
#include "cli/html_report.h"
#include "cli/json_output.h"
#include "cli/option_values.h"
#include "cli/program_texts.h"
#include "cli/site_words_option.h"
#include "cli/today_option.h"
#include "cli/usage_error.h"
#include "cli/walk_command.h"
#include "cli/walk_options.h"
#include "cli/walk_run.h"
#include "engine/analysis.h"
#include "engine/input_checks.h"
#include "output/meta_tag.h"
#include "output/tag_settings.h"
#include "support/cp1252.h"
#include "support/files.h"
#include "support/quoted_name.h"

#include <memory>
#include <optional>
#include <set>

namespace tagwright::cli {

namespace {

constexpr int kMaxAgeLimit = 36500;

struct PageVerdict
{
    std::string page;   // as the run names it
    std::string reason; // "missing", "several", "edited" or "stale"; empty when the page passes
    std::optional<std::string> oldTag; // as the run reads and composes them (Windows-1252)
    std::optional<std::string> newTag;
};

// A page that a batch run would tag (it would be rewritten, or keeps its tag): what its head
// carries now, and whether its text is still the one its done marker was written for.
std::string verdictOf(const std::string& target, std::optional<int> maxAge, std::int32_t today)
{
    const std::optional<HeadTags> tags = headTagsOf(target);
    if (tags && tags->keywordsTags == 0)
        return "missing";
    if (tags && tags->keywordsTags > 1)
        return "several";
    const OldTagAndDoneDate old = readOldTagAndDoneDate(target, today, maxAge.value_or(1));
    FileSystem fs;
    if (!old.fingerprint.empty() && textFingerprint(fs, target) != old.fingerprint)
        return "edited";
    if (maxAge && !old.doneRecently)
        return "stale";
    return {};
}

// A single page, treated as a batch run treats each page: analysed, tagged and rewritten in
// memory, whether or not the checker may write it (a check judges tags, not permissions). A page
// that is passed over (not a text file, no words, no </head>, ...) passes.
BatchCounts checkPage(const std::string& path, const AnalysisSettings& analysis,
                      const CommonWords& commonWords, const PageChange& onChange,
                      const CliBatchHost::PageNotice& onFinished)
{
    BatchCounts counts;
    counts.filesExamined = 1;
    SilentAnalysisHost host;
    WordTable table;
    const AnalysisOutcome outcome = doFile(path, analysis, commonWords, host, table);
    if (outcome.result > 0)
        counts.failures.push_back({path, outcome.causeText()});
    if (outcome.result != kAnalysisDone || table.count() == 0)
        return counts;
    InsertRequest request;
    request.path = path;
    request.tag = composedMetaTag(table, TagSettings{}, analysis);
    request.utf8 = isUtf8Page(path);
    request.withDone = true;
    DryRunFileSystem dryRun([&](const std::string& target,
                                const std::string& content) { onChange(path, target, content); },
                            DryRunFileSystem::Permissions::Disregarded);
    const InsertOutcome inserted = insertMetaTag(request, nullptr, dryRun);
    if (inserted.result == kInsertFailed)
        counts.failures.push_back({path, inserted.causeText()});
    const std::string oldTag = readOldTagAndDoneDate(path, 0, 1).oldTag;
    onFinished({path, inserted.result == kInsertFailed ? PageResult::Failed : PageResult::Written,
                {}, request.utf8 ? utf8ToCp1252(oldTag) : oldTag, request.tag});
    return counts;
}

class CheckCommand : public WalkCommand
{
  public:
    std::string_view name() const override { return "check"; }
    std::string_view operands() const override { return "FILE|FOLDER..."; }
    std::string_view summary() const override
    {
        return "List the pages a batch run would tag that lack a keywords tag, carry several, "
               "were edited since they were tagged or carry a stale done marker (writes nothing)";
    }
    std::vector<OptionGroup> optionGroups() const override
    {
        OptionGroup check = walkingOptionGroup("Check options");
        check.options.insert(check.options.end(),
                             {{"max-age", "DAYS",
                               "also fail pages without a done marker dated less than DAYS days "
                               "before today"},
                              siteWordsOption(),
                              todayOption("the day from which --max-age counts"),
                              htmlReportOption()});
        return {check, outputOptionGroup()};
    }

    int run(const ParsedOptions& options, const Console& console) const override
    {
        // One web page tells of one run.
        if (options.operands().size() > 1 && options.has("report-html"))
            throw UsageError("--report-html tells of one FILE or FOLDER, not " +
                             std::to_string(options.operands().size()));
        return runForEachFile(options, console, FileHeadings::None, [&](const ParsedOptions& one) {
            return WalkCommand::run(one, console);
        });
    }

  protected:
    WalkPlan plan(const ParsedOptions& options, const Console& console) const override
    {
        WalkPlan walkPlan;
        walkPlan.settings.confirm = false;
        readWalkingOptions(options, walkPlan.settings);
        walkPlan.settings.siteWords = siteWordsFrom(options);
        const std::optional<int> maxAge =
            options.has("max-age")
                ? std::optional<int>(wholeNumberOption(options, "max-age", 1, kMaxAgeLimit, 1))
                : std::nullopt;
        const std::int32_t today = todayJdnFrom(options);
        const bool json = jsonFormatFrom(options);
        walkPlan.programTexts = true;
        walkPlan.takesOnePage = true;
        walkPlan.walk = [&options, &console, maxAge, today, json](WalkStart& start) {
            return check(options, console, start, maxAge, today, json);
        };
        return walkPlan;
    }

  private:
    static int check(const ParsedOptions& options, const Console& console, WalkStart& start,
                     std::optional<int> maxAge, std::int32_t today, bool json)
    {
        AnalysisSettings analysis = analysisSettingsFrom(options);
        analysis.singleFile = false;
        const CommonWords commonWords = chosenCommonWords(options, analysis, console);

        std::vector<PageVerdict> failing;
        std::set<std::string> judged; // a page whose marker a run would renew is told twice
        const PageChange judge = [&](const std::string& page, const std::string& target,
                                     const std::string&) {
            if (!judged.insert(target).second)
                return;
            if (std::string reason = verdictOf(target, maxAge, today); !reason.empty())
                failing.push_back({page, std::move(reason), {}, {}});
        };
        ReportLog log([](std::string_view) {}); // a check shows no report
        const BatchJob job{start.folder, start.settings, analysis, TagSettings{},
                           commonWords,  *start.texts,   today};
        std::optional<SiteReport> siteReport;
        if (start.htmlReport)
            siteReport.emplace(reportedRun(job, true, true));
        // A page whose tag stays is judged as it is; a failing page keeps its tags.
        const CliBatchHost::PageNotice finished = [&](const PageRecord& page) {
            if (page.result == PageResult::Unchanged)
                judge(page.page, resolvedFilePath(page.page), {});
            const bool fails = !failing.empty() && failing.back().page == page.page;
            if (fails) {
                failing.back().oldTag = page.oldTag;
                failing.back().newTag = page.newTag;
            }
            if (siteReport)
                siteReport->add(page, fails ? failing.back().reason : std::string());
        };
        const BatchCounts counts =
            start.onePage
                ? checkPage(start.folder, analysis, commonWords, judge, finished)
                : runWalk(job, judge, log, finished, DryRunFileSystem::Permissions::Disregarded);
        if (json && counts.siteWords)
            printJsonLine(console, siteWordsJson(*counts.siteWords));
        for (const PageVerdict& verdict : failing)
            if (json)
                printJsonLine(console, {{"type", "page"},
                                        {"page", fileNameJson(verdict.page)},
                                        {"reason", verdict.reason},
                                        {"oldTag", tagJson(verdict.oldTag)},
                                        {"newTag", tagJson(verdict.newTag)}});
            else
                console.printBytes(shellQuotedName(verdict.page) + "\t" + verdict.reason + "\n");
        if (json)
            printJsonLine(console, {{"type", "summary"},
                                    {"examined", counts.filesExamined},
                                    {"failing", failing.size()},
                                    {"errors", counts.failures.size()}});
        for (const PageFailure& failure : counts.failures)
            console.printFileMessage(failure.path, failure.cause);
        if (siteReport) {
            siteReport->setCounts(counts);
            if (!writeHtmlReport(*start.htmlReport, *siteReport, options, console))
                return kExitFailure;
        }
        return failing.empty() && counts.failures.empty() ? kExitSuccess : kExitFailure;
    }
};

} // namespace

std::unique_ptr<Command> makeCheckCommand()
{
    return std::make_unique<CheckCommand>();
}

} // namespace tagwright::cli
