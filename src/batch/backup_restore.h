#pragma once

// Putting back a backup that a run with backups made (NAME.bak.EXT beside NAME.EXT). A pair is
// this program's own only when the head rewrite of the backup, with the page's own keywords tag
// and done marker written as a run writes them, gives the page byte for byte. Any other pair is
// left alone: a hand-made backup, a page edited after the run, a page that is a link (a run
// keeps a linked page's backup beside its target), a backup that is a link.

#include "batch/file_system.h"
#include "batch/page_file.h"

#include <string>

namespace tagwright {

enum class RestoreResult {
    Restored,  // the page holds the backup's bytes and the backup is gone
    LeftAlone, // not a pair of this program's: nothing was touched
    Failed,    // a pair of this program's that could not be put back: the page is as it was
};

struct RestoreOutcome
{
    RestoreResult result = RestoreResult::Restored;
    std::string reason; // why the pair was left alone, or the failure's description
};

// Gives the page the backup's bytes through the safe replace (the page keeps its owner, group,
// permission bits and extended attributes; a page or backup that changes after it was judged is
// not put back), then removes the backup. The folder's new names are not forced to the disk:
// the caller does that once per folder.
// Both are names in their folders, as the walk met them.
RestoreOutcome restoreBackup(const PageFile& page, const PageFile& backup, FileSystem& fs);

} // namespace tagwright
