#pragma once

// The pairs of pages and backups of a folder tree, found by their names and put back folder by
// folder: the one way the command line's restore and the desktop program's "Restore backups..."
// undo a run with backups. Whether a pair is this program's own is restoreBackup's judgement.

#include "batch/backup_restore.h"
#include "batch/file_system.h"
#include "batch/folder_run.h"
#include "batch/page_file.h"

#include <functional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace tagwright {

class RunLock;

// A page and its backup, side by side in the folder where the walk met them.
struct BackupPair
{
    PageFile page;
    PageFile backup;
};

struct FoundPairs
{
    std::vector<BackupPair> pairs;       // in the walk's order, folder by folder
    std::vector<PageFailure> unreadable; // folders that could not be read, with the reason
};

// The pairs NAME.EXT and NAME.bak.EXT, EXT one of the extensions (lower case, no dot, compared
// without regard to case), in folder and, when recursive, its subfolders. The backup's name
// alone makes a pair: the page may be missing.
FoundPairs findBackupPairs(const std::string& folder, bool recursive,
                           const std::set<std::string>& extensions);

// How pairs are put back.
struct RestoreRun
{
    // The run's hold on the folder it was given, which stands for that folder's own lock.
    const RunLock* runLock = nullptr;
    // A dry run's file system keeps its files in memory: one thread, no folder forced to the disk.
    bool dryRun = false;
    // Told each pair's outcome, in the pairs' order, on the calling thread.
    std::function<void(const BackupPair&, const RestoreOutcome&)> pairDone;
    // Asked before each pair is begun, from the restoring threads; once it answers true, the
    // pairs not begun stay as they are and are not told.
    std::function<bool()> stopRequested;
};

// The outcome of a pair in a folder that another run holds.
inline constexpr std::string_view kFolderHeldByAnother = "Another run is writing in this folder.";

// Puts the pairs back, each folder under its lock, up to 64 pairs side by side on up to eight
// threads across as many folders as they fill (restoring a page mostly waits for the disk), each
// folder forced to the disk once after its last restore, those of a round side by side too.
// Returns the folders that could not be forced there.
std::vector<PageFailure> restorePairs(std::span<const BackupPair> pairs, FileSystem& fs,
                                      const RestoreRun& run);

// How the pairs of a restore ended.
struct RestoreTally
{
    std::size_t restored = 0;
    std::size_t leftAlone = 0;
    std::size_t failed = 0;

    void count(const RestoreOutcome& outcome);
    std::size_t total() const { return restored + leftAlone + failed; }
    // The line that ends a restore: how many pages of how many were put back, and what was not.
    std::string line(bool dryRun) const;
};

} // namespace tagwright
