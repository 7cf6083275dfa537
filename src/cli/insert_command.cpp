#include "batch/dry_run_file_system.h"
#include "batch/insertion.h"
#include "cli/analysis_options.h"
#include "cli/each_file.h"
#include "cli/dry_run.h"
#include "cli/file_analysis.h"
#include "cli/tag_options.h"
#include "cli/today_option.h"
#include "engine/input_checks.h"
#include "output/meta_tag.h"
#include "support/dates.h"
#include "support/quoted_name.h"

#include <memory>

namespace tagwright::cli {

namespace {

InsertOutcome insertWithoutWriting(const InsertRequest& request, const DryRunChoice& dryRun,
                                   const Console& console)
{
    DryRunFileSystem files([&](const std::string& target, const std::string& content) {
        if (dryRun.diff)
            printDiff(console, request.path, target, content);
    });
    return insertMetaTag(request, nullptr, files);
}

class InsertCommand : public EachFileCommand
{
  public:
    std::string_view name() const override { return "insert"; }
    std::string_view operands() const override { return "FILE..."; }
    std::string_view summary() const override
    {
        return "Write a freshly generated keywords meta tag into the page's head";
    }
    std::vector<OptionGroup> optionGroups() const override
    {
        return {{"Insertion options",
                 {{"backup", "", "keep the previous page as NAME.bak.EXT"},
                  {"done", "", "write a done marker with the date after the tag"},
                  todayOption("the date of the done marker that --done writes"),
                  dryRunOptions()[0],
                  dryRunOptions()[1]}},
                analysisOptionGroup(),
                tagOptionGroup()};
    }

  private:
    int runOne(const ParsedOptions& options, const Console& console) const override
    {
        // Read before the analysis, so that a bad option fails fast.
        const TagSettings tag = tagSettingsFrom(options);
        const std::int32_t today = todayJdnFrom(options);
        const DryRunChoice dryRun = dryRunChoiceFrom(options);
        const auto analysis = analyseFile(options, console);
        if (!analysis)
            return kExitFailure;
        if (analysis->table.count() == 0) {
            console.printFileMessage(fileOperand(options),
                                     "The keywords meta tag has not been generated.");
            return kExitFailure;
        }

        InsertRequest request;
        request.path = fileOperand(options);
        request.tag = composedMetaTag(analysis->table, tag, analysis->settings);
        request.backup = options.has("backup");
        request.utf8 = isUtf8Page(request.path);
        request.withDone = options.has("done");
        request.doneDate = formatDate(jdnToGregorian(today));
        const InsertOutcome outcome = dryRun.dryRun ? insertWithoutWriting(request, dryRun, console)
                                                    : insertMetaTag(request, nullptr);

        const InsertResultMessage message =
            insertResultMessage(outcome.result, "Insert meta tag into file");
        if (outcome.result != kInserted) {
            console.printFileMessage(request.path, message.text, outcome.causeText());
            return kExitFailure;
        }
        // Written, but perhaps not for good: its folder could not be forced to the disk.
        const bool flushed = outcome.causeText().empty();
        if (!dryRun.diff) { // stdout carries the diff alone
            console.printBoxText(message.text);
            if (!outcome.backupFile.empty()) {
                console.printBoxText("The original file was backed up as");
                console.printPlain(shellQuotedName(outcome.backupFile));
            }
        }
        if (!flushed)
            console.printFileMessage(request.path, outcome.causeText());
        return flushed ? kExitSuccess : kExitFailure;
    }
};

} // namespace

std::unique_ptr<Command> makeInsertCommand()
{
    return std::make_unique<InsertCommand>();
}

} // namespace tagwright::cli
