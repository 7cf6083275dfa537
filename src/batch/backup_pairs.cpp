#include "batch/backup_pairs.h"

#include "batch/folder_lock.h"
#include "support/files.h"
#include "support/folder_walk.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>

namespace tagwright {

namespace {

// The page whose backup a name is: NAME.bak.EXT gives NAME.EXT; nothing for other names.
std::optional<std::string> pageNameOf(const std::string& backupName,
                                      const std::set<std::string>& extensions)
{
    const std::size_t dot = backupName.rfind('.');
    if (dot == std::string::npos || dot < 4 || backupName.compare(dot - 4, 4, ".bak") != 0 ||
        !extensions.contains(fileExtension(backupName, true)))
        return std::nullopt;
    return backupName.substr(0, dot - 4) + backupName.substr(dot);
}

// Pairs restored side by side, on as many as kWritingThreads threads: restoring a page mostly
// waits for the disk (its new content forced there, the old file freed), and the waits overlap.
constexpr std::size_t kPairsAtOnce = 64;
constexpr unsigned kWritingThreads = 8;

// The outcomes of the pairs' restores, in the pairs' order; none for a pair not begun after a
// stop. A pair that a thread could not finish (memory) is restored again here.
std::vector<std::optional<RestoreOutcome>> restoreSideBySide(std::span<const BackupPair> pairs,
                                                             FileSystem& fs, const RestoreRun& run)
{
    std::vector<std::optional<RestoreOutcome>> outcomes(pairs.size());
    std::vector<char> begun(pairs.size(), 0);
    std::atomic<std::size_t> next = 0;
    std::atomic<bool> stopped = false;
    const auto work = [&] {
        for (std::size_t i; !stopped && (i = next++) < pairs.size();) {
            if (run.stopRequested && run.stopRequested()) {
                stopped = true;
                return;
            }
            begun[i] = 1;
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
            while (workers.size() + 1 < (run.dryRun ? 1 : kWritingThreads))
                workers.emplace_back(work);
        } catch (const std::system_error&) {
            // No more threads: those there are, this one among them, do the work.
        }
        work();
    }
    for (std::size_t i = 0; i < pairs.size(); ++i)
        if ((begun[i] != 0 || !stopped) && !outcomes[i])
            outcomes[i] = restoreBackup(pairs[i].page, pairs[i].backup, fs);
    return outcomes;
}

// The pairs of one folder; false when a stop left some of them.
bool restoreFolder(std::span<const BackupPair> pairs, FileSystem& fs, const RestoreRun& run,
                   std::vector<PageFailure>& unflushed)
{
    const Folder& folder = *pairs.front().page.folder;
    std::optional<FolderLock> lock;
    if (fs.writesForReal())
        lock.emplace(folder, run.runLock);
    if (lock && lock->state() == FolderLock::State::TakenByAnother) {
        for (const BackupPair& pair : pairs)
            run.pairDone(pair, {RestoreResult::Failed, std::string(kFolderHeldByAnother)});
        return true;
    }
    bool anyRestored = false;
    bool complete = true;
    for (std::size_t first = 0; first < pairs.size() && complete; first += kPairsAtOnce) {
        const std::span<const BackupPair> some =
            pairs.subspan(first, std::min(kPairsAtOnce, pairs.size() - first));
        const std::vector<std::optional<RestoreOutcome>> outcomes =
            restoreSideBySide(some, fs, run);
        for (std::size_t i = 0; i < some.size(); ++i) {
            if (!outcomes[i]) {
                complete = false;
                continue;
            }
            anyRestored = anyRestored || outcomes[i]->result == RestoreResult::Restored;
            run.pairDone(some[i], *outcomes[i]);
        }
    }
    if (anyRestored && !run.dryRun && !fs.flushFolder(folder))
        unflushed.push_back({folder.path(), std::strerror(errno)});
    return complete;
}

} // namespace

FoundPairs findBackupPairs(const std::string& folder, bool recursive,
                           const std::set<std::string>& extensions)
{
    FoundPairs found;
    FolderAccess access;
    walkFolders(std::make_shared<const Folder>(access.openFolder(folder)), recursive, access,
                [&](const std::shared_ptr<const Folder>& walked, const FolderListing& listing) {
                    if (!listing.ok())
                        found.unreadable.push_back({walked->path(), listing.failure->text});
                    for (const std::string& name : listing.files)
                        if (const auto page = pageNameOf(name, extensions))
                            found.pairs.push_back({{walked, *page}, {walked, name}});
                    return true;
                });
    return found;
}

std::vector<PageFailure> restorePairs(std::span<const BackupPair> pairs, FileSystem& fs,
                                      const RestoreRun& run)
{
    std::vector<PageFailure> unflushed;
    for (auto first = pairs.begin(); first != pairs.end();) {
        const auto end = std::find_if(first, pairs.end(), [&](const BackupPair& pair) {
            return pair.page.folder != first->page.folder;
        });
        if (!restoreFolder(std::span(first, end), fs, run, unflushed))
            break;
        first = end;
    }
    return unflushed;
}

void RestoreTally::count(const RestoreOutcome& outcome)
{
    switch (outcome.result) {
    case RestoreResult::Restored:
        ++restored;
        break;
    case RestoreResult::LeftAlone:
        ++leftAlone;
        break;
    case RestoreResult::Failed:
        ++failed;
        break;
    }
}

std::string RestoreTally::line(bool dryRun) const
{
    const std::size_t pairs = total();
    std::string text = std::to_string(restored) + " of " + std::to_string(pairs) +
                       (pairs == 1 ? " page" : " pages") +
                       (dryRun ? " would be restored" : " restored") + " from their backups.";
    // Appended piece by piece: GCC 12 sees a false overlap in " " + std::to_string(...) at -O3.
    const auto addCount = [&text](std::size_t count, std::string_view what) {
        text.append(" ").append(std::to_string(count)).append(what);
    };
    if (leftAlone > 0)
        addCount(leftAlone, " left alone.");
    if (failed > 0)
        addCount(failed, " could not be restored.");
    if (dryRun)
        text += " Dry run: no file was written.";
    return text;
}

} // namespace tagwright
