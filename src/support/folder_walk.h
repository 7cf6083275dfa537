#pragma once

// The one walk over a folder tree: the batch run, check, restore and the progress count all go
// through it. Each folder is opened relative to its parent's descriptor and never through a
// symbolic link, so a tree of any depth is walked and no link leads the walk elsewhere.

#include "support/folder.h"
#include "support/folder_listing.h"

#include <functional>
#include <memory>
#include <string>

namespace tagwright {

// Sees a folder with its listing (a failure in the listing for a folder that could not be
// opened or read); answers whether the walk goes on.
using FolderVisit =
    std::function<bool(const std::shared_ptr<const Folder>& folder, const FolderListing& listing)>;

// Visits top and, when recursive, its subfolders depth first, in byte order of their names.
// False when a visit ended the walk.
bool walkFolders(const std::shared_ptr<const Folder>& top, bool recursive, FolderAccess& access,
                 const FolderVisit& visit);

} // namespace tagwright
