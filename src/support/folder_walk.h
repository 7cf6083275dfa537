#pragma once

// The one walk over a folder tree: the batch run, check, restore and the progress count all go
// through it. Each folder is opened relative to its parent's descriptor and never through a
// symbolic link, so a tree of any depth is walked and no link leads the walk elsewhere.

#include "support/folder.h"
#include "support/folder_listing.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tagwright {

// A folder of the walk with its listing (a failure in the listing for a folder that could not
// be opened or read).
struct WalkedFolder
{
    std::shared_ptr<const Folder> folder;
    FolderListing listing;
};

// The folders of top and, when recursive, of its subfolders depth first, in byte order of their
// names, one at a time: each is opened and listed when it is asked for.
class FolderWalk
{
  public:
    FolderWalk(std::shared_ptr<const Folder> top, bool recursive, FolderAccess& access);

    // The next folder; none once the walk is over.
    std::optional<WalkedFolder> next();

  private:
    // A folder whose subfolders the walk has still to go through.
    struct Open
    {
        std::shared_ptr<const Folder> folder;
        std::vector<std::string> subfolders;
        std::size_t nextSubfolder = 0;
    };

    WalkedFolder entered(std::shared_ptr<const Folder> folder);

    std::shared_ptr<const Folder> top_;
    bool recursive_;
    FolderAccess& access_;
    std::vector<Open> open_;
};

// Sees a folder with its listing; answers whether the walk goes on.
using FolderVisit =
    std::function<bool(const std::shared_ptr<const Folder>& folder, const FolderListing& listing)>;

// Visits the folders of a FolderWalk in turn. False when a visit ended the walk.
bool walkFolders(const std::shared_ptr<const Folder>& top, bool recursive, FolderAccess& access,
                 const FolderVisit& visit);

} // namespace tagwright
