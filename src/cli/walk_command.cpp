#include "cli/walk_command.h"

#include "cli/html_report.h"
#include "cli/json_output.h"
#include "cli/program_texts.h"
#include "cli/run_hold.h"
#include "cli/usage_error.h"
#include "cli/walk_options.h"
#include "support/files.h"

namespace tagwright::cli {

int WalkCommand::run(const ParsedOptions& options, const Console& console) const
{
    WalkStart start;
    start.folder = folderOperand(options);
    const WalkPlan walkPlan = plan(options, console);
    start.settings = walkPlan.settings;
    start.scope = pageScopeOf(start.folder, start.settings);
    start.onePage = walkPlan.takesOnePage && fileExists(start.folder);
    if (start.onePage) {
        if (const std::string why = whyNotAPage(start.folder, start.scope); !why.empty()) {
            console.printFileMessage(start.folder, why);
            return kExitFailure;
        }
    } else if (!isFolderOrSaysWhy(start.folder, console)) {
        return kExitFailure;
    }
    try {
        if (const auto reportPath = options.value("report"))
            start.report.emplace(*reportPath, start.scope);
        start.htmlReport = htmlReportDestination(options, start.scope);
    } catch (const ReportRefused& refused) {
        console.printMessage(refused.what());
        return kExitFailure;
    }
    if (jsonFormatFrom(options) && start.report && start.report->isStandardOutput())
        throw UsageError("--format json and --report to standard output both want "
                         "stdout: choose one");
    if (walkPlan.writes && !(start.runLock = holdRunFolder(start.folder, options, console)))
        return kExitFailure;
    if (walkPlan.programTexts && !(start.texts = loadProgramTexts(options, console)))
        return kExitFailure;
    return walkPlan.walk(start);
}

} // namespace tagwright::cli
