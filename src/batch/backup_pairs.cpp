#include "batch/backup_pairs.h"

#include "batch/folder_lock.h"
#include "support/files.h"
#include "support/folder_walk.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <functional>
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
// So do the forcings of the folders: a tree of one page a folder has one a page.
constexpr std::size_t kPairsAtOnce = 64;
constexpr unsigned kWritingThreads = 8;

// Calls each(i) once for every i below count, on up to `threads` threads, this one among them
// (fewer when the system gives no more).
void sideBySide(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& each)
{
    std::atomic<std::size_t> next = 0;
    const auto work = [&] {
        for (std::size_t i; (i = next++) < count;)
            each(i);
    };
    std::vector<std::jthread> workers;
    try {
        while (workers.size() + 1 < std::min<std::size_t>(threads, count))
            workers.emplace_back(work);
    } catch (const std::system_error&) {
        // No more threads: those there are, this one among them, do the work.
    }
    work();
}

// The outcomes of the pairs' restores, in the pairs' order; none for a pair not begun after a
// stop. A pair that a thread could not finish (memory) is restored again here.
std::vector<std::optional<RestoreOutcome>> restoreSideBySide(std::span<const BackupPair> pairs,
                                                             FileSystem& fs, const RestoreRun& run)
{
    std::vector<std::optional<RestoreOutcome>> outcomes(pairs.size());
    std::vector<char> begun(pairs.size(), 0);
    std::atomic<bool> stopped = false;
    sideBySide(pairs.size(), run.dryRun ? 1 : kWritingThreads, [&](std::size_t i) {
        if (stopped || (run.stopRequested && run.stopRequested())) {
            stopped = true;
            return;
        }
        begun[i] = 1;
        try {
            outcomes[i] = restoreBackup(pairs[i].page, pairs[i].backup, fs);
        } catch (...) {
            // Restored again below, on this thread.
        }
    });
    for (std::size_t i = 0; i < pairs.size(); ++i)
        if ((begun[i] != 0 || !stopped) && !outcomes[i])
            outcomes[i] = restoreBackup(pairs[i].page, pairs[i].backup, fs);
    return outcomes;
}

// A folder whose pairs are being put back: held under its lock until it is forced to the disk.
struct FolderInRestore
{
    const Folder* folder = nullptr;
    std::unique_ptr<FolderLock> lock;
    bool heldByAnother = false;
    bool anyRestored = false;
};

// Forces the first `count` folders to the disk where pages were put back, side by side, and lets
// them go.
void flushFolders(std::vector<FolderInRestore>& folders, std::size_t count, FileSystem& fs,
                  const RestoreRun& run, std::vector<PageFailure>& unflushed)
{
    std::vector<int> errors(count, 0);
    if (!run.dryRun) {
        sideBySide(count, kWritingThreads, [&](std::size_t i) {
            if (folders[i].anyRestored && !fs.flushFolder(*folders[i].folder))
                errors[i] = errno;
        });
    }
    for (std::size_t i = 0; i < count; ++i)
        if (errors[i] != 0)
            unflushed.push_back({folders[i].folder->path(), std::strerror(errors[i])});
    folders.erase(folders.begin(), folders.begin() + static_cast<std::ptrdiff_t>(count));
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
    // The pairs go kPairsAtOnce at a time, across as many folders as they fill; each folder is
    // taken under its lock when its first pair comes, and forced to the disk and let go once its
    // last pair is told.
    std::vector<PageFailure> unflushed;
    std::vector<FolderInRestore> open;
    bool complete = true;
    for (std::size_t first = 0; first < pairs.size() && complete; first += kPairsAtOnce) {
        const std::span<const BackupPair> some =
            pairs.subspan(first, std::min(kPairsAtOnce, pairs.size() - first));
        std::vector<BackupPair> restored;
        std::vector<std::size_t> folderOf; // each pair's folder in `open`
        for (const BackupPair& pair : some) {
            if (open.empty() || open.back().folder != pair.page.folder.get()) {
                FolderInRestore& folder = open.emplace_back();
                folder.folder = pair.page.folder.get();
                if (fs.writesForReal())
                    folder.lock = std::make_unique<FolderLock>(*folder.folder, run.runLock);
                folder.heldByAnother =
                    folder.lock && folder.lock->state() == FolderLock::State::TakenByAnother;
            }
            folderOf.push_back(open.size() - 1);
            if (!open.back().heldByAnother)
                restored.push_back(pair);
        }
        const std::vector<std::optional<RestoreOutcome>> outcomes =
            restoreSideBySide(restored, fs, run);
        auto outcome = outcomes.begin();
        for (std::size_t i = 0; i < some.size(); ++i) {
            FolderInRestore& folder = open[folderOf[i]];
            if (folder.heldByAnother) {
                run.pairDone(some[i], {RestoreResult::Failed, std::string(kFolderHeldByAnother)});
                continue;
            }
            const std::optional<RestoreOutcome>& done = *outcome++;
            if (!done) {
                complete = false;
                continue;
            }
            if (done->result == RestoreResult::Restored)
                folder.anyRestored = true;
            run.pairDone(some[i], *done);
        }
        // The last folder may go on into the next pairs.
        const bool lastGoesOn = complete && first + some.size() < pairs.size() &&
                                pairs[first + some.size()].page.folder.get() == open.back().folder;
        flushFolders(open, open.size() - (lastGoesOn ? 1 : 0), fs, run, unflushed);
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
