#include "batch/backup_restore.h"
#include "batch/dry_run_file_system.h"
#include "batch/file_system.h"
#include "batch/folder_lock.h"
#include "batch/folder_run.h"
#include "batch/safe_replace.h"
#include "cli/command.h"
#include "cli/progress_line.h"
#include "cli/run_hold.h"
#include "cli/walk_options.h"
#include "support/files.h"
#include "support/folder_walk.h"
#include "support/quoted_name.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <system_error>
#include <thread>
#include <vector>

namespace tagwright::cli {

namespace {

// A page and its backup, side by side in the folder where the walk met them.
struct BackupPair
{
    PageFile page;
    PageFile backup;
};

// The page whose backup a name is: NAME.bak.EXT gives NAME.EXT; nothing for other names.
std::optional<std::string> pageNameOf(const std::string& backupName, const PageScope& scope)
{
    const std::size_t dot = backupName.rfind('.');
    if (dot == std::string::npos || dot < 4 || backupName.compare(dot - 4, 4, ".bak") != 0 ||
        !scope.extensions.contains(fileExtension(backupName, true)))
        return std::nullopt;
    return backupName.substr(0, dot - 4) + backupName.substr(dot);
}

// The pairs in the walked folder (and its subfolders); a folder that cannot be read goes to
// unreadable with the system's reason.
void findPairs(const std::string& folder, const PageScope& scope, std::vector<BackupPair>& pairs,
               std::vector<PageFailure>& unreadable)
{
    FolderAccess access;
    walkFolders(std::make_shared<const Folder>(access.openFolder(folder)), scope.recursive, access,
                [&](const std::shared_ptr<const Folder>& walked, const FolderListing& listing) {
                    if (!listing.ok())
                        unreadable.push_back({walked->path(), listing.errorText});
                    for (const std::string& name : listing.files)
                        if (const auto page = pageNameOf(name, scope))
                            pairs.push_back({{walked, *page}, {walked, name}});
                    return true;
                });
}

// Pairs restored side by side, on as many as kWritingThreads threads: restoring a page mostly
// waits for the disk (its new content forced there, the old file freed), and the waits overlap.
constexpr std::size_t kPairsAtOnce = 64;
constexpr unsigned kWritingThreads = 8;

// The outcomes of the pairs' restores, in the pairs' order. A pair that a thread could not
// finish (memory) is restored again here.
std::vector<RestoreOutcome> restoreSideBySide(std::span<const BackupPair> pairs, FileSystem& fs,
                                              unsigned threads)
{
    std::vector<std::optional<RestoreOutcome>> outcomes(pairs.size());
    std::atomic<std::size_t> next = 0;
    const auto work = [&] {
        for (std::size_t i; (i = next++) < pairs.size();) {
            try {
                outcomes[i] = restoreBackup(pairs[i].page, pairs[i].backup, fs);
            } catch (...) {
                return;
            }
        }
    };
    {
        std::vector<std::jthread> workers;
        try {
            while (workers.size() + 1 < threads)
                workers.emplace_back(work);
        } catch (const std::system_error&) {
            // No more threads: those there are, this one among them, do the work.
        }
        work();
    }
    std::vector<RestoreOutcome> done;
    for (std::size_t i = 0; i < pairs.size(); ++i)
        done.push_back(outcomes[i] ? *outcomes[i]
                                   : restoreBackup(pairs[i].page, pairs[i].backup, fs));
    return done;
}

// How the pairs of a run ended.
struct RestoreTally
{
    std::size_t restored = 0;
    std::size_t leftAlone = 0;
    std::size_t failed = 0;
};

// The line that ends a run: how many pages of how many were put back, and what was not.
std::string tallyLine(const RestoreTally& tally, bool dryRun)
{
    const std::size_t pairs = tally.restored + tally.leftAlone + tally.failed;
    std::string line = std::to_string(tally.restored) + " of " + std::to_string(pairs) +
                       (pairs == 1 ? " page" : " pages") +
                       (dryRun ? " would be restored" : " restored") + " from their backups.";
    // Appended piece by piece: GCC 12 sees a false overlap in " " + std::to_string(...) at -O3.
    const auto addCount = [&line](std::size_t count, std::string_view what) {
        line.append(" ").append(std::to_string(count)).append(what);
    };
    if (tally.leftAlone > 0)
        addCount(tally.leftAlone, " left alone.");
    if (tally.failed > 0)
        addCount(tally.failed, " could not be restored.");
    if (dryRun)
        line += " Dry run: no file was written.";
    return line;
}

// The pairs of one folder, restored under the folder's lock and forced to the disk once after
// the last; whatever cannot be put back goes to failures. False when a pair was left alone or
// failed.
bool restoreFolder(std::span<const BackupPair> pairs, bool dryRun, const RunLock* runLock,
                   FileSystem& fs, ProgressLine& progress, std::string& listing,
                   std::vector<std::string>& failures, RestoreTally& tally)
{
    const Folder& folder = *pairs.front().page.folder;
    std::optional<FolderLock> lock;
    if (fs.takesFolderLocks())
        lock.emplace(folder, runLock);
    if (lock && lock->state() == FolderLock::State::TakenByAnother) {
        for (const BackupPair& pair : pairs) {
            progress.pageDone();
            ++tally.failed;
            failures.push_back(shellQuotedName(pair.page.path()) +
                               ": Another run is writing in this folder.");
        }
        return false;
    }
    bool allRestored = true;
    bool anyRestored = false;
    for (std::size_t first = 0; first < pairs.size(); first += kPairsAtOnce) {
        const std::span<const BackupPair> some =
            pairs.subspan(first, std::min(kPairsAtOnce, pairs.size() - first));
        // A dry run keeps its files in memory, for one thread.
        const std::vector<RestoreOutcome> outcomes =
            restoreSideBySide(some, fs, dryRun ? 1 : kWritingThreads);
        for (std::size_t i = 0; i < some.size(); ++i) {
            const BackupPair& pair = some[i];
            progress.pageDone();
            switch (outcomes[i].result) {
            case RestoreResult::Restored:
                listing += shellQuotedName(pair.page.path()) +
                           (dryRun ? "\twould be restored\n" : "\trestored\n");
                anyRestored = true;
                ++tally.restored;
                break;
            case RestoreResult::LeftAlone:
                listing +=
                    shellQuotedName(pair.page.path()) + "\tleft alone: " + outcomes[i].reason + "\n";
                allRestored = false;
                ++tally.leftAlone;
                break;
            case RestoreResult::Failed:
                failures.push_back(shellQuotedName(pair.page.path()) + ": " + outcomes[i].reason);
                allRestored = false;
                ++tally.failed;
                break;
            }
        }
    }
    if (anyRestored && !dryRun && !fs.flushFolder(folder)) {
        failures.push_back(shellQuotedName(folder.path()) + ": " + std::strerror(errno));
        return false;
    }
    return allRestored;
}

class RestoreCommand : public Command
{
  public:
    std::string_view name() const override { return "restore"; }
    std::string_view operands() const override { return "FOLDER"; }
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

    int run(const ParsedOptions& options, const Console& console) const override
    {
        const std::string folder = folderOperand(options);
        BatchSettings settings;
        readWalkingOptions(options, settings);
        const bool dryRun = options.has("dry-run");
        if (!isFolderOrSaysWhy(folder, console))
            return kExitFailure;
        std::unique_ptr<RunLock> runLock;
        if (!dryRun && !(runLock = holdRunFolder(folder, options, console)))
            return kExitFailure;
        const PageScope scope = pageScopeOf(folder, settings);
        std::vector<BackupPair> pairs;
        std::vector<PageFailure> unreadable;
        findPairs(folder, scope, pairs, unreadable);

        FileSystem realFileSystem;
        DryRunFileSystem dryRunFileSystem([](const std::string&, const std::string&) {});
        FileSystem& fs = dryRun ? dryRunFileSystem : realFileSystem;
        int status = unreadable.empty() ? kExitSuccess : kExitFailure;
        std::string listing;
        std::vector<std::string> failures;
        RestoreTally tally;
        for (const PageFailure& folderFailure : unreadable) {
            listing += shellQuotedName(folderFailure.path) + "\tnot read: " + folderFailure.cause +
                       "\n";
            failures.push_back(shellQuotedName(folderFailure.path) + ": " + folderFailure.cause);
        }
        {
            ProgressLine progress(static_cast<std::int64_t>(pairs.size()));
            for (auto first = pairs.begin(); first != pairs.end();) {
                const auto end = std::find_if(first, pairs.end(), [&](const BackupPair& pair) {
                    return pair.page.folder != first->page.folder;
                });
                if (!restoreFolder(std::span(first, end), dryRun, runLock.get(), fs, progress,
                                   listing, failures, tally))
                    status = kExitFailure;
                first = end;
            }
        }
        console.printBytes(listing);
        for (const std::string& failure : failures)
            console.printMessage(failure);
        console.printNote(tallyLine(tally, dryRun));
        return status;
    }
};

} // namespace

std::unique_ptr<Command> makeRestoreCommand()
{
    return std::make_unique<RestoreCommand>();
}

} // namespace tagwright::cli
