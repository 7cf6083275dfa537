#include "batch/backup_pairs.h"
#include "batch/dry_run_file_system.h"
#include "batch/file_system.h"
#include "cli/command.h"
#include "cli/progress_line.h"
#include "cli/run_hold.h"
#include "cli/walk_command.h"
#include "cli/walk_options.h"
#include "support/quoted_name.h"

#include <memory>
#include <string>
#include <vector>

namespace tagwright::cli {

namespace {

class RestoreCommand : public WalkCommand
{
  public:
    std::string_view name() const override { return "restore"; }
    std::string_view summary() const override
    {
        return "Put back the backups (NAME.bak.EXT) that batch --backup made; one level of "
               "backup is all there is";
    }
    std::vector<OptionGroup> optionGroups() const override
    {
        OptionGroup restore = walkingOptionGroup("Restore options");
        restore.options.push_back({"dry-run", "", "list what would be restored; change nothing"});
        restore.options.push_back(noWaitOption());
        return {restore};
    }

  protected:
    WalkPlan plan(const ParsedOptions& options, const Console& console) const override
    {
        WalkPlan walkPlan;
        readWalkingOptions(options, walkPlan.settings);
        const bool dryRun = options.has("dry-run");
        walkPlan.writes = !dryRun;
        walkPlan.walk = [&console, dryRun](WalkStart& start) {
            return restore(console, start, dryRun);
        };
        return walkPlan;
    }

  private:
    static int restore(const Console& console, const WalkStart& start, bool dryRun)
    {
        const PageScope& scope = start.scope;
        const FoundPairs found = findBackupPairs(start.folder, scope.recursive, scope.extensions);

        FileSystem realFileSystem;
        DryRunFileSystem dryRunFileSystem([](const std::string&, const std::string&) {});
        FileSystem& fs = dryRun ? dryRunFileSystem : realFileSystem;
        std::string listing;
        std::vector<std::string> failures;
        RestoreTally tally;
        for (const PageFailure& folderFailure : found.unreadable) {
            listing += shellQuotedName(folderFailure.path) + "\tnot read: " + folderFailure.cause +
                       "\n";
            failures.push_back(shellQuotedName(folderFailure.path) + ": " + folderFailure.cause);
        }
        std::vector<PageFailure> unflushed;
        {
            ProgressLine progress(static_cast<std::int64_t>(found.pairs.size()));
            RestoreRun run;
            run.runLock = start.runLock.get();
            run.dryRun = dryRun;
            run.pairDone = [&](const BackupPair& pair, const RestoreOutcome& outcome) {
                progress.pageDone();
                const std::string name = shellQuotedName(pair.page.path());
                tally.count(outcome);
                switch (outcome.result) {
                case RestoreResult::Restored:
                    listing += name + (dryRun ? "\twould be restored\n" : "\trestored\n");
                    break;
                case RestoreResult::LeftAlone:
                    listing += name + "\tleft alone: " + outcome.reason + "\n";
                    break;
                case RestoreResult::Failed:
                    failures.push_back(name + ": " + outcome.reason);
                    break;
                }
            };
            unflushed = restorePairs(found.pairs, fs, run);
        }
        for (const PageFailure& folderFailure : unflushed)
            failures.push_back(shellQuotedName(folderFailure.path) + ": " + folderFailure.cause);
        const int status = failures.empty() && tally.leftAlone == 0 ? kExitSuccess : kExitFailure;
        console.printBytes(listing);
        for (const std::string& failure : failures)
            console.printMessage(failure);
        console.printNote(tally.line(dryRun));
        return status;
    }
};

} // namespace

std::unique_ptr<Command> makeRestoreCommand()
{
    return std::make_unique<RestoreCommand>();
}

} // namespace tagwright::cli
