// "Restore backups...": the pairs that the command line's restore would put back, listed in the
// report window, restored when the user agrees, each pair's outcome reported.

#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/multiple_files_windows.h"
#include "app/parameters_window.h"
#include "app/qt_text.h"
#include "app/report_window.h"
#include "app/window_batch_host.h"
#include "app/window_thread.h"

#include "batch/backup_pairs.h"
#include "batch/dry_run_file_system.h"
#include "batch/run_lock.h"

#include <QLineEdit>

#include <algorithm>

namespace tagwright {

namespace {

// Writes each pair's outcome into the report under its folder's line, as a batch run names its
// pages, and counts it.
class RestoreReport
{
  public:
    RestoreReport(ReportLog& log, WindowBatchHost& host, std::size_t pairs)
        : log_(log), host_(host), pairs_(pairs)
    {
    }

    void pairDone(const BackupPair& pair, const RestoreOutcome& outcome, bool dryRun)
    {
        if (pair.page.folder != folder_) {
            folder_ = pair.page.folder;
            log_.output("\r\nFolder: " + reportName(folder_->path()) + "\r\n");
        }
        std::string line = "File: " + reportName(pair.page.name) + "  ---  ";
        switch (outcome.result) {
        case RestoreResult::Restored:
            line += dryRun ? "Its backup can be put back." : "Restored from its backup.";
            break;
        case RestoreResult::LeftAlone:
            line += "Left alone: " + outcome.reason + ".";
            break;
        case RestoreResult::Failed:
            line += "Not restored: " + outcome.reason;
            break;
        }
        log_.output(line + "\r\n");
        tally.count(outcome);
        host_.setProgressText((dryRun ? "Backups examined: " : "Backups put back: ") +
                              std::to_string(tally.total()) + " of " + std::to_string(pairs_) +
                              ".");
    }

    RestoreTally tally;

  private:
    ReportLog& log_;
    WindowBatchHost& host_;
    std::size_t pairs_;
    std::shared_ptr<const Folder> folder_;
};

std::string plural(std::size_t count, const char* one, const char* more)
{
    return std::to_string(count) + (count == 1 ? one : more);
}

// The question names the pages, the first ten of many: the report, which lists them all, may
// stand behind the main window while it is asked.
std::string restoreQuestion(const std::vector<BackupPair>& pairs, const std::string& folder)
{
    constexpr std::size_t kNamed = 10;
    const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    std::string text = "Give " + plural(pairs.size(), " page", " pages") + " the content of " +
                       (pairs.size() == 1 ? "its backup" : "their backups") + "?\r\n";
    for (std::size_t i = 0; i < std::min(kNamed, pairs.size()); ++i) {
        const std::string path = pairs[i].page.path();
        text += "\r\n" + reportName(path.starts_with(prefix) ? path.substr(prefix.size()) : path);
    }
    if (pairs.size() > kNamed)
        text +=
            "\r\n... and " + std::to_string(pairs.size() - kNamed) + " more, listed in the report";
    return text + "\r\n\r\nEach backup is removed once it is put back.";
}

constexpr std::string_view kStopped = "\r\nOperation stopped at user's request.\r\n";

} // namespace

// The restore holds the folder from the listing to the last pair, and both steps read and write
// off the window's thread, with Stop as in a batch run.
void MultipleFilesWindows::restoreBackups()
{
    const std::string folder = toPath(main_.folderBox().text().trimmed());
    const std::unique_ptr<RunLock> runLock = holdFolder(folder);
    if (!runLock)
        return;
    WindowBatchHost host(main_, *report_, *inspect_, true);
    main_.clearStop();
    main_.enableDisableButtons(false);
    host.runStarted();
    const std::string result = restoreAsAgreed(folder, *runLock, host);
    host.setReportButtonsEnabled(true);
    host.runFinished(result, !report_->log().text().empty());
}

std::string MultipleFilesWindows::restoreAsAgreed(const std::string& folder, const RunLock& runLock,
                                                  WindowBatchHost& host)
{
    const ParameterValues values = parameters_->values();
    ReportLog& log = report_->log();
    // The listing is what the question is about: it is written whatever the logging setting.
    log.setLoggingOn(true);
    if (values.clearReportAtStart == 1)
        log.clear();
    else if (!log.text().empty())
        log.output("\r\n" + std::string(folder.size() + 8, '-') + "\r\n");
    host.showReport();
    host.setReportButtonsEnabled(false);
    log.output("Backups in: " + reportName(folder) + "\r\n");

    const auto stopRequested = [this] { return main_.stopPressed(); };
    FoundPairs found;
    std::vector<BackupPair> restorable;
    RestoreTally listed;
    bool stopped = false;
    runOffWindowThread([&] {
        found = findBackupPairs(folder, values.includeAllSubfolders == 1,
                                tickedExtensions(batchSettings(values)));
        for (const PageFailure& unreadable : found.unreadable)
            log.output("\r\nFolder: " + reportName(unreadable.path) +
                       "  ---  Not read: " + unreadable.cause + "\r\n");
        // What would be put back is what a dry run of the restore puts back.
        DryRunFileSystem dryRun([](const std::string&, const std::string&) {});
        RestoreReport report(log, host, found.pairs.size());
        RestoreRun run;
        run.runLock = &runLock;
        run.dryRun = true;
        run.stopRequested = stopRequested;
        run.pairDone = [&](const BackupPair& pair, const RestoreOutcome& outcome) {
            report.pairDone(pair, outcome, true);
            if (outcome.result == RestoreResult::Restored)
                restorable.push_back(pair);
        };
        restorePairs(found.pairs, dryRun, run);
        listed = report.tally;
        stopped = listed.total() < found.pairs.size();
    });
    if (stopped) {
        log.output(std::string(kStopped));
        return {};
    }
    if (restorable.empty()) {
        log.output("\r\nNo backup can be put back.\r\n");
        main_.setOutputText("No backup can be put back.");
        return {};
    }
    if (main_.dialogs().ask(QStringLiteral("Restore backups"),
                            fromCp1252(restoreQuestion(restorable, folder)), QuestionButtons::YesNo,
                            MessageIcon::None, Answer::No) != Answer::Yes) {
        log.output("\r\nNothing was restored.\r\n");
        return {};
    }

    log.output("\r\nRestoring:\r\n");
    RestoreReport report(log, host, restorable.size());
    runOffWindowThread([&] {
        FileSystem realFileSystem;
        RestoreRun run;
        run.runLock = &runLock;
        run.stopRequested = stopRequested;
        run.pairDone = [&](const BackupPair& pair, const RestoreOutcome& outcome) {
            report.pairDone(pair, outcome, false);
        };
        for (const PageFailure& unflushed :
             restorePairs(restorable, fileSystem_ ? *fileSystem_ : realFileSystem, run))
            log.output("Folder: " + reportName(unflushed.path) +
                       "  ---  Not forced to the disk: " + unflushed.cause + "\r\n");
    });
    if (report.tally.total() < restorable.size())
        log.output(std::string(kStopped));
    // The pairs left alone and those that failed when listed count as in the command line's.
    RestoreTally tally = report.tally;
    tally.leftAlone += listed.leftAlone;
    tally.failed += listed.failed;
    const std::string result = tally.line(false);
    log.output("\r\n" + result + "\r\n");
    main_.setOutputText(result);
    return result;
}

} // namespace tagwright
