#include "batch/batch_driver.h"
#include "cli/analysis_options.h"
#include "cli/command.h"
#include "cli/file_analysis.h"
#include "cli/option_values.h"
#include "cli/tag_options.h"
#include "cli/today_option.h"
#include "cli/usage_error.h"
#include "support/data_dir.h"
#include "support/files.h"
#include "support/program_text.h"

#include <memory>
#include <sstream>

namespace tagwright::cli {

namespace {

std::string folderOperand(const ParsedOptions& options)
{
    const std::vector<std::string>& operands = options.operands();
    if (operands.empty())
        throw UsageError("No input folder specified.");
    if (operands.size() > 1)
        throw UsageError("one FOLDER expected, but '" + operands[1] + "' follows '" + operands[0] + "'");
    return operands.front();
}

// --ext htm,html,shtm,shtml: the extensions acted on, replacing the default htm and html.
void readExtensions(const ParsedOptions& options, BatchSettings& settings)
{
    const auto list = options.value("ext");
    if (!list)
        return;
    settings.htm = settings.html = settings.shtm = settings.shtml = false;
    std::istringstream items(*list);
    std::string item;
    while (std::getline(items, item, ',')) {
        if (item == "htm")
            settings.htm = true;
        else if (item == "html")
            settings.html = true;
        else if (item == "shtm")
            settings.shtm = true;
        else if (item == "shtml")
            settings.shtml = true;
        else
            throw UsageError("--ext: '" + item + "' is none of htm, html, shtm, shtml");
    }
    if (!settings.htm && !settings.html && !settings.shtm && !settings.shtml)
        throw UsageError("--ext: no extension given");
}

// The parameters of a run without a person: no inspect window, operations logged.
BatchSettings batchSettingsFrom(const ParsedOptions& options)
{
    BatchSettings settings;
    settings.confirm = false;
    settings.includeAllSubfolders = options.has("recursive");
    settings.backup = options.has("backup");
    readExtensions(options, settings);
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
    return settings;
}

class BatchCommand : public Command
{
public:
    std::string_view name() const override { return "batch"; }
    std::string_view operands() const override { return "FOLDER"; }
    std::string_view summary() const override
    {
        return "Insert a keywords meta tag into every page of a folder and print the report";
    }
    std::vector<OptionGroup> optionGroups() const override
    {
        return {{"Batch options",
                 {{"recursive", "", "include all subfolders"},
                  {"backup", "", "keep each previous page as NAME.bak.EXT"},
                  {"ext", "LIST", "extensions acted on, from htm,html,shtm,shtml (default htm,html)"},
                  {"no-done", "", "write no done marker with each tag"},
                  {"skip-done", "DAYS", "skip pages whose done marker is less than DAYS (1..7) days old"},
                  {"dont-log-done", "", "leave pages skipped as done out of the report"},
                  {"log-old", "", "report each replaced keywords tag"},
                  {"no-log-new", "", "do not report the new tags"},
                  {"report", "FILE", "also save the report to FILE"},
                  todayOption()}},
                analysisOptionGroup(),
                tagOptionGroup()};
    }

    int run(const ParsedOptions& options, const Console& console) const override
    {
        const std::string folder = folderOperand(options);
        const BatchSettings settings = batchSettingsFrom(options);
        const TagSettings tag = tagSettingsFrom(options);
        AnalysisSettings analysis = analysisSettingsFrom(options);
        analysis.singleFile = false;
        const std::int32_t today = todayJdnFrom(options);
        if (!isDirectory(folder)) {
            console.printMessage("Folder does not exist");
            return kExitFailure;
        }

        const std::string dataFolder = options.value("data-dir").value_or(programDataFolder());
        ProgramTextStore texts;
        const std::string textFile = programTextFilePath(dataFolder);
        if (const std::int32_t loaded = texts.load(textFile); loaded < 1) {
            console.printMessage(loadFailureMessage(loaded, textFile));
            return kExitFailure;
        }
        const CommonWords commonWords = chosenCommonWords(options, analysis, console);

        const BatchJob job{folder, settings, analysis, tag, commonWords, texts, today};
        UnattendedBatchHost host;
        SilentAnalysisHost analysisHost;
        ReportLog log;
        runBatch(job, host, analysisHost, log);
        console.printBoxText(log.text());

        if (const auto reportFile = options.value("report")) {
            if (const std::string failure = saveReportToFile(log.text(), *reportFile); !failure.empty()) {
                console.printMessage(texts.text(13) + ": " + failure);
                return kExitFailure;
            }
        }
        return kExitSuccess;
    }
};

} // namespace

std::unique_ptr<Command> makeBatchCommand()
{
    return std::make_unique<BatchCommand>();
}

} // namespace tagwright::cli
